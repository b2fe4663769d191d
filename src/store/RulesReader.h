#pragma once

#include "base/RuleRows.h"
#include "base/SchoolRules.h"

class SchoolPlan;

// Reads the scheduling rules (教师不排课, 教师课时限制, 场地限制, 连堂设置) and
// the morning-period count of 学校信息. A table an older file lacks holds no
// rules. Throws StoreError on a database failure.
namespace RulesReader {

// Every row of the four tables as stored, in 编号 order (blank rows included,
// so that a row's place is its place in the table).
RuleRows::Rows ReadRows();

// 学校信息.上午节数 of the last row when it is a number 0..9, else 4.
int ReadMorningPeriods();

// The rules of the plan (read by PlanReader::LoadPlan): rows that cannot be
// used are left out and named in `skipped`.
SchoolRules Read(const SchoolPlan& plan);

} // namespace RulesReader
