#pragma once

#include "base/SchoolRules.h"

#include <QString>
#include <QStringList>

class SchoolPlan;

// The rows of the four rule tables as they are stored (every value text), and
// what one row means for a school: the rule it gives, or why it cannot be
// used. The reader skips a row that cannot be used with a note naming it; the
// dialogs refuse it before it is saved. Both go through the functions here.
namespace RuleRows {

// The stored words with a meaning of their own.
inline QString wholeDay() { return QStringLiteral("0"); }
inline QString morning() { return QStringLiteral("上午"); }
inline QString afternoon() { return QStringLiteral("下午"); }
inline QString wholeSchool() { return QStringLiteral("全校"); }
inline QString everyClass() { return QStringLiteral("全部"); }

// 教师不排课: 星期 is the day 1..7 (or "星期一".."星期天", "周一".."周日"),
// 节次 "0" the whole day, "上午"/"下午" that half, or a period 1..9.
struct TeacherOffRow
{
    QString teacher;
    QString day;
    QString period;
};

// 教师课时限制: each limit a number, empty (or "0") for none.
struct LimitRow
{
    QString teacher;
    QString perDay;
    QString daysPerWeek;
    QString inARow;
};

// 场地限制: the rows of one 场地 and 年级 share its cap; 年级 "全校" (or empty)
// for every grade.
struct VenueRow
{
    QString venue;
    QString subject;
    QString grade;
    QString cap;
};

// 连堂设置: 班级 "全部" (or empty) for every class of the grade, 年级 "全校"
// for every grade; 每周连堂数 "0" for a subject never doubled.
struct DoubleRow
{
    QString grade;
    QString className;
    QString subject;
    QString perWeek;
};

// The row in words for a message: "张三，星期3，节次上午".
QString describe(const TeacherOffRow& row);
QString describe(const LimitRow& row);
QString describe(const VenueRow& row);
QString describe(const DoubleRow& row);

// The teachers named in the plan's assignment, in order of first appearance.
QStringList teachersOf(const SchoolPlan& plan);
// Whether `name` teaches a lesson of the plan (checked row by row when rules are read).
bool teaches(const SchoolPlan& plan, const QString& name);
// The grades of the plan's classes, in order of first appearance.
QStringList gradesOf(const SchoolPlan& plan);
// The lessons a week the teacher gives (a combined group taught together by
// one teacher counts once).
int weeklyLoad(const SchoolPlan& plan, const QString& teacher);

// Day text to a 0-based day of the week, -1 when it names none.
int dayFromText(const QString& text, int dayCount);
// A limit or count: empty, "H" or blank is 0; otherwise decimal digits only.
// -1 when unreadable.
int countFromText(const QString& text);

// What one row means. Each returns the empty text and fills `out` when the
// row can be used, otherwise the reason in words ("没有名为“张三”的教师").
// `morningPeriods` is the morning of a day of the plan's week.
QString interpret(const SchoolPlan& plan, int morningPeriods, const TeacherOffRow& row, SchoolRules::TeacherOff& out);
QString interpret(const SchoolPlan& plan, const LimitRow& row, SchoolRules::TeacherLimit& out);
// A venue row gives one subject under its venue and grade (empty = every grade).
QString interpret(const SchoolPlan& plan, const VenueRow& row, SchoolRules::VenueCap& out);
// A row of 年级 "全校" gives one rule per grade of the plan.
QString interpret(const SchoolPlan& plan, const DoubleRow& row, std::vector<SchoolRules::DoubleLesson>& out);

// A teacher limit the teacher's own lessons cannot keep: fewer lessons a
// day times days than lessons a week. Empty when it can be kept.
QString limitBelowLoad(const SchoolPlan& plan, const SchoolRules::TeacherLimit& limit);

// The rules of the rows: teacher limits of one teacher merged (the lowest of
// each), venue rows of one venue and grade joined under the lowest cap, a
// double-lesson rule replaced by a later one for the same class and subject.
// Rows that cannot be used are left out, each with a note naming the table
// and the row's place (1-based) in `notes`.
struct Rows
{
    std::vector<TeacherOffRow> teacherOff;
    std::vector<LimitRow> limits;
    std::vector<VenueRow> venues;
    std::vector<DoubleRow> doubles;
};
SchoolRules resolve(const SchoolPlan& plan, int morningPeriods, const Rows& rows, QStringList& notes);

} // namespace RuleRows
