#include "view/daily/DailyEdit.h"

#include "base/Naming.h"
#include "view/daily/DailyIndex.h"
#include "view/daily/TermCalendar.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

QString absencePeriodsText(const Absence& absence)
{
    if (absence.periods.empty())
        return QStringLiteral("全天");
    QStringList parts;
    for (int p : absence.periods)
        parts << QString::number(p + 1);
    return QStringLiteral("第%1节").arg(parts.join(QLatin1Char(',')));
}

bool parseAbsencePeriods(const QString& text, int periodCount, std::vector<int>& periods, QString& error)
{
    periods.clear();
    static const QRegularExpression separators(QStringLiteral("[,，、\\s]+"));
    for (const QString& part : text.split(separators, Qt::SkipEmptyParts)) {
        bool isNumber = false;
        const int period = part.toInt(&isNumber);
        if (!isNumber || period < 1 || period > periodCount) {
            error = QStringLiteral("节次应为 1 到 %1 的数字，用逗号分开，例如 1,2。").arg(periodCount);
            periods.clear();
            return false;
        }
        periods.push_back(period - 1);
    }
    std::sort(periods.begin(), periods.end());
    periods.erase(std::unique(periods.begin(), periods.end()), periods.end());
    return true;
}

QString absenceRefusal(const Absence& absence, const DailyData& data, const DailyIndex& index)
{
    if (absence.teacher.trimmed().isEmpty())
        return QStringLiteral("请选择请假的教师。");
    if (!absence.from.isValid() || !absence.to.isValid())
        return QStringLiteral("请假的日期无效。");
    if (absence.to < absence.from)
        return QStringLiteral("请假的结束日期早于开始日期。");
    if (absence.from.daysTo(absence.to) > 366)
        return QStringLiteral("一次请假最长一年。");
    if (index.teacherId(absence.teacher) < 0)
        return QStringLiteral("已保存的课表中没有教师“%1”。").arg(absence.teacher);
    if (!absence.periods.empty() && absence.periods.back() >= data.timetable.periodCount)
        return QStringLiteral("每天只有 %1 节课。").arg(data.timetable.periodCount);
    return {};
}

Cover coverFor(const DailyData& data, const AffectedLesson& lesson, const Suggestion& suggestion)
{
    const TimetableData& t = data.timetable;
    Cover cover;
    cover.date = lesson.date;
    cover.period = lesson.period;
    cover.className = lesson.classes.value(0);
    cover.absentTeacher = lesson.teacher;
    const int c = t.ClassIndex(cover.className);
    if (c >= 0 && lesson.day >= 0) {
        cover.subject = t.subject(c, lesson.day, lesson.period);
        cover.teacher = t.teacher(c, lesson.day, lesson.period);
    }
    cover.kind = suggestion.kind;
    if (suggestion.kind == CoverKind::Substitute) {
        cover.substitute = suggestion.teacher;
    } else if (suggestion.kind == CoverKind::Swap) {
        cover.swapDate = suggestion.swapDate;
        cover.swapPeriod = suggestion.swapPeriod;
        cover.swapSubject = suggestion.swapSubject;
        cover.swapTeacher = suggestion.swapTeacher;
    }
    return cover;
}

QString coverChoiceText(const Cover& cover)
{
    switch (cover.kind) {
    case CoverKind::Substitute:
        return QStringLiteral("代课：%1").arg(cover.substitute);
    case CoverKind::Swap:
        return QStringLiteral("调课：%1 %2 %3（%4）")
            .arg(cover.swapDate.toString(QStringLiteral("MM-dd")), PeriodName(cover.swapPeriod), cover.swapSubject,
                 cover.swapTeacher);
    case CoverKind::SelfStudy:
        break;
    }
    return QStringLiteral("自习");
}

LessonState lessonState(const DailyData& data, const AffectedLesson& lesson)
{
    LessonState state;
    const bool hasCover = lesson.cover >= 0 && lesson.cover < static_cast<int>(data.covers.size());
    state.arranged = hasCover;
    state.choice = hasCover ? coverChoiceText(data.covers[static_cast<size_t>(lesson.cover)]) : QStringLiteral("待安排");
    if (!lesson.problem.isEmpty())
        state.warning = QStringLiteral("⚠ ") + lesson.problem;
    return state;
}

namespace {
bool isNone(const QString& text)
{
    return text.isEmpty() || text == QLatin1String("H");
}
} // namespace

QString dayCellText(const DayCell& cell)
{
    QString text = isNone(cell.subject) ? QString() : cell.subject;
    if (!isNone(cell.teacher))
        text += QLatin1Char('\n') + cell.teacher;
    switch (cell.change) {
    case DayChange::None:
        break;
    case DayChange::Uncovered:
        text += QStringLiteral("\n（未安排）");
        break;
    case DayChange::Substitute:
        text += QStringLiteral("\n代 %1").arg(cell.termTeacher);
        break;
    case DayChange::SwappedIn:
        text += QStringLiteral("\n调课（原%1）").arg(cell.termSubject);
        break;
    case DayChange::SelfStudy:
        text += QStringLiteral("\n原%1 %2").arg(cell.termSubject, cell.termTeacher);
        break;
    }
    return text;
}

std::uint32_t dayChangeRgb(DayChange change)
{
    switch (change) {
    case DayChange::None:
        break;
    case DayChange::Uncovered:
        return 0xFFAAAAu;
    case DayChange::Substitute:
        return 0xFFDC78u;
    case DayChange::SwappedIn:
        return 0xAAD2FFu;
    case DayChange::SelfStudy:
        return 0xBEEBB4u;
    }
    return 0xFFFFFFu;
}

QString dayChangeName(DayChange change)
{
    switch (change) {
    case DayChange::None:
        break;
    case DayChange::Uncovered:
        return QStringLiteral("未安排");
    case DayChange::Substitute:
        return QStringLiteral("代课");
    case DayChange::SwappedIn:
        return QStringLiteral("调课");
    case DayChange::SelfStudy:
        return QStringLiteral("自习");
    }
    return QStringLiteral("照常");
}

QString suggestionLine(const Suggestion& suggestion)
{
    if (suggestion.kind != CoverKind::Substitute)
        return suggestion.text();
    QString group;
    switch (suggestion.group) {
    case Suggestion::Group::SameSubject:
        group = QStringLiteral("同科目");
        break;
    case Suggestion::Group::SameClass:
        group = QStringLiteral("本班教师");
        break;
    case Suggestion::Group::AnyoneFree:
        group = QStringLiteral("空闲");
        break;
    }
    return QStringLiteral("%1 — %2，本月已代 %3 节，当天 %4 节")
        .arg(suggestion.teacher, group)
        .arg(suggestion.monthCovers)
        .arg(suggestion.dayLessons);
}
