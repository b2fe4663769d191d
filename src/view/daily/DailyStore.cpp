#include "view/daily/DailyStore.h"

#include "store/Database.h"
#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"
#include "store/Transaction.h"
#include "view/TimetableStore.h"

#include <algorithm>

namespace {

const QString kHolidayText = QStringLiteral("放假");
const QString kMakeUpText = QStringLiteral("调休");

QString text(const QString& value)
{
    return value.isEmpty() ? TextRules::emptyMarker() : value;
}

QString shownText(const QString& value)
{
    return TextRules::isEmpty(value) ? QString() : value;
}

QString periodText(int period)
{
    return period >= 0 ? QString::number(period + 1) : TextRules::emptyMarker();
}

int periodOf(const QString& value)
{
    return TextRules::isEmpty(value) ? -1 : TextRules::toInt(value) - 1;
}

QString dateText(const QDate& date)
{
    return date.isValid() ? TermCalendar::dateText(date) : TextRules::emptyMarker();
}

int insertRow(const QString& table, const QStringList& values, const QString& purpose)
{
    const TableSpec& spec = Schema::table(table);
    QStringList columns;
    QStringList marks;
    QVariantList bound;
    for (int i = 0; i < spec.columns.size(); ++i) {
        columns << Schema::quoted(spec.columns[i]);
        marks << QStringLiteral("?");
        bound << values.value(i, TextRules::emptyMarker());
    }
    QSqlQuery query = Database::exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                         .arg(Schema::quoted(table), columns.join(QLatin1Char(',')),
                                              marks.join(QLatin1Char(','))),
                                     bound, purpose);
    return query.lastInsertId().toInt();
}

bool deleteRow(const QString& table, int id, const QString& purpose)
{
    QSqlQuery query = Database::exec(
        QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(Schema::quoted(table), Schema::quoted(Schema::kRowId)), {id},
        purpose);
    return query.numRowsAffected() > 0;
}

} // namespace

Status DailyStore::Load(DailyData& data)
{
    const Status loaded = TimetableStore::LoadSavedTimetable(data.timetable);
    data.calendar = ReadCalendar();
    data.absences = ReadAbsences();
    data.covers = ReadCovers();
    data.dailyLimits = ReadDailyLimits();
    return loaded;
}

TermCalendar DailyStore::ReadCalendar()
{
    TermCalendar calendar;
    if (Database::hasTable(Schema::kTermTable)) {
        TableReader reader(Schema::kTermTable);
        while (reader.next()) { // the last row counts
            const QDate first = TermCalendar::parseDate(reader.text(1));
            if (!first.isValid())
                continue;
            calendar.firstDay = first;
            calendar.weeks = std::max(0, TextRules::toInt(reader.text(2)));
        }
    }
    if (Database::hasTable(Schema::kSpecialDaysTable)) {
        TableReader reader(Schema::kSpecialDaysTable);
        while (reader.next()) {
            const QDate date = TermCalendar::parseDate(reader.text(1));
            if (!date.isValid())
                continue;
            TermCalendar::SpecialDay day;
            if (reader.text(2) == kMakeUpText) {
                day.kind = TermCalendar::SpecialDay::Kind::MakeUp;
                day.weekday = TermCalendar::parseWeekday(reader.text(3));
                if (day.weekday < 0)
                    continue;
            }
            calendar.specialDays[date] = day;
        }
    }
    return calendar;
}

void DailyStore::SaveCalendar(const TermCalendar& calendar)
{
    const QString purpose = QStringLiteral("保存校历");
    Transaction tx(purpose);
    Database::exec(QStringLiteral("DELETE FROM %1").arg(Schema::quoted(Schema::kTermTable)), {}, purpose);
    Database::exec(QStringLiteral("DELETE FROM %1").arg(Schema::quoted(Schema::kSpecialDaysTable)), {}, purpose);
    insertRow(Schema::kTermTable, {dateText(calendar.firstDay), QString::number(calendar.weeks)}, purpose);
    for (const auto& [date, day] : calendar.specialDays) {
        const bool makeUp = day.kind == TermCalendar::SpecialDay::Kind::MakeUp;
        insertRow(Schema::kSpecialDaysTable,
                  {dateText(date), makeUp ? kMakeUpText : kHolidayText,
                   makeUp ? QString::number(day.weekday + 1) : TextRules::emptyMarker()},
                  purpose);
    }
    tx.commit();
}

std::vector<Absence> DailyStore::ReadAbsences()
{
    std::vector<Absence> absences;
    if (!Database::hasTable(Schema::kAbsencesTable))
        return absences;
    TableReader reader(Schema::kAbsencesTable);
    while (reader.next()) {
        Absence absence;
        absence.id = reader.text(0).toInt();
        absence.teacher = reader.text(1);
        absence.from = TermCalendar::parseDate(reader.text(2));
        absence.to = TermCalendar::parseDate(reader.text(3));
        if (TextRules::isEmpty(absence.teacher) || !absence.from.isValid() || !absence.to.isValid())
            continue;
        const QString periods = reader.text(4);
        if (!TextRules::isEmpty(periods))
            for (const QString& part : periods.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const int period = TextRules::toInt(part) - 1;
                if (period >= 0 && period < Plan::kMaxPeriods)
                    absence.periods.push_back(period);
            }
        std::sort(absence.periods.begin(), absence.periods.end());
        absence.periods.erase(std::unique(absence.periods.begin(), absence.periods.end()), absence.periods.end());
        absence.reason = shownText(reader.text(5));
        absences.push_back(absence);
    }
    return absences;
}

int DailyStore::AddAbsence(const Absence& absence)
{
    QStringList periods;
    for (int period : absence.periods)
        periods << QString::number(period + 1);
    const QString purpose = QStringLiteral("登记教师请假");
    Transaction tx(purpose);
    const int id = insertRow(Schema::kAbsencesTable,
                             {text(absence.teacher), dateText(absence.from), dateText(absence.to),
                              text(periods.join(QLatin1Char(','))), text(absence.reason)},
                             purpose);
    tx.commit();
    return id;
}

bool DailyStore::RemoveAbsence(int id)
{
    const QString purpose = QStringLiteral("删除教师请假");
    Transaction tx(purpose);
    const bool removed = deleteRow(Schema::kAbsencesTable, id, purpose);
    tx.commit();
    return removed;
}

std::vector<Cover> DailyStore::ReadCovers()
{
    std::vector<Cover> covers;
    if (!Database::hasTable(Schema::kCoversTable))
        return covers;
    TableReader reader(Schema::kCoversTable);
    while (reader.next()) {
        Cover cover;
        cover.id = reader.text(0).toInt();
        cover.date = TermCalendar::parseDate(reader.text(1));
        cover.period = periodOf(reader.text(2));
        cover.className = reader.text(3);
        if (!cover.date.isValid() || cover.period < 0 || TextRules::isEmpty(cover.className))
            continue;
        if (!coverKindFromText(reader.text(5), cover.kind))
            continue;
        cover.absentTeacher = reader.text(4);
        cover.substitute = reader.text(6);
        cover.subject = reader.text(7);
        cover.teacher = reader.text(8);
        cover.swapDate = TermCalendar::parseDate(reader.text(9));
        cover.swapPeriod = periodOf(reader.text(10));
        cover.swapSubject = reader.text(11);
        cover.swapTeacher = reader.text(12);
        covers.push_back(cover);
    }
    return covers;
}

int DailyStore::SetCover(const Cover& cover)
{
    const QString purpose = QStringLiteral("保存代课安排");
    Transaction tx(purpose);
    Database::exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ? AND %4 = ?")
                       .arg(Schema::quoted(Schema::kCoversTable), Schema::quoted(QStringLiteral("日期")),
                            Schema::quoted(QStringLiteral("节次")), Schema::quoted(QStringLiteral("班级"))),
                   {dateText(cover.date), periodText(cover.period), cover.className}, purpose);
    const bool swap = cover.kind == CoverKind::Swap;
    const int id = insertRow(Schema::kCoversTable,
                             {dateText(cover.date), periodText(cover.period), text(cover.className),
                              text(cover.absentTeacher), coverKindText(cover.kind),
                              cover.kind == CoverKind::Substitute ? text(cover.substitute) : TextRules::emptyMarker(),
                              text(cover.subject), text(cover.teacher),
                              swap ? dateText(cover.swapDate) : TextRules::emptyMarker(),
                              swap ? periodText(cover.swapPeriod) : TextRules::emptyMarker(),
                              swap ? text(cover.swapSubject) : TextRules::emptyMarker(),
                              swap ? text(cover.swapTeacher) : TextRules::emptyMarker()},
                             purpose);
    tx.commit();
    return id;
}

bool DailyStore::RemoveCover(int id)
{
    const QString purpose = QStringLiteral("删除代课安排");
    Transaction tx(purpose);
    const bool removed = deleteRow(Schema::kCoversTable, id, purpose);
    tx.commit();
    return removed;
}

std::map<QString, int> DailyStore::ReadDailyLimits()
{
    std::map<QString, int> limits;
    if (!Database::hasTable(Schema::kTeacherLimitsTable))
        return limits;
    TableReader reader(Schema::kTeacherLimitsTable);
    while (reader.next()) {
        const QString teacher = reader.text(QStringLiteral("教师"));
        const int perDay = TextRules::toInt(reader.text(QStringLiteral("每天最多")));
        if (!TextRules::isEmpty(teacher) && perDay > 0)
            limits[teacher] = perDay;
    }
    return limits;
}
