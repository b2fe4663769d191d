#include "dialogs/rules/RuleTableLogic.h"

#include "base/RuleRows.h"
#include "store/PlanReader.h"
#include "store/RulesReader.h"
#include "store/RulesStore.h"

namespace {

bool blank(const QStringList& row)
{
    for (const QString& text : row)
        if (!text.trimmed().isEmpty())
            return false;
    return true;
}

QString at(const QStringList& row, int i)
{
    return i < row.size() ? row[i].trimmed() : QString();
}

} // namespace

QStringList RuleTableLogic::headers(Kind kind)
{
    switch (kind) {
    case Kind::Limits:
        return {QStringLiteral("教师"), QStringLiteral("每天最多"), QStringLiteral("每周最多天数"), QStringLiteral("最多连上")};
    case Kind::Venues:
        return {QStringLiteral("场地"), QStringLiteral("科目"), QStringLiteral("年级"), QStringLiteral("同时最多班数")};
    case Kind::Doubles:
        return {QStringLiteral("年级"), QStringLiteral("班级"), QStringLiteral("科目"), QStringLiteral("每周连堂数")};
    }
    return {};
}

QString RuleTableLogic::caption(Kind kind)
{
    switch (kind) {
    case Kind::Limits: return QStringLiteral("教师课时限制");
    case Kind::Venues: return QStringLiteral("场地限制");
    case Kind::Doubles: return QStringLiteral("连堂设置");
    }
    return {};
}

QString RuleTableLogic::hint(Kind kind)
{
    switch (kind) {
    case Kind::Limits: return QStringLiteral("空格表示不限。最多连上：上午、下午分开计。");
    case Kind::Venues:
        return QStringLiteral("同一场地的几行共用一个班数（如操场：体育、体育与健康）；年级填“全校”表示所有年级一起计。");
    case Kind::Doubles:
        return QStringLiteral("班级填“全部”表示该年级所有班级，年级填“全校”表示所有年级；每周连堂数填0表示这门课不连堂。");
    }
    return {};
}

QString RuleTableLogic::load()
{
    SchoolPlan plan;
    const Status read = PlanReader::Load(plan);
    if (!read.ok())
        return read.failure().message();
    const RuleRows::Rows stored = RulesReader::ReadRows();
    std::vector<QStringList> texts;
    switch (kind) {
    case Kind::Limits:
        for (const auto& row : stored.limits)
            texts.push_back({row.teacher, row.perDay, row.daysPerWeek, row.inARow});
        break;
    case Kind::Venues:
        for (const auto& row : stored.venues)
            texts.push_back({row.venue, row.subject, row.grade, row.cap});
        break;
    case Kind::Doubles:
        for (const auto& row : stored.doubles)
            texts.push_back({row.grade, row.className, row.subject, row.perWeek});
        break;
    }
    setUp(plan, texts);
    return QString();
}

void RuleTableLogic::setUp(const SchoolPlan& plan, const std::vector<QStringList>& stored)
{
    m_plan = plan;
    rows.clear();
    for (QStringList row : stored) {
        while (row.size() < 4)
            row << QString();
        for (QString& text : row)
            if (Plan::isEmpty(text))
                text.clear();
        rows.push_back(row.mid(0, 4));
    }
}

void RuleTableLogic::addRow()
{
    rows.push_back(QStringList(4));
}

void RuleTableLogic::removeRow(int row)
{
    if (row >= 0 && row < static_cast<int>(rows.size()))
        rows.erase(rows.begin() + row);
}

QString RuleTableLogic::refusal() const
{
    for (size_t i = 0; i < rows.size(); ++i) {
        const QStringList& row = rows[i];
        if (blank(row))
            continue;
        QString why;
        QString shown;
        switch (kind) {
        case Kind::Limits: {
            const RuleRows::LimitRow r{at(row, 0), at(row, 1), at(row, 2), at(row, 3)};
            SchoolRules::TeacherLimit limit;
            why = RuleRows::interpret(m_plan, r, limit);
            if (why.isEmpty())
                why = RuleRows::limitBelowLoad(m_plan, limit);
            shown = RuleRows::describe(r);
            break;
        }
        case Kind::Venues: {
            const RuleRows::VenueRow r{at(row, 0), at(row, 1), at(row, 2), at(row, 3)};
            SchoolRules::VenueCap cap;
            why = RuleRows::interpret(m_plan, r, cap);
            shown = RuleRows::describe(r);
            break;
        }
        case Kind::Doubles: {
            const RuleRows::DoubleRow r{at(row, 0), at(row, 1), at(row, 2), at(row, 3)};
            std::vector<SchoolRules::DoubleLesson> found;
            why = RuleRows::interpret(m_plan, r, found);
            shown = RuleRows::describe(r);
            break;
        }
        }
        if (!why.isEmpty())
            return QStringLiteral("第%1行（%2）：%3，没有保存。").arg(i + 1).arg(shown, why);
    }
    return QString();
}

QString RuleTableLogic::save() const
{
    const QString refused = refusal();
    if (!refused.isEmpty())
        return refused;
    switch (kind) {
    case Kind::Limits: {
        std::vector<RuleRows::LimitRow> out;
        for (const QStringList& row : rows)
            if (!blank(row))
                out.push_back({at(row, 0), at(row, 1), at(row, 2), at(row, 3)});
        RulesStore::saveLimits(out);
        break;
    }
    case Kind::Venues: {
        std::vector<RuleRows::VenueRow> out;
        for (const QStringList& row : rows)
            if (!blank(row))
                out.push_back({at(row, 0), at(row, 1), at(row, 2), at(row, 3)});
        RulesStore::saveVenues(out);
        break;
    }
    case Kind::Doubles: {
        std::vector<RuleRows::DoubleRow> out;
        for (const QStringList& row : rows)
            if (!blank(row))
                out.push_back({at(row, 0), at(row, 1), at(row, 2), at(row, 3)});
        RulesStore::saveDoubles(out);
        break;
    }
    }
    return QString();
}
