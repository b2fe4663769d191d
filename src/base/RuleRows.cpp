#include "base/RuleRows.h"

#include "base/Naming.h"
#include "base/PlanVocabulary.h"
#include "base/SchoolPlan.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <climits>

namespace RuleRows {

namespace {

bool isBlank(const QString& text)
{
    return text.trimmed().isEmpty() || Plan::isEmpty(text);
}

QString shown(const QString& text)
{
    return isBlank(text) ? QStringLiteral("（空）") : text;
}

bool knowsSubject(const SchoolPlan& plan, const QString& name)
{
    return !isBlank(name) && plan.SubjectNumber(name) > 0;
}

bool gradeInUse(const SchoolPlan& plan, const QString& grade)
{
    for (int c = 0; c < plan.classCount; ++c)
        if (plan.gradeName(c) == grade)
            return true;
    return false;
}

// A limit of at most `max`; "" when fine.
QString limitText(const QString& what, const QString& text, int max, int& out)
{
    out = countFromText(text);
    if (out < 0)
        return QStringLiteral("%1“%2”不是数字").arg(what, text);
    if (out > max)
        return QStringLiteral("%1“%2”超过了%3").arg(what, text).arg(max);
    return QString();
}

} // namespace

QString describe(const TeacherOffRow& row)
{
    return QStringLiteral("%1，星期%2，节次%3").arg(shown(row.teacher), shown(row.day), shown(row.period));
}

QString describe(const LimitRow& row)
{
    return QStringLiteral("%1，每天最多%2，每周最多天数%3，最多连上%4")
        .arg(shown(row.teacher), shown(row.perDay), shown(row.daysPerWeek), shown(row.inARow));
}

QString describe(const VenueRow& row)
{
    return QStringLiteral("%1，%2，%3，同时最多班数%4").arg(shown(row.venue), shown(row.subject), shown(row.grade), shown(row.cap));
}

QString describe(const DoubleRow& row)
{
    return QStringLiteral("%1，%2，%3，每周连堂数%4")
        .arg(shown(row.grade), shown(row.className), shown(row.subject), shown(row.perWeek));
}

QStringList teachersOf(const SchoolPlan& plan)
{
    QStringList names;
    QSet<QString> seen;
    for (int c = 0; c < plan.classCount; ++c)
        for (int s = 1; s <= Plan::kSubjectSlots; ++s) {
            const QString& name = plan.teacher(c, s);
            if (isBlank(name) || seen.contains(name))
                continue;
            seen.insert(name);
            names << name;
        }
    return names;
}

bool teaches(const SchoolPlan& plan, const QString& name)
{
    if (isBlank(name))
        return false;
    for (int c = 0; c < plan.classCount; ++c)
        for (int s = 1; s <= Plan::kSubjectSlots; ++s)
            if (plan.teacher(c, s) == name)
                return true;
    return false;
}

QStringList gradesOf(const SchoolPlan& plan)
{
    QStringList grades;
    for (int c = 0; c < plan.classCount; ++c)
        if (!grades.contains(plan.gradeName(c)))
            grades << plan.gradeName(c);
    return grades;
}

int weeklyLoad(const SchoolPlan& plan, const QString& teacher)
{
    const auto lessons = [&plan](int c, int s) {
        const int row = GradeIndex(plan.gradeName(c));
        if (row < 0 || row >= plan.gradeRowCount())
            return 0;
        return std::max(0, plan.plan(row, s));
    };
    long long load = 0;
    for (int c = 0; c < plan.classCount; ++c)
        for (int s = 1; s <= Plan::kSubjectSlots; ++s)
            if (plan.teacher(c, s) == teacher)
                load += lessons(c, s);
    // The classes of a combined group taught by this teacher take one lesson together.
    for (int g = 0; g < plan.combinedGroupCount(); ++g) {
        const int s = plan.combinedSubject(g);
        if (s < 1 || s > Plan::kSubjectSlots)
            continue;
        bool first = true;
        for (int k = 0; k < Plan::kCombinedMembers; ++k) {
            const int c = plan.combinedMember(g, k);
            if (c < 0 || c >= plan.classCount || plan.teacher(c, s) != teacher)
                continue;
            if (!first)
                load -= lessons(c, s);
            first = false;
        }
    }
    return static_cast<int>(std::clamp<long long>(load, 0, INT_MAX));
}

int dayFromText(const QString& text, int dayCount)
{
    const QString t = text.trimmed();
    int day = -1;
    bool number = false;
    const int n = t.toInt(&number);
    if (number && !t.startsWith(QLatin1Char('+')) && !t.startsWith(QLatin1Char('-')))
        day = n - 1;
    else {
        static const QString shortNames = QStringLiteral("一二三四五六日");
        for (int d = 0; d < Plan::kMaxDays; ++d) {
            const QString shortName = QStringLiteral("周") + shortNames[d];
            if (t == DayName(d) || t == shortName || (d == 6 && (t == QStringLiteral("星期日") || t == QStringLiteral("周天"))))
                day = d;
        }
    }
    return day >= 0 && day < dayCount ? day : -1;
}

int countFromText(const QString& text)
{
    if (isBlank(text))
        return 0;
    const QString t = text.trimmed();
    if (t.size() > 6)
        return -1;
    for (const QChar ch : t)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return -1;
    return t.toInt();
}

QString interpret(const SchoolPlan& plan, int morningPeriods, const TeacherOffRow& row, SchoolRules::TeacherOff& out)
{
    if (!teaches(plan, row.teacher))
        return QStringLiteral("没有名为“%1”的任课教师").arg(shown(row.teacher));
    const int day = dayFromText(row.day, plan.dayCount);
    if (day < 0)
        return QStringLiteral("星期“%1”不在每周%2天之内").arg(shown(row.day)).arg(plan.dayCount);
    const int morningCount = std::clamp(morningPeriods, 0, plan.periodCount);
    const QString period = row.period.trimmed();
    out = {row.teacher, day, 0, plan.periodCount - 1};
    if (period == wholeDay() || period == QStringLiteral("全天"))
        return QString();
    if (period == morning()) {
        if (morningCount == 0)
            return QStringLiteral("一天里没有上午的节次");
        out.lastPeriod = morningCount - 1;
        return QString();
    }
    if (period == afternoon()) {
        if (morningCount >= plan.periodCount)
            return QStringLiteral("上午%1节之后一天里没有下午的节次").arg(morningCount);
        out.firstPeriod = morningCount;
        return QString();
    }
    const int n = countFromText(period);
    if (n < 1 || n > plan.periodCount || isBlank(period))
        return QStringLiteral("节次“%1”不是0、上午、下午或1到%2的节次").arg(shown(row.period)).arg(plan.periodCount);
    out.firstPeriod = out.lastPeriod = n - 1;
    return QString();
}

QString interpret(const SchoolPlan& plan, const LimitRow& row, SchoolRules::TeacherLimit& out)
{
    if (!teaches(plan, row.teacher))
        return QStringLiteral("没有名为“%1”的任课教师").arg(shown(row.teacher));
    out = {row.teacher, 0, 0, 0};
    QString why = limitText(QStringLiteral("每天最多"), row.perDay, Plan::kMaxPeriods, out.perDay);
    if (why.isEmpty())
        why = limitText(QStringLiteral("每周最多天数"), row.daysPerWeek, Plan::kMaxDays, out.daysPerWeek);
    if (why.isEmpty())
        why = limitText(QStringLiteral("最多连上"), row.inARow, Plan::kMaxPeriods, out.inARow);
    return why;
}

QString interpret(const SchoolPlan& plan, const VenueRow& row, SchoolRules::VenueCap& out)
{
    if (isBlank(row.venue))
        return QStringLiteral("没有场地名称");
    if (!knowsSubject(plan, row.subject))
        return QStringLiteral("没有名为“%1”的科目").arg(shown(row.subject));
    const QString grade = isBlank(row.grade) || row.grade.trimmed() == wholeSchool() ? QString() : row.grade;
    if (!grade.isEmpty() && !gradeInUse(plan, grade))
        return QStringLiteral("没有“%1”的班级").arg(grade);
    const int cap = countFromText(row.cap);
    if (cap < 0)
        return QStringLiteral("同时最多班数“%1”不是数字").arg(row.cap);
    if (cap == 0)
        return QStringLiteral("同时最多班数不能是0（那样就没有班级能上这门课）");
    out = {row.venue.trimmed(), {row.subject}, grade, cap};
    return QString();
}

QString interpret(const SchoolPlan& plan, const DoubleRow& row, std::vector<SchoolRules::DoubleLesson>& out)
{
    out.clear();
    if (!knowsSubject(plan, row.subject))
        return QStringLiteral("没有名为“%1”的科目").arg(shown(row.subject));
    if (isBlank(row.perWeek))
        return QStringLiteral("没有填每周连堂数");
    const int perWeek = countFromText(row.perWeek);
    if (perWeek < 0)
        return QStringLiteral("每周连堂数“%1”不是数字").arg(row.perWeek);
    const int most = plan.dayCount * (plan.periodCount / 2);
    if (perWeek > most)
        return QStringLiteral("每周连堂数%1超过了一周能排的%2次").arg(perWeek).arg(most);
    const bool allClasses = isBlank(row.className) || row.className.trimmed() == everyClass();
    if (row.grade.trimmed() == wholeSchool()) {
        if (!allClasses)
            return QStringLiteral("全校的连堂设置班级应为“全部”");
        for (const QString& grade : gradesOf(plan))
            out.push_back({grade, QString(), row.subject, perWeek});
        return QString();
    }
    if (!gradeInUse(plan, row.grade))
        return QStringLiteral("没有“%1”的班级").arg(shown(row.grade));
    if (!allClasses) {
        const int c = plan.ClassIndex(row.className);
        if (c < 0)
            return QStringLiteral("没有名为“%1”的班级").arg(row.className);
        if (plan.gradeName(c) != row.grade)
            return QStringLiteral("“%1”不是%2的班级").arg(row.className, row.grade);
    }
    out.push_back({row.grade, allClasses ? QString() : row.className, row.subject, perWeek});
    return QString();
}

QString limitBelowLoad(const SchoolPlan& plan, const SchoolRules::TeacherLimit& limit)
{
    const int load = weeklyLoad(plan, limit.teacher);
    const int days = limit.daysPerWeek > 0 ? std::min(limit.daysPerWeek, plan.dayCount) : plan.dayCount;
    const int perDay = limit.perDay > 0 ? std::min(limit.perDay, plan.periodCount) : plan.periodCount;
    if (static_cast<long long>(days) * perDay >= load)
        return QString();
    if (limit.perDay > 0 && limit.daysPerWeek > 0)
        return QStringLiteral("%1每周有%2节课，每天最多%3节、每周最多%4天只能上%5节")
            .arg(limit.teacher).arg(load).arg(limit.perDay).arg(limit.daysPerWeek).arg(days * perDay);
    if (limit.perDay > 0)
        return QStringLiteral("%1每周有%2节课，每天最多%3节、每周%4天只能上%5节")
            .arg(limit.teacher).arg(load).arg(limit.perDay).arg(days).arg(days * perDay);
    return QStringLiteral("%1每周有%2节课，每周最多%3天、每天%4节只能上%5节")
        .arg(limit.teacher).arg(load).arg(limit.daysPerWeek).arg(perDay).arg(days * perDay);
}

SchoolRules resolve(const SchoolPlan& plan, int morningPeriods, const Rows& rows, QStringList& notes)
{
    SchoolRules rules;
    rules.morningPeriods = std::clamp(morningPeriods, 0, std::max(plan.periodCount, 0));
    const auto skip = [&notes](const QString& table, size_t i, const QString& row, const QString& why) {
        notes << QStringLiteral("%1第%2行（%3）：%4，这一行没有用上").arg(table).arg(i + 1).arg(row, why);
    };

    for (size_t i = 0; i < rows.teacherOff.size(); ++i) {
        const TeacherOffRow& row = rows.teacherOff[i];
        if (isBlank(row.teacher) && isBlank(row.day) && isBlank(row.period))
            continue;
        SchoolRules::TeacherOff off;
        const QString why = interpret(plan, rules.morningPeriods, row, off);
        if (why.isEmpty())
            rules.teacherOff.push_back(off);
        else
            skip(QStringLiteral("教师不排课"), i, describe(row), why);
    }

    QHash<QString, size_t> limitOf;
    for (size_t i = 0; i < rows.limits.size(); ++i) {
        const LimitRow& row = rows.limits[i];
        if (isBlank(row.teacher) && isBlank(row.perDay) && isBlank(row.daysPerWeek) && isBlank(row.inARow))
            continue;
        SchoolRules::TeacherLimit limit;
        const QString why = interpret(plan, row, limit);
        if (!why.isEmpty()) {
            skip(QStringLiteral("教师课时限制"), i, describe(row), why);
            continue;
        }
        if (limit.perDay == 0 && limit.daysPerWeek == 0 && limit.inARow == 0)
            continue;
        const auto lower = [](int& kept, int added) {
            if (added > 0 && (kept == 0 || added < kept))
                kept = added;
        };
        const auto found = limitOf.constFind(limit.teacher);
        if (found == limitOf.constEnd()) {
            limitOf.insert(limit.teacher, rules.teacherLimits.size());
            rules.teacherLimits.push_back(limit);
        } else {
            SchoolRules::TeacherLimit& kept = rules.teacherLimits[found.value()];
            lower(kept.perDay, limit.perDay);
            lower(kept.daysPerWeek, limit.daysPerWeek);
            lower(kept.inARow, limit.inARow);
        }
    }

    QHash<QString, size_t> venueOf; // venue + grade
    for (size_t i = 0; i < rows.venues.size(); ++i) {
        const VenueRow& row = rows.venues[i];
        if (isBlank(row.venue) && isBlank(row.subject) && isBlank(row.grade) && isBlank(row.cap))
            continue;
        SchoolRules::VenueCap cap;
        const QString why = interpret(plan, row, cap);
        if (!why.isEmpty()) {
            skip(QStringLiteral("场地限制"), i, describe(row), why);
            continue;
        }
        const QString key = cap.venue + QChar(0x1f) + cap.grade;
        const auto found = venueOf.constFind(key);
        if (found == venueOf.constEnd()) {
            venueOf.insert(key, rules.venueCaps.size());
            rules.venueCaps.push_back(cap);
            continue;
        }
        SchoolRules::VenueCap& kept = rules.venueCaps[found.value()];
        if (!kept.subjects.contains(cap.subjects.first()))
            kept.subjects << cap.subjects.first();
        if (cap.cap != kept.cap) {
            notes << QStringLiteral("场地限制第%1行（%2）：场地“%3”的同时最多班数与前面的行不同，按较小的%4计")
                         .arg(i + 1).arg(describe(row), cap.venue).arg(std::min(cap.cap, kept.cap));
            kept.cap = std::min(cap.cap, kept.cap);
        }
    }

    for (size_t i = 0; i < rows.doubles.size(); ++i) {
        const DoubleRow& row = rows.doubles[i];
        if (isBlank(row.grade) && isBlank(row.className) && isBlank(row.subject) && isBlank(row.perWeek))
            continue;
        std::vector<SchoolRules::DoubleLesson> found;
        const QString why = interpret(plan, row, found);
        if (!why.isEmpty()) {
            skip(QStringLiteral("连堂设置"), i, describe(row), why);
            continue;
        }
        for (const SchoolRules::DoubleLesson& rule : found) {
            auto same = std::find_if(rules.doubleLessons.begin(), rules.doubleLessons.end(),
                                     [&rule](const SchoolRules::DoubleLesson& kept) {
                                         return kept.grade == rule.grade && kept.className == rule.className
                                             && kept.subject == rule.subject;
                                     });
            if (same != rules.doubleLessons.end())
                *same = rule;
            else
                rules.doubleLessons.push_back(rule);
        }
    }
    return rules;
}

} // namespace RuleRows
