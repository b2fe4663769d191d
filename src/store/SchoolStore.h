#pragma once

#include "base/SchoolDetails.h"

// The school details the printed timetables carry, kept in 学校信息 (one row:
// 学校名称, 学期, 上午节数).
namespace SchoolStore {

// The first row of 学校信息; a missing table (an older file opened for
// reading) or an empty one gives the defaults. An empty name or term is
// stored as the empty marker "H" and read back as empty; a morning count
// that is not a number gives the default. Throws StoreError.
SchoolDetails Load();

// Writes the details into the first row (adding it to an empty table), in
// one transaction, joining the caller's when one is open. Throws StoreError
// (also when the table is missing from a file opened for reading).
void Save(const SchoolDetails& details);

} // namespace SchoolStore
