#include "cli/DailyCli.h"

#include "base/Naming.h"
#include "view/daily/SubstituteFinder.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

const QString kUsage = QStringLiteral("用法: vorlat-cli substitutes --date DATE [--json] [--db PATH]");
constexpr int kShownSubstitutes = 6;
constexpr int kShownSwaps = 2;

QString groupKey(Suggestion::Group group)
{
    switch (group) {
    case Suggestion::Group::SameSubject:
        return QStringLiteral("same-subject");
    case Suggestion::Group::SameClass:
        return QStringLiteral("same-class");
    case Suggestion::Group::AnyoneFree:
        return QStringLiteral("free");
    }
    return {};
}

QJsonObject suggestionJson(const Suggestion& s)
{
    switch (s.kind) {
    case CoverKind::Substitute:
        return {{QStringLiteral("kind"), QStringLiteral("substitute")},
                {QStringLiteral("teacher"), s.teacher},
                {QStringLiteral("group"), groupKey(s.group)},
                {QStringLiteral("monthCovers"), s.monthCovers},
                {QStringLiteral("dayLessons"), s.dayLessons}};
    case CoverKind::Swap:
        return {{QStringLiteral("kind"), QStringLiteral("swap")},
                {QStringLiteral("date"), TermCalendar::dateText(s.swapDate)},
                {QStringLiteral("period"), s.swapPeriod + 1},
                {QStringLiteral("subject"), s.swapSubject},
                {QStringLiteral("teacher"), s.swapTeacher}};
    case CoverKind::SelfStudy:
        break;
    }
    return {{QStringLiteral("kind"), QStringLiteral("self-study")}};
}

QJsonObject coverJson(const Cover& cover)
{
    QJsonObject object{{QStringLiteral("kind"), coverKindText(cover.kind)}};
    if (cover.kind == CoverKind::Substitute)
        object.insert(QStringLiteral("teacher"), cover.substitute);
    if (cover.kind == CoverKind::Swap) {
        object.insert(QStringLiteral("date"), TermCalendar::dateText(cover.swapDate));
        object.insert(QStringLiteral("period"), cover.swapPeriod + 1);
        object.insert(QStringLiteral("subject"), cover.swapSubject);
        object.insert(QStringLiteral("teacher"), cover.swapTeacher);
    }
    return object;
}

QString chosenText(const Cover& cover)
{
    switch (cover.kind) {
    case CoverKind::Substitute:
        return QStringLiteral("代课 %1").arg(cover.substitute);
    case CoverKind::Swap:
        return QStringLiteral("调课 %1 %2（%3）").arg(DailyCli::when(cover.swapDate, cover.swapPeriod), cover.swapSubject,
                                                   cover.swapTeacher);
    case CoverKind::SelfStudy:
        return QStringLiteral("自习");
    }
    return {};
}

} // namespace

int runSubstitutes(const QStringList& args)
{
    Command command({QStringLiteral("substitutes"), {QStringLiteral("--date")}, {QStringLiteral("--json")}, 0, kUsage});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    const QDate date = DailyCli::dateOption(line, QStringLiteral("--date"), kUsage);
    if (!date.isValid())
        return ExitUsage;
    if (!command.openDatabase(true))
        return ExitStoreFailure;
    DailyData data;
    int exitCode = ExitDone;
    if (!DailyCli::load(data, true, exitCode))
        return exitCode;

    const SubstituteFinder finder(data);
    const DayList list = finder.dayList(date);
    std::vector<LessonSuggestions> all;
    for (const AffectedLesson& lesson : list.lessons)
        all.push_back(finder.forLesson(lesson));

    if (line.has(QStringLiteral("--json"))) {
        QJsonArray lessons;
        for (const LessonSuggestions& entry : all) {
            const AffectedLesson& l = entry.lesson;
            QJsonArray suggestions;
            for (const Suggestion& s : entry.suggestions)
                suggestions.append(suggestionJson(s));
            lessons.append(QJsonObject{
                {QStringLiteral("date"), TermCalendar::dateText(l.date)},
                {QStringLiteral("day"), DayName(l.day)},
                {QStringLiteral("period"), l.period + 1},
                {QStringLiteral("classes"), QJsonArray::fromStringList(l.classes)},
                {QStringLiteral("subject"), l.subject},
                {QStringLiteral("absentTeacher"), l.teacher},
                {QStringLiteral("reason"), l.reason},
                {QStringLiteral("chosen"), l.cover < 0 ? QJsonValue() : QJsonValue(coverJson(data.covers[size_t(l.cover)]))},
                {QStringLiteral("problem"), l.problem.isEmpty() ? QJsonValue() : QJsonValue(l.problem)},
                {QStringLiteral("suggestions"), suggestions}});
        }
        QJsonArray unmatched;
        for (const UnmatchedCover& u : list.unmatched) {
            const Cover& cover = data.covers[size_t(u.cover)];
            QJsonObject object = coverJson(cover);
            object.insert(QStringLiteral("period"), cover.period + 1);
            object.insert(QStringLiteral("class"), cover.className);
            object.insert(QStringLiteral("absentTeacher"), cover.absentTeacher);
            object.insert(QStringLiteral("problem"), u.problem);
            unmatched.append(object);
        }
        DailyCli::printJson(QJsonObject{{QStringLiteral("date"), TermCalendar::dateText(date)},
                                        {QStringLiteral("day"), list.day < 0 ? QJsonValue() : QJsonValue(DayName(list.day))},
                                        {QStringLiteral("lessons"), lessons},
                                        {QStringLiteral("unmatched"), unmatched},
                                        {QStringLiteral("notes"), QJsonArray::fromStringList(list.absenceNotes)}});
        return ExitDone;
    }

    if (list.day < 0) {
        printOut(QStringLiteral("%1 %2 没有课。").arg(TermCalendar::dateText(date), DayName(date.dayOfWeek() - 1)));
        return ExitDone;
    }
    printOut(QStringLiteral("%1 %2（上%3的课）：%4 节课受请假影响")
                 .arg(TermCalendar::dateText(date), DayName(date.dayOfWeek() - 1), DayName(list.day))
                 .arg(all.size()));
    for (const LessonSuggestions& entry : all) {
        const AffectedLesson& l = entry.lesson;
        QString head = QStringLiteral("%1  %2  %3  请假：%4").arg(PeriodName(l.period), l.classes.join(QStringLiteral("、")),
                                                               l.subject, l.teacher);
        if (!l.reason.isEmpty())
            head += QStringLiteral("（%1）").arg(l.reason);
        head += l.cover < 0 ? QStringLiteral("  未安排") : QStringLiteral("  已安排：") + chosenText(data.covers[size_t(l.cover)]);
        printOut(head);
        if (!l.problem.isEmpty())
            printOut(QStringLiteral("    ⚠ 这项安排已不适用：%1").arg(l.problem));
        QStringList substitutes;
        QStringList swaps;
        int substituteCount = 0;
        int swapCount = 0;
        for (const Suggestion& s : entry.suggestions) {
            if (s.kind == CoverKind::Substitute && substituteCount++ < kShownSubstitutes)
                substitutes << s.text();
            else if (s.kind == CoverKind::Swap && swapCount++ < kShownSwaps)
                swaps << s.text();
        }
        if (substituteCount > kShownSubstitutes)
            substitutes << QStringLiteral("…（共 %1 位）").arg(substituteCount);
        printOut(QStringLiteral("    代课：%1").arg(substitutes.isEmpty() ? QStringLiteral("没有空闲的教师") : substitutes.join(QStringLiteral("、"))));
        for (const QString& swap : swaps)
            printOut(QStringLiteral("    %1").arg(swap));
        if (swapCount > kShownSwaps)
            printOut(QStringLiteral("    …（共 %1 种调课）").arg(swapCount));
        printOut(QStringLiteral("    或：自习"));
    }
    for (const UnmatchedCover& u : list.unmatched) {
        const Cover& cover = data.covers[size_t(u.cover)];
        printOut(QStringLiteral("⚠ %1  %2  %3 的安排（%4）已不适用：%5")
                     .arg(PeriodName(cover.period), cover.className, cover.absentTeacher, chosenText(cover), u.problem));
    }
    for (const QString& note : list.absenceNotes)
        printOut(QStringLiteral("⚠ %1").arg(note));
    return ExitDone;
}
