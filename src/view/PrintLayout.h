#pragma once

#include "base/SchoolDetails.h"

#include <QString>
#include <QStringList>

#include <vector>

class TimetableData;

// What a printed timetable page holds, decided without pixels: the painter
// (src/print) and the per-class workbook only place what is here.
//
// A page of one class or one teacher: the title, the term, the week as rows of
// periods (上午 and 下午 with a 午休 band between them) × working days, and a
// footer of counts.
struct PrintPage
{
    enum class Kind { Class, Teacher };
    enum class Mark { None, Fixed, Combined };

    struct Cell
    {
        QString main;   // the subject ("" for a free period)
        QString detail; // smaller: the teacher (class page) or the class (teacher page)
        Mark mark = Mark::None;
        bool isFree() const { return main.isEmpty() && detail.isEmpty(); }
    };

    // A row of the grid: a period, or the 午休 band (period -1).
    struct Row
    {
        int period = -1;  // 0-based period, -1 for the band
        QString label;    // "第1节" … or "午休"
        QString half;     // "上午" / "下午" on a period row, "" on the band
        bool isBreak() const { return period < 0; }
    };

    Kind kind = Kind::Class;
    QString name;  // the class or the teacher
    QString title; // "<school> <name> 课表"
    QString term;
    bool landscape = false; // A4 across: the week fits it better
    int days = 0;
    int periods = 0;
    QStringList dayNames;  // 星期一 …, one per column
    std::vector<Row> rows; // periods and the band in order from the top
    std::vector<Cell> cells; // period-major: cells[period * days + day]
    QStringList footer;      // lines under the grid
    bool hasFixed = false;   // a cell is marked: the footer explains the marks
    bool hasCombined = false;

    const Cell& cell(int period, int day) const { return cells[static_cast<size_t>(period * days + day)]; }
};

// The overview of all classes (总课表) or all teachers (教师总课表) for a
// picture or a PDF: one row per class or teacher, one column per slot under
// its day, each cell a main text and a smaller detail.
struct OverviewTable
{
    QString title; // "<school> 总课表" / "<school> 教师总课表"
    QString term;
    int days = 0;
    int periods = 0;
    QStringList dayNames;
    QString nameHeader; // "班级" / "教师"
    QStringList rowNames;
    std::vector<PrintPage::Cell> cells; // row-major: cells[row * days * periods + day * periods + period]

    int rowCount() const { return static_cast<int>(rowNames.size()); }
    const PrintPage::Cell& cell(int row, int day, int period) const
    {
        return cells[static_cast<size_t>((row * days + day) * periods + period)];
    }
};

namespace PrintLayout {

// The text marks of a fixed and a combined lesson, with what the footer says about them.
inline constexpr char16_t kFixedMark = u'定';
inline constexpr char16_t kCombinedMark = u'合';

// The rows of a day of `periods` periods with `morning` of them in the
// morning: a band between the two halves when both have periods.
std::vector<PrintPage::Row> Rows(int periods, int morning);

// True when a week of days × periods (plus the title, the headers and the
// footer) fits an A4 page across better than upright.
bool Landscape(int days, int periods);

// The title of a class's or teacher's page: "<school> <name> 课表", without
// the school when it has no name.
QString Title(const SchoolDetails& school, const QString& name);

// The page of class c: each cell the subject and its teacher, fixed and
// combined lessons marked; the footer counts the week's lessons per subject.
PrintPage ClassPage(const TimetableData& data, int c, const SchoolDetails& school);

// The teachers in the order the teacher table lists them (first appearance,
// class by class, slot by slot).
QStringList TeacherNames(const TimetableData& data);

// The page of a teacher: each cell the subject and the class (the classes
// of a combined lesson joined by "、"); the footer gives the weekly count and
// the lessons of each day.
PrintPage TeacherPage(const TimetableData& data, const QString& teacher, const SchoolDetails& school);
// The pages of many teachers at once (each looks only at the classes the teacher teaches in).
std::vector<PrintPage> TeacherPages(const TimetableData& data, const QStringList& teachers,
                                    const SchoolDetails& school);

// The overviews.
OverviewTable MasterOverview(const TimetableData& data, const SchoolDetails& school);
OverviewTable TeacherOverview(const TimetableData& data, const SchoolDetails& school);

} // namespace PrintLayout
