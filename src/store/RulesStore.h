#pragma once

#include "base/RuleRows.h"

#include <vector>

// Writers of the four rule tables. Each replaces the whole table with the
// rows given, in order, in one transaction (joining the caller's when one is
// open). Throws StoreError.
namespace RulesStore {

void saveTeacherOff(const std::vector<RuleRows::TeacherOffRow>& rows);
void saveLimits(const std::vector<RuleRows::LimitRow>& rows);
void saveVenues(const std::vector<RuleRows::VenueRow>& rows);
void saveDoubles(const std::vector<RuleRows::DoubleRow>& rows);

} // namespace RulesStore
