#include "view/PrintLayout.h"

#include "base/Naming.h"
#include "store/TextRules.h"
#include "view/TimetableData.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <map>

namespace PrintLayout {
namespace {

QString shown(const QString& text)
{
    return TextRules::isEmpty(text) ? QString() : text;
}

QStringList dayNames(int days)
{
    QStringList names;
    for (int d = 0; d < days; ++d)
        names << DayName(d);
    return names;
}

// Fixed lessons by (class, day, period, subject): one look-up per cell instead of a pass.
class FixedIndex
{
public:
    explicit FixedIndex(const TimetableData& data)
    {
        for (int i = 0; i < data.fixedLessonCount(); ++i) {
            const TimetableData::FixedLesson f = data.fixedLesson(i);
            m_keys.insert(key(f.classIndex, f.day, f.period, f.subject));
        }
    }
    bool has(int c, int d, int p, int subject) const { return m_keys.contains(key(c, d, p, subject)); }

private:
    static qint64 key(int c, int d, int p, int subject)
    {
        return ((static_cast<qint64>(c) * 16 + d) * 16 + p) * 32 + subject;
    }
    QSet<qint64> m_keys;
};

PrintPage::Mark markOf(const TimetableData& data, const FixedIndex& fixed, int c, int d, int p)
{
    const QString& subject = data.subject(c, d, p);
    if (TextRules::isEmpty(subject))
        return PrintPage::Mark::None;
    const int n = data.SubjectNumber(subject);
    if (fixed.has(c, d, p, n))
        return PrintPage::Mark::Fixed;
    if (data.IsCombinedLesson(c, n))
        return PrintPage::Mark::Combined;
    return PrintPage::Mark::None;
}

PrintPage emptyPage(PrintPage::Kind kind, const TimetableData& data, const QString& name, const SchoolDetails& school)
{
    PrintPage page;
    page.kind = kind;
    page.name = name;
    page.title = Title(school, name);
    page.term = school.term;
    page.days = data.dayCount;
    page.periods = data.periodCount;
    page.landscape = Landscape(data.dayCount, data.periodCount);
    page.dayNames = dayNames(data.dayCount);
    page.rows = Rows(data.periodCount, school.morningOf(data.periodCount));
    page.cells.assign(static_cast<size_t>(data.dayCount * data.periodCount), PrintPage::Cell{});
    return page;
}

void noteMarks(PrintPage& page)
{
    for (const PrintPage::Cell& cell : page.cells) {
        page.hasFixed = page.hasFixed || cell.mark == PrintPage::Mark::Fixed;
        page.hasCombined = page.hasCombined || cell.mark == PrintPage::Mark::Combined;
    }
    QStringList legend;
    if (page.hasFixed)
        legend << QStringLiteral("%1：固定课").arg(QChar(kFixedMark));
    if (page.hasCombined)
        legend << QStringLiteral("%1：合班课").arg(QChar(kCombinedMark));
    if (!legend.isEmpty())
        page.footer << legend.join(QStringLiteral("　"));
}

// The teacher's lessons in one slot: the subjects and the classes, in class order.
struct SlotLessons
{
    QStringList subjects;
    QStringList classes;
    PrintPage::Mark mark = PrintPage::Mark::None;
};

SlotLessons lessonsOf(const TimetableData& data, const FixedIndex& fixed, const QString& teacher, int d, int p,
                      const std::vector<int>& classes)
{
    SlotLessons lessons;
    for (int c : classes) {
        if (data.teacher(c, d, p) != teacher)
            continue;
        const QString subject = shown(data.subject(c, d, p));
        if (!subject.isEmpty() && !lessons.subjects.contains(subject))
            lessons.subjects << subject;
        lessons.classes << data.className(c);
        const PrintPage::Mark mark = markOf(data, fixed, c, d, p);
        if (mark == PrintPage::Mark::Fixed || lessons.mark == PrintPage::Mark::None)
            lessons.mark = mark;
    }
    return lessons;
}

// Per teacher, the classes they teach in at all (so a page looks at those only).
QHash<QString, std::vector<int>> classesByTeacher(const TimetableData& data)
{
    QHash<QString, std::vector<int>> byTeacher;
    for (int c = 0; c < data.classCount; ++c) {
        QSet<QString> seen;
        for (int d = 0; d < data.dayCount; ++d)
            for (int p = 0; p < data.periodCount; ++p) {
                const QString& t = data.teacher(c, d, p);
                if (!TextRules::isEmpty(t) && !seen.contains(t)) {
                    seen.insert(t);
                    byTeacher[t].push_back(c);
                }
            }
    }
    return byTeacher;
}

} // namespace

std::vector<PrintPage::Row> Rows(int periods, int morning)
{
    std::vector<PrintPage::Row> rows;
    morning = std::clamp(morning, 0, std::max(periods, 0));
    for (int p = 0; p < periods; ++p) {
        if (p == morning && morning > 0)
            rows.push_back({-1, QStringLiteral("午休"), QString()});
        rows.push_back({p, PeriodName(p), p < morning ? QStringLiteral("上午") : QStringLiteral("下午")});
    }
    return rows;
}

bool Landscape(int days, int periods)
{
    // The printable part of A4 in millimetres, less the title, the term and
    // the footer; the grid has a column of period names and a header row, and
    // the 午休 band is half a row. A cell reads best about 1.4 times as wide as high.
    constexpr double kLong = 277.0, kShort = 190.0, kAround = 45.0, kIdeal = 1.4;
    const double columns = days + 1.2;
    const double rows = periods + 1.5;
    const auto misfit = [&](double width, double height) {
        const double aspect = (width / columns) / ((height - kAround) / rows);
        return std::abs(std::log(aspect / kIdeal));
    };
    return misfit(kLong, kShort) < misfit(kShort, kLong);
}

QString Title(const SchoolDetails& school, const QString& name)
{
    const QString who = school.name.trimmed().isEmpty() ? name : school.name.trimmed() + QLatin1Char(' ') + name;
    return who + QStringLiteral(" 课表");
}

PrintPage ClassPage(const TimetableData& data, int c, const SchoolDetails& school)
{
    PrintPage page = emptyPage(PrintPage::Kind::Class, data, data.className(c), school);
    const FixedIndex fixed(data);
    std::map<int, int> bySubject; // subject number (unknown names after the 24) → lessons
    QStringList unknown;
    for (int d = 0; d < data.dayCount; ++d)
        for (int p = 0; p < data.periodCount; ++p) {
            const QString subject = shown(data.subject(c, d, p));
            PrintPage::Cell& cell = page.cells[static_cast<size_t>(p * data.dayCount + d)];
            cell.main = subject;
            cell.detail = subject.isEmpty() ? QString() : shown(data.teacher(c, d, p));
            cell.mark = markOf(data, fixed, c, d, p);
            if (subject.isEmpty())
                continue;
            int n = data.SubjectNumber(subject);
            if (n < 1) {
                if (!unknown.contains(subject))
                    unknown << subject;
                n = Plan::kSubjectSlots + 1 + static_cast<int>(unknown.indexOf(subject));
            }
            ++bySubject[n];
        }
    QStringList counts;
    int total = 0;
    for (const auto& [n, count] : bySubject) {
        const QString name = n <= Plan::kSubjectSlots ? data.subjectNames[n - 1] : unknown[n - Plan::kSubjectSlots - 1];
        counts << QStringLiteral("%1 %2").arg(name).arg(count);
        total += count;
    }
    page.footer << QStringLiteral("每周课时：%1　共 %2 节").arg(counts.join(QStringLiteral("　"))).arg(total);
    noteMarks(page);
    return page;
}

QStringList TeacherNames(const TimetableData& data)
{
    QStringList names;
    QSet<QString> seen;
    for (int c = 0; c < data.classCount; ++c)
        for (int d = 0; d < data.dayCount; ++d)
            for (int p = 0; p < data.periodCount; ++p) {
                const QString& name = data.teacher(c, d, p);
                if (!TextRules::isEmpty(name) && !seen.contains(name)) {
                    seen.insert(name);
                    names << name;
                }
            }
    return names;
}

namespace {

PrintPage teacherPage(const TimetableData& data, const FixedIndex& fixed, const QString& teacher,
                      const std::vector<int>& classes, const SchoolDetails& school)
{
    PrintPage page = emptyPage(PrintPage::Kind::Teacher, data, teacher, school);
    std::vector<int> perDay(static_cast<size_t>(data.dayCount), 0);
    for (int d = 0; d < data.dayCount; ++d)
        for (int p = 0; p < data.periodCount; ++p) {
            const SlotLessons lessons = lessonsOf(data, fixed, teacher, d, p, classes);
            if (lessons.classes.isEmpty())
                continue;
            PrintPage::Cell& cell = page.cells[static_cast<size_t>(p * data.dayCount + d)];
            cell.main = lessons.subjects.join(QLatin1Char('/'));
            cell.detail = lessons.classes.join(QStringLiteral("、"));
            cell.mark = lessons.mark;
            ++perDay[static_cast<size_t>(d)];
        }
    int total = 0;
    QStringList days;
    for (int d = 0; d < data.dayCount; ++d) {
        total += perDay[static_cast<size_t>(d)];
        days << QStringLiteral("%1 %2").arg(DayName(d)).arg(perDay[static_cast<size_t>(d)]);
    }
    page.footer << QStringLiteral("周课时：%1 节　%2").arg(total).arg(days.join(QStringLiteral("　")));
    noteMarks(page);
    return page;
}

} // namespace

PrintPage TeacherPage(const TimetableData& data, const QString& teacher, const SchoolDetails& school)
{
    const FixedIndex fixed(data);
    std::vector<int> all(static_cast<size_t>(data.classCount));
    for (int c = 0; c < data.classCount; ++c)
        all[static_cast<size_t>(c)] = c;
    return teacherPage(data, fixed, teacher, all, school);
}

std::vector<PrintPage> TeacherPages(const TimetableData& data, const QStringList& teachers, const SchoolDetails& school)
{
    const FixedIndex fixed(data);
    const QHash<QString, std::vector<int>> byTeacher = classesByTeacher(data);
    std::vector<PrintPage> pages;
    for (const QString& teacher : teachers)
        pages.push_back(teacherPage(data, fixed, teacher, byTeacher.value(teacher), school));
    return pages;
}

OverviewTable MasterOverview(const TimetableData& data, const SchoolDetails& school)
{
    OverviewTable table;
    table.title = school.name.trimmed().isEmpty() ? QStringLiteral("总课表") : school.name.trimmed() + QStringLiteral(" 总课表");
    table.term = school.term;
    table.days = data.dayCount;
    table.periods = data.periodCount;
    table.dayNames = dayNames(data.dayCount);
    table.nameHeader = QStringLiteral("班级");
    const FixedIndex fixed(data);
    table.cells.reserve(static_cast<size_t>(data.classCount * data.slotCount()));
    for (int c = 0; c < data.classCount; ++c) {
        table.rowNames << data.className(c);
        for (int d = 0; d < data.dayCount; ++d)
            for (int p = 0; p < data.periodCount; ++p) {
                const QString subject = shown(data.subject(c, d, p));
                table.cells.push_back({subject, subject.isEmpty() ? QString() : shown(data.teacher(c, d, p)),
                                       markOf(data, fixed, c, d, p)});
            }
    }
    return table;
}

OverviewTable TeacherOverview(const TimetableData& data, const SchoolDetails& school)
{
    OverviewTable table;
    table.title = school.name.trimmed().isEmpty() ? QStringLiteral("教师总课表")
                                                  : school.name.trimmed() + QStringLiteral(" 教师总课表");
    table.term = school.term;
    table.days = data.dayCount;
    table.periods = data.periodCount;
    table.dayNames = dayNames(data.dayCount);
    table.nameHeader = QStringLiteral("教师");
    const FixedIndex fixed(data);
    const QHash<QString, std::vector<int>> byTeacher = classesByTeacher(data);
    const QStringList teachers = TeacherNames(data);
    table.cells.reserve(static_cast<size_t>(teachers.size() * data.slotCount()));
    for (const QString& teacher : teachers) {
        table.rowNames << teacher;
        const std::vector<int>& classes = byTeacher[teacher];
        for (int d = 0; d < data.dayCount; ++d)
            for (int p = 0; p < data.periodCount; ++p) {
                const SlotLessons lessons = lessonsOf(data, fixed, teacher, d, p, classes);
                table.cells.push_back({lessons.classes.join(QStringLiteral("、")),
                                       lessons.subjects.join(QLatin1Char('/')), lessons.mark});
            }
    }
    return table;
}

} // namespace PrintLayout
