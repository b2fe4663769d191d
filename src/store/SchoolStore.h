#pragma once

#include "base/SchoolDetails.h"

// The school's details kept in 学校信息 (one row: 学校名称, 学期, 上午节数).
class SchoolStore
{
public:
    // The details of the open database. A missing table (a file opened for
    // reading that predates it) or a missing row gives the defaults: no name,
    // no term, 4 morning periods. A morning count that is not a number of 0
    // or more reads as the default. Throws StoreError when the driver fails.
    static SchoolDetails Load();

    // Writes the details into the first row (adding it to an empty table), an
    // empty name or term as the empty marker "H", in one transaction (joining
    // the caller's when one is open). Throws StoreError, also when the table
    // is missing from a file opened for reading.
    static void Save(const SchoolDetails& details);
};
