#include "cli/DailyCli.h"
#include "view/daily/DailyEdit.h"

#include "base/Naming.h"
#include "view/daily/DailyStore.h"
#include "view/daily/SubstituteFinder.h"

namespace {

const QString kUsage = QStringLiteral(
    "用法: vorlat-cli cover --date DATE --period N --class NAME (--by NAME | --swap [DATE:]N | --self-study | --clear) "
    "[--db PATH]");

} // namespace

int runCover(const QStringList& args)
{
    Command command({QStringLiteral("cover"),
                     {QStringLiteral("--date"), QStringLiteral("--period"), QStringLiteral("--class"),
                      QStringLiteral("--by"), QStringLiteral("--swap")},
                     {QStringLiteral("--self-study"), QStringLiteral("--clear")},
                     0,
                     kUsage});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    const QDate date = DailyCli::dateOption(line, QStringLiteral("--date"), kUsage);
    if (!date.isValid())
        return ExitUsage;
    bool isNumber = false;
    const int period = line.value(QStringLiteral("--period")).toInt(&isNumber) - 1;
    const QString className = line.value(QStringLiteral("--class"));
    const int choices = int(line.has(QStringLiteral("--by"))) + int(line.has(QStringLiteral("--swap")))
        + int(line.has(QStringLiteral("--self-study"))) + int(line.has(QStringLiteral("--clear")));
    if (!isNumber || period < 0 || period >= Plan::kMaxPeriods || className.isEmpty() || choices != 1) {
        printErr(kUsage);
        return ExitUsage;
    }
    QDate swapDate = date;
    int swapPeriod = -1;
    if (line.has(QStringLiteral("--swap"))) {
        const QString value = line.value(QStringLiteral("--swap"));
        const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
        if (colon > 0)
            swapDate = TermCalendar::parseDate(value.left(colon));
        swapPeriod = value.mid(colon + 1).toInt(&isNumber) - 1;
        if (!swapDate.isValid() || !isNumber || swapPeriod < 0) {
            printErr(QStringLiteral("--swap 应写作 [YYYY-MM-DD:]节次，例如 2026-03-10:2。"));
            return ExitUsage;
        }
    }

    if (!command.openDatabase())
        return ExitStoreFailure;
    DailyData data;
    int exitCode = ExitDone;
    if (!DailyCli::load(data, true, exitCode))
        return exitCode;
    const SubstituteFinder finder(data);
    const DayList list = finder.dayList(date);
    const AffectedLesson* lesson = list.find(period, className);

    if (line.has(QStringLiteral("--clear"))) {
        for (const Cover& cover : data.covers)
            if (cover.date == date && cover.period == period
                && (cover.className == className || (lesson && lesson->classes.contains(cover.className)))) {
                DailyStore::RemoveCover(cover.id);
                printOut(QStringLiteral("已取消 %1 %2 的安排。").arg(DailyCli::when(date, period), cover.className));
                return ExitDone;
            }
        return report(Failure::refused(QStringLiteral("%1 %2 没有安排。").arg(DailyCli::when(date, period), className)));
    }
    if (!lesson)
        return report(Failure::refused(
            QStringLiteral("%1 %2 没有受请假影响的课。").arg(DailyCli::when(date, period), className)));

    const LessonSuggestions offered = finder.forLesson(*lesson);
    Cover cover;
    QString done;
    if (line.has(QStringLiteral("--by"))) {
        const QString by = line.value(QStringLiteral("--by")).trimmed();
        const auto substitute = std::find_if(offered.suggestions.begin(), offered.suggestions.end(), [&](const Suggestion& s) {
            return s.kind == CoverKind::Substitute && s.teacher == by;
        });
        if (substitute == offered.suggestions.end())
            return report(Failure::refused(QStringLiteral("%1 不能代这节课：不在课表中、这节有课、请假、已在代课，或已到每天课时上限。").arg(by)));
        cover = coverFor(data, *lesson, *substitute);
        done = QStringLiteral("%1 代 %2 的课").arg(by, lesson->teacher);
    } else if (line.has(QStringLiteral("--swap"))) {
        const auto swap = std::find_if(offered.suggestions.begin(), offered.suggestions.end(), [&](const Suggestion& s) {
            return s.kind == CoverKind::Swap && s.swapDate == swapDate && s.swapPeriod == swapPeriod;
        });
        if (swap == offered.suggestions.end())
            return report(Failure::refused(QStringLiteral("不能与 %1 的课调换：那节不是本班另一位在校且这节空闲的教师的课，或%2那时不空闲。")
                                               .arg(DailyCli::when(swapDate, swapPeriod), lesson->teacher)));
        cover = coverFor(data, *lesson, *swap);
        done = QStringLiteral("与 %1 %2（%3）调课").arg(DailyCli::when(swap->swapDate, swap->swapPeriod), swap->swapSubject,
                                                     swap->swapTeacher);
    } else {
        Suggestion selfStudy;
        selfStudy.kind = CoverKind::SelfStudy;
        cover = coverFor(data, *lesson, selfStudy);
        done = QStringLiteral("自习");
    }
    DailyStore::SetCover(cover);
    printOut(QStringLiteral("%1 %2 %3：%4。").arg(DailyCli::when(date, period), lesson->classes.join(QStringLiteral("、")),
                                                 lesson->subject, done));
    return ExitDone;
}
