#include "view/PrintChoice.h"

#include "view/TeacherTable.h"
#include "view/TimetableData.h"
#include "view/TimetableModel.h"

namespace {

const QStringList kNoNames;

} // namespace

PrintChoice::PrintChoice(const QStringList& classes, const QStringList& teachers)
{
    m_classes.names = classes;
    m_classes.chosen.assign(static_cast<size_t>(classes.size()), true);
    m_teachers.names = teachers;
    m_teachers.chosen.assign(static_cast<size_t>(teachers.size()), true);
}

PrintChoice PrintChoice::fromTimetable(const TimetableData& data)
{
    QStringList classes;
    for (int c = 0; c < data.classCount; ++c)
        classes << data.className(c);
    TeacherTable table;
    table.BuildTeacherTable(data);
    QStringList teachers;
    for (int t = 0; t < table.teacherCount(); ++t)
        teachers << table.teacherName(t);
    return PrintChoice(classes, teachers);
}

PrintChoice::List& PrintChoice::list()
{
    return m_kind == Kind::Teachers ? m_teachers : m_classes;
}

const PrintChoice::List& PrintChoice::list() const
{
    return m_kind == Kind::Teachers ? m_teachers : m_classes;
}

const QStringList& PrintChoice::names() const
{
    return hasList() ? list().names : kNoNames;
}

bool PrintChoice::isChosen(int row) const
{
    return hasList() && row >= 0 && row < static_cast<int>(list().chosen.size()) && list().chosen[size_t(row)];
}

void PrintChoice::setChosen(int row, bool chosen)
{
    if (hasList() && row >= 0 && row < static_cast<int>(list().chosen.size()))
        list().chosen[size_t(row)] = chosen;
}

void PrintChoice::chooseAll(bool chosen)
{
    if (hasList())
        list().chosen.assign(list().chosen.size(), chosen);
}

int PrintChoice::chosenCount() const
{
    if (!hasList())
        return 0;
    int count = 0;
    for (bool chosen : list().chosen)
        count += chosen ? 1 : 0;
    return count;
}

bool PrintChoice::allChosen() const
{
    return hasList() && chosenCount() == list().names.size();
}

std::vector<int> PrintChoice::matching(const QString& text) const
{
    std::vector<int> rows;
    const QString wanted = text.trimmed();
    const QStringList& shown = names();
    for (int i = 0; i < shown.size(); ++i)
        if (wanted.isEmpty() || shown[i].contains(wanted, Qt::CaseInsensitive))
            rows.push_back(i);
    return rows;
}

bool PrintChoice::chooseOnly(Kind kind, const QString& name)
{
    if (kind != Kind::Classes && kind != Kind::Teachers)
        return false;
    List& target = kind == Kind::Teachers ? m_teachers : m_classes;
    const int row = static_cast<int>(target.names.indexOf(name));
    if (row < 0)
        return false;
    m_kind = kind;
    target.chosen.assign(target.chosen.size(), false);
    target.chosen[size_t(row)] = true;
    return true;
}

QStringList PrintChoice::chosenNames() const
{
    QStringList chosen;
    if (!hasList())
        return chosen;
    for (int i = 0; i < list().names.size(); ++i)
        if (list().chosen[size_t(i)])
            chosen << list().names[i];
    return chosen;
}

std::vector<int> PrintChoice::chosenRows() const
{
    std::vector<int> rows;
    if (!hasList())
        return rows;
    for (int i = 0; i < list().names.size(); ++i)
        if (list().chosen[size_t(i)])
            rows.push_back(i);
    return rows;
}

QString PrintChoice::refusal() const
{
    if (m_classes.names.isEmpty())
        return QStringLiteral("还没有课表：请先排课，或打开保存过的课表。");
    switch (m_kind) {
    case Kind::Teachers:
        if (m_teachers.names.isEmpty())
            return QStringLiteral("课表中没有教师。");
        if (chosenCount() == 0)
            return QStringLiteral("请至少选择一位教师。");
        break;
    case Kind::Classes:
        if (chosenCount() == 0)
            return QStringLiteral("请至少选择一个班级。");
        break;
    case Kind::TeacherOverview:
        if (m_teachers.names.isEmpty())
            return QStringLiteral("课表中没有教师。");
        break;
    case Kind::MasterOverview:
        break;
    }
    return QString();
}

QString PrintChoice::summary() const
{
    switch (m_kind) {
    case Kind::Classes:
        return QStringLiteral("已选 %1 / %2 个班级").arg(chosenCount()).arg(m_classes.names.size());
    case Kind::Teachers:
        return QStringLiteral("已选 %1 / %2 位教师").arg(chosenCount()).arg(m_teachers.names.size());
    case Kind::MasterOverview:
        return QStringLiteral("全部 %1 个班级").arg(m_classes.names.size());
    case Kind::TeacherOverview:
        return QStringLiteral("全部 %1 位教师").arg(m_teachers.names.size());
    }
    return QString();
}

std::optional<PrintChoice::Named> PrintChoice::nameAt(const TimetableModel& model, int x, int y, int scrollX,
                                                      int scrollY)
{
    const TimetableLayout& layout = model.layout;
    if (!layout.showsTimetable() || layout.cellHeight <= 0 || x < 0 || y < layout.headerHeight())
        return std::nullopt;
    if (layout.showsTeacherTable()) {
        const int row = layout.TeacherRowAt(y, scrollY);
        if (row < 0 || row >= model.teachers.teacherCount() || x + scrollX >= layout.contentWidth)
            return std::nullopt;
        return Named{Kind::Teachers, model.teachers.teacherName(row)};
    }
    if (x >= layout.nameWidth()) // the name column does not scroll sideways
        return std::nullopt;
    const int row = (y + scrollY) / (2 * layout.cellHeight) - 1;
    if (row < 0 || row >= model.classCount)
        return std::nullopt;
    return Named{Kind::Classes, model.className(row)};
}

std::optional<PrintChoice::Named> PrintChoice::selected(const TimetableModel& model)
{
    const TimetableLayout& layout = model.layout;
    const int row = model.selection.selectedClass;
    if (!layout.showsTimetable() || row < 0)
        return std::nullopt;
    if (layout.showsTeacherTable()) {
        if (row >= model.teachers.teacherCount())
            return std::nullopt;
        return Named{Kind::Teachers, model.teachers.teacherName(row)};
    }
    if (row >= model.classCount)
        return std::nullopt;
    return Named{Kind::Classes, model.className(row)};
}
