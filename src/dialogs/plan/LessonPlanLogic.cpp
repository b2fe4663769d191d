#include "dialogs/plan/LessonPlanLogic.h"

#include "dialogs/plan/PlanTables.h"
#include "base/Naming.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

#include <algorithm>
#include <climits>

int LessonPlanLogic::GradeNumber(const QString& gradeName)
{
    return GradeIndex(gradeName) + 1;
}

QString LessonPlanLogic::lessonsMessage(int lessonsPerWeek)
{
    return QStringLiteral("根据周工作计划，周课时量应为 ") + QStringLiteral("%1 节").arg(lessonsPerWeek);
}

int LessonPlanLogic::lessonsPerWeek(int days, int periods)
{
    const long long lessons = static_cast<long long>(days) * periods;
    if (days <= 0 || periods <= 0)
        return 0;
    return lessons > INT_MAX ? INT_MAX : static_cast<int>(lessons);
}

void LessonPlanLogic::load()
{
    subjects = PlanTables::leadingSubjects(PlanTables::readSubjectSlots());
    const PlanTables::Week week = PlanTables::readWeek();
    maxCount = week.found ? lessonsPerWeek(week.days, week.periods) : 0;

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

long long LessonPlanLogic::total(int row) const
{
    // 24 counts of at most 2^31 each: a long long cannot overflow.
    long long sum = 0;
    const QStringList& cells = rows[static_cast<size_t>(row)];
    for (int c = 2; c < cells.size(); ++c)
        sum += TextRules::toInt(cells[c]);
    return sum;
}

static QString shown(long long value)
{
    return value == 0 ? QString() : QString::number(value);
}

bool LessonPlanLogic::acceptsCount(const QString& text) const
{
    if (text.size() > 10)
        return false;
    long long value = 0;
    for (const QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
        value = value * 10 + (ch.unicode() - u'0');
    }
    return value <= maxCount;
}

void LessonPlanLogic::refreshTotal(int row)
{
    rows[static_cast<size_t>(row)][0] = shown(total(row));
}

bool LessonPlanLogic::setCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 2 || column >= columnCount()
        || !acceptsCount(text))
        return false;
    rows[static_cast<size_t>(row)][column] = text;
    refreshTotal(row);
    return true;
}

QString LessonPlanLogic::totalWhileTyping(int row, int column, const QString& editorText) const
{
    return shown(total(row) + TextRules::toInt(editorText) - static_cast<long long>(TextRules::toInt(cell(row, column))));
}

void LessonPlanLogic::clearAll()
{
    for (QStringList& row : rows)
        for (int c = 0; c < row.size(); ++c)
            if (c != 1)
                row[c].clear();
}

std::vector<int> LessonPlanLogic::copyTargets(int from) const
{
    std::vector<int> targets;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        if (r != from && canEdit(r, 2))
            targets.push_back(r);
    return targets;
}

int LessonPlanLogic::copyCounts(int from, const std::vector<int>& to)
{
    if (from < 0 || from >= static_cast<int>(rows.size()))
        return 0;
    int copied = 0;
    for (const int r : to) {
        if (r == from || !canEdit(r, 2))
            continue;
        for (int c = 2; c < columnCount(); ++c)
            rows[static_cast<size_t>(r)][c] = cell(from, c);
        refreshTotal(r);
        ++copied;
    }
    return copied;
}

std::pair<int, int> LessonPlanLogic::nextCell(int row, int column, Step step) const
{
    const int rowCount = static_cast<int>(rows.size());
    auto editableRow = [&](int from, int direction) {
        for (int r = from; r >= 0 && r < rowCount; r += direction)
            if (canEdit(r, 2))
                return r;
        return -1;
    };
    const int firstColumn = 2;
    const int lastColumn = columnCount() - 1;
    if (lastColumn < firstColumn)
        return {-1, -1};
    switch (step) {
    case Step::Down:
    case Step::Up: {
        const int r = editableRow(row + (step == Step::Down ? 1 : -1), step == Step::Down ? 1 : -1);
        return r < 0 ? std::pair{-1, -1} : std::pair{r, std::clamp(column, firstColumn, lastColumn)};
    }
    case Step::Right:
        if (canEdit(row, column + 1))
            return {row, column + 1};
        if (const int r = editableRow(row + 1, 1); r >= 0)
            return {r, firstColumn};
        return {-1, -1};
    case Step::Left:
        if (column - 1 >= firstColumn && canEdit(row, column - 1))
            return {row, column - 1};
        if (const int r = editableRow(row - 1, -1); r >= 0)
            return {r, lastColumn};
        return {-1, -1};
    }
    return {-1, -1};
}

QString LessonPlanLogic::check(int lessonsPerWeek) const
{
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        if (!gradePresent[static_cast<size_t>(r)])
            continue;
        for (int c = 2; c < columnCount(); ++c) {
            const int count = TextRules::toInt(cell(r, c));
            if (count < 0 || count > lessonsPerWeek)
                return QStringLiteral("%1的“%2”为 %3 节，每个科目的周课时应在 0 到 %4 节之间")
                    .arg(cell(r, 1), subjects[c - 2])
                    .arg(count)
                    .arg(lessonsPerWeek);
        }
        if (total(r) != lessonsPerWeek)
            return lessonsMessage(lessonsPerWeek);
    }
    return QString();
}

QString LessonPlanLogic::save() const
{
    const PlanTables::Week week = PlanTables::readWeek();
    const QString refusal = check(lessonsPerWeek(week.days, week.periods));
    if (!refusal.isEmpty())
        return refusal;
    Transaction transaction(QStringLiteral("保存周课时计划"));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        std::vector<int> counts;
        for (int c = 2; c < columnCount(); ++c)
            counts.push_back(TextRules::toInt(cell(r, c)));
        // A grade not in use keeps what it holds; a total beyond the int
        // range (old data) is written as the largest one.
        const long long sum = total(r);
        PlanStore::saveWeeklyPlanRow(r, sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum),
                                     counts);
    }
    transaction.commit();
    return QString();
}
