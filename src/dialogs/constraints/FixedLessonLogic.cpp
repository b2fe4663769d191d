#include "dialogs/constraints/FixedLessonLogic.h"

#include "dialogs/plan/PlanTables.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/TextRules.h"

#include <QSet>

QString FixedLessonLogic::load()
{
    const QStringList classNames = PlanTables::classNames(PlanTables::readAssignmentRows());
    const PlanTables::Week week = PlanTables::readWeek();
    QString beyond;
    const QStringList slots = PlanTables::readSubjectSlots(&beyond);
    const QString refusal = PlanTables::limitsRefusal(week, beyond);
    if (!refusal.isEmpty())
        return refusal;
    setUp(classNames, week.days, week.periods, slots,
          PlanTables::readListRows(Schema::kFixedTable, QStringLiteral("班级"), 1, 4));
    return QString();
}

void FixedLessonLogic::setUp(const QStringList& classNames, int dayCount, int periodCount,
                             const QStringList& slots, const std::vector<QStringList>& stored)
{
    classes = classNames;
    days.clear();
    for (int d = 1; d <= dayCount; ++d)
        days << QString::number(d);
    periods.clear();
    for (int p = 1; p <= periodCount; ++p)
        periods << QString::number(p);
    subjectSlots = slots;
    subjects.clear();
    for (const QString& name : slots)
        if (!TextRules::isEmpty(name))
            subjects << name;
    classMarks.resize(static_cast<int>(classes.size()));
    dayMarks.resize(static_cast<int>(days.size()));
    periodMarks.resize(static_cast<int>(periods.size()));
    subjectMarks.resize(static_cast<int>(subjects.size()));
    chosenDay.clear();
    chosenPeriod.clear();
    chosenSubject.clear();

    const QSet<QString> knownClasses(classes.begin(), classes.end());
    entries.clear();
    outsideWeek.clear();
    for (const QStringList& row : stored) {
        if (row.size() < 4 || !knownClasses.contains(row[0]) || !slots.contains(row[3]))
            continue;
        const long long day = static_cast<long long>(TextRules::toInt(row[1])) - 1;
        const long long period = static_cast<long long>(TextRules::toInt(row[2])) - 1;
        if (day >= dayCount || period >= periodCount)
            outsideWeek.push_back(row.mid(0, 4));
        else
            entries.push_back(row.mid(0, 4));
    }
}

void FixedLessonLogic::choose(ListMarks& marks, const QStringList& texts, int row, QString& chosen)
{
    marks.choose(row);
    chosen = row >= 0 && row < texts.size() ? texts[row] : QString();
}

void FixedLessonLogic::add()
{
    if (chosenDay.isEmpty() || chosenPeriod.isEmpty() || chosenSubject.isEmpty())
        return;
    for (int i = 0; i < classMarks.size(); ++i) {
        if (!classMarks.isMarked(i))
            continue;
        const QStringList entry{classes[i], chosenDay, chosenPeriod, chosenSubject};
        if (std::find(entries.begin(), entries.end(), entry) == entries.end())
            entries.push_back(entry);
    }
}

void FixedLessonLogic::remove(int row)
{
    if (row >= 0 && row < static_cast<int>(entries.size()))
        entries.erase(entries.begin() + row);
}

void FixedLessonLogic::save() const
{
    std::vector<QStringList> rows = entries;
    rows.insert(rows.end(), outsideWeek.begin(), outsideWeek.end());
    PlanStore::saveFixedLessons(rows);
}
