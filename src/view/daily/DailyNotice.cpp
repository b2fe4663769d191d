#include "view/daily/DailyNotice.h"

#include "base/Naming.h"
#include "store/TextRules.h"
#include "view/daily/DayList.h"
#include "view/daily/DayTimetable.h"

#include <QJsonObject>

namespace {

QString shown(const QString& text)
{
    return TextRules::isEmpty(text) ? QString() : text;
}

QString whenText(const QDate& date, int period)
{
    return QStringLiteral("%1 %2 %3").arg(TermCalendar::dateText(date), DayName(date.dayOfWeek() - 1), PeriodName(period));
}

} // namespace

DailyNotice DailyNotice::build(const DailyData& data, const DailyIndex& index, const QDate& date)
{
    DailyNotice notice;
    notice.date = date;
    const DayList list = buildDayList(data, index, date);
    notice.day = list.day;
    for (const AffectedLesson& lesson : list.lessons) {
        NoticeRow row;
        row.period = lesson.period;
        row.classes = lesson.classes.join(QStringLiteral("、"));
        row.subject = lesson.subject;
        row.absentTeacher = lesson.teacher;
        row.reason = lesson.reason;
        row.problem = lesson.problem;
        if (lesson.cover < 0) {
            row.kind = QStringLiteral("待安排");
        } else {
            const Cover& cover = data.covers[static_cast<size_t>(lesson.cover)];
            row.kind = coverKindText(cover.kind);
            if (cover.kind == CoverKind::Substitute)
                row.byWhom = cover.substitute;
            else if (cover.kind == CoverKind::Swap)
                row.byWhom = QStringLiteral("%1（%2）⇄ %3 %4")
                                 .arg(shown(cover.swapTeacher), shown(cover.swapSubject),
                                      cover.swapDate.toString(QStringLiteral("MM-dd")), PeriodName(cover.swapPeriod));
        }
        notice.rows.push_back(row);
    }
    for (const UnmatchedCover& unmatched : list.unmatched) {
        const Cover& cover = data.covers[static_cast<size_t>(unmatched.cover)];
        NoticeRow row;
        row.period = cover.period;
        row.classes = cover.className;
        row.subject = shown(cover.subject);
        row.absentTeacher = cover.absentTeacher;
        row.kind = coverKindText(cover.kind);
        row.byWhom = cover.kind == CoverKind::Substitute ? cover.substitute : QString();
        row.problem = unmatched.problem;
        notice.rows.push_back(row);
    }
    return notice;
}

QString DailyNotice::title() const
{
    return QStringLiteral("代课单 %1 %2").arg(TermCalendar::dateText(date), DayName(date.dayOfWeek() - 1));
}

QStringList DailyNotice::heads()
{
    return {QStringLiteral("节次"), QStringLiteral("班级（地点）"), QStringLiteral("科目"), QStringLiteral("请假教师"),
            QStringLiteral("安排"), QStringLiteral("代课教师 / 调课"), QStringLiteral("备注")};
}

QStringList DailyNotice::cells(const NoticeRow& row)
{
    QString note = row.reason;
    if (!row.problem.isEmpty())
        note = note.isEmpty() ? QStringLiteral("⚠ ") + row.problem : note + QStringLiteral("；⚠ ") + row.problem;
    return {PeriodName(row.period), row.classes, row.subject, row.absentTeacher, row.kind, row.byWhom, note};
}

std::vector<TeacherChange> teacherChanges(const DailyData& data, const DailyIndex& index, const QString& teacher,
                                          const QDate& from, int days)
{
    std::vector<TeacherChange> changes;
    for (int k = 0; k < days; ++k) {
        const QDate date = from.addDays(k);
        const DayTimetable day(data, index, date);
        if (!day.hasLessons())
            continue;
        for (const DayTimetable::TeacherLesson& lesson : day.teacherDay(teacher)) {
            if (lesson.change == DayChange::None)
                continue;
            TeacherChange change;
            change.date = date;
            change.period = lesson.period;
            change.classes = lesson.classes.join(QStringLiteral("、"));
            change.subject = lesson.subject;
            if (!lesson.away) {
                if (lesson.change == DayChange::Substitute)
                    change.text = QStringLiteral("代课：为%1上 %2 %3").arg(lesson.otherTeacher, change.classes, lesson.subject);
                else
                    change.text = QStringLiteral("调课：这节上 %1 %2（原为%3）")
                                      .arg(change.classes, lesson.subject, shown(lesson.otherSubject));
            } else if (lesson.change == DayChange::Uncovered) {
                change.text = QStringLiteral("请假：%1 %2 待安排").arg(change.classes, lesson.subject);
            } else if (lesson.change == DayChange::Substitute) {
                change.text = QStringLiteral("请假：%1 %2 由%3代课").arg(change.classes, lesson.subject, lesson.otherTeacher);
            } else if (lesson.change == DayChange::SelfStudy) {
                change.text = QStringLiteral("请假：%1 %2 改为自习").arg(change.classes, lesson.subject);
            } else {
                change.text = QStringLiteral("调课：%1 %2 这节改上%3（%4）")
                                  .arg(change.classes, lesson.subject, shown(lesson.otherSubject), shown(lesson.otherTeacher));
            }
            changes.push_back(change);
        }
    }
    return changes;
}

QString teacherChangesText(const QString& teacher, const std::vector<TeacherChange>& changes)
{
    QStringList lines{QStringLiteral("%1的课务变动").arg(teacher)};
    if (changes.empty())
        lines << QStringLiteral("（没有变动）");
    for (const TeacherChange& change : changes)
        lines << QStringLiteral("%1  %2").arg(whenText(change.date, change.period), change.text);
    return lines.join(QLatin1Char('\n'));
}

QJsonArray teacherChangesJson(const std::vector<TeacherChange>& changes)
{
    QJsonArray array;
    for (const TeacherChange& change : changes)
        array.append(QJsonObject{{QStringLiteral("date"), TermCalendar::dateText(change.date)},
                                 {QStringLiteral("period"), change.period + 1},
                                 {QStringLiteral("classes"), change.classes},
                                 {QStringLiteral("subject"), change.subject},
                                 {QStringLiteral("change"), change.text}});
    return array;
}
