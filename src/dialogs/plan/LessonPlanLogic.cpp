#include "dialogs/plan/LessonPlanLogic.h"

#include "dialogs/plan/PlanTables.h"
#include "base/Naming.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

int LessonPlanLogic::GradeNumber(const QString& gradeName)
{
    return GradeIndex(gradeName) + 1;
}

QString LessonPlanLogic::lessonsMessage(int lessonsPerWeek)
{
    return QStringLiteral("根据周工作计划，周课时量应为 ") + QStringLiteral("%1 节").arg(lessonsPerWeek);
}

void LessonPlanLogic::load()
{
    subjects = PlanTables::leadingSubjects(PlanTables::readSubjectSlots());

    gradePresent.fill(false);
    {
        TableReader reader(Schema::kAssignmentsTable);
        while (reader.next()) {
            const QString grade = reader.text(QStringLiteral("年级"));
            if (TextRules::isEmpty(grade))
                break;
            const int g = GradeNumber(grade);
            if (g != 0)
                gradePresent[static_cast<size_t>(g - 1)] = true;
        }
    }

    rows.clear();
    TableReader reader(Schema::kWeeklyPlanTable);
    while (reader.next() && static_cast<int>(rows.size()) < kGrades) {
        QStringList row;
        for (int c = 0; c < columnCount(); ++c) {
            const QString text = reader.text(c + 1);
            row << (text == QLatin1String("0") ? QString() : text);
        }
        rows.push_back(row);
    }
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        refreshTotal(r);
}

bool LessonPlanLogic::canEdit(int row, int column) const
{
    return row >= 0 && row < static_cast<int>(rows.size()) && row < kGrades && gradePresent[static_cast<size_t>(row)]
        && column >= 2 && column < columnCount();
}

int LessonPlanLogic::total(int row) const
{
    int sum = 0;
    const QStringList& cells = rows[static_cast<size_t>(row)];
    for (int c = 2; c < cells.size(); ++c)
        sum += TextRules::toInt(cells[c]);
    return sum;
}

static QString shown(int value)
{
    return value == 0 ? QString() : TextRules::fromInt(value);
}

void LessonPlanLogic::refreshTotal(int row)
{
    rows[static_cast<size_t>(row)][0] = shown(total(row));
}

void LessonPlanLogic::setCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 2 || column >= columnCount())
        return;
    rows[static_cast<size_t>(row)][column] = text;
    refreshTotal(row);
}

QString LessonPlanLogic::totalWhileTyping(int row, int column, const QString& editorText) const
{
    return shown(total(row) + TextRules::toInt(editorText) - TextRules::toInt(cell(row, column)));
}

void LessonPlanLogic::clearAll()
{
    for (QStringList& row : rows)
        for (int c = 0; c < row.size(); ++c)
            if (c != 1)
                row[c].clear();
}

QString LessonPlanLogic::check(int lessonsPerWeek) const
{
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        if (gradePresent[static_cast<size_t>(r)] && TextRules::toInt(cell(r, 0)) != lessonsPerWeek)
            return lessonsMessage(lessonsPerWeek);
    return QString();
}

QString LessonPlanLogic::save() const
{
    const PlanTables::Week week = PlanTables::readWeek();
    const QString refusal = check(week.days * week.periods);
    if (!refusal.isEmpty())
        return refusal;
    Transaction transaction(QStringLiteral("保存周课时计划"));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        std::vector<int> counts;
        for (int c = 2; c < columnCount(); ++c)
            counts.push_back(TextRules::toInt(cell(r, c)));
        PlanStore::saveWeeklyPlanRow(r, TextRules::toInt(cell(r, 0)), counts);
    }
    transaction.commit();
    return QString();
}
