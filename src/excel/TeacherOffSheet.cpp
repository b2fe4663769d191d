#include "excel/TeacherOffSheet.h"

#include "base/PlanVocabulary.h"
#include "excel/ColumnName.h"

#include <QRegularExpression>

namespace {

// A cell the sheet leaves empty reads as the empty marker.
QString textOf(const SheetCells& cells, int r, int c)
{
    const QString text = cells.cell(r, c).trimmed();
    return Plan::isEmpty(text) ? QString() : text;
}

// The cell's marks as 节次 texts; false when the text is not one of them.
bool marksOf(const QString& text, QStringList& marks)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return true;
    if (t == QStringLiteral("全天") || t == QStringLiteral("0")) {
        marks << RuleRows::wholeDay();
        return true;
    }
    if (t == RuleRows::morning() || t == RuleRows::afternoon()) {
        marks << t;
        return true;
    }
    static const QRegularExpression separators(QStringLiteral("[,，、\\s]+"));
    for (const QString& part : t.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const int period = part.toInt(&ok);
        if (!ok || period < 1 || period > Plan::kMaxPeriods || part.startsWith(QLatin1Char('+')))
            return false;
        if (!marks.contains(part))
            marks << QString::number(period);
    }
    return true;
}

} // namespace

TeacherOffSheet TeacherOffSheet::Parse(const SheetCells& cells, const QStringList& teachers)
{
    TeacherOffSheet sheet;
    if (cells.rowCount() == 0)
        return sheet;
    // Day columns by their headers.
    std::vector<std::pair<int, int>> dayColumns; // column, day
    QStringList otherHeaders;
    for (int c = 1; c < SheetCells::kColumns; ++c) {
        const QString header = textOf(cells, 0, c);
        if (header.isEmpty())
            continue;
        const int day = RuleRows::dayFromText(header, Plan::kMaxDays);
        if (day < 0 || header.size() > SheetCells::kMaxCellChars)
            otherHeaders << QStringLiteral("%1 列“%2”").arg(ColumnName(c), header.left(SheetCells::kMaxCellChars));
        else
            dayColumns.emplace_back(c, day);
    }
    sheet.isTimesOff = !dayColumns.empty();
    if (!sheet.isTimesOff)
        return sheet;
    if (!otherHeaders.isEmpty())
        sheet.notes << QStringLiteral("注意：第二个工作表（教师不排课）第 1 行的 %1 不是星期几，这些列没有导入。")
                           .arg(otherHeaders.join(QStringLiteral("、")));
    for (const int r : cells.usedRows()) {
        if (r == 0)
            continue;
        const QString teacher = textOf(cells, r, 0);
        bool blank = teacher.isEmpty();
        for (const auto& [c, day] : dayColumns)
            blank = blank && textOf(cells, r, c).isEmpty();
        if (blank)
            continue;
        const auto skip = [&](const QString& why) {
            sheet.notes << QStringLiteral("注意：第二个工作表（教师不排课）第 %1 行（%2）%3，这一行没有导入。")
                               .arg(r + 1)
                               .arg(teacher.isEmpty() ? QStringLiteral("没有教师") : teacher.left(SheetCells::kMaxCellChars), why);
        };
        if (teacher.size() > SheetCells::kMaxCellChars) {
            skip(QStringLiteral("A 列的教师姓名超过 %1 个字").arg(SheetCells::kMaxCellChars));
            continue;
        }
        if (teacher.isEmpty() || !teachers.contains(teacher)) {
            skip(teacher.isEmpty() ? QStringLiteral("A 列没有教师姓名") : QStringLiteral("的教师不在教师分工中"));
            continue;
        }
        std::vector<RuleRows::TeacherOffRow> found;
        QString why;
        for (const auto& [c, day] : dayColumns) {
            QStringList marks;
            const QString text = textOf(cells, r, c);
            if (cells.tooLong(r, c)) {
                why = QStringLiteral("%1 列的内容超过 %2 个字").arg(ColumnName(c)).arg(SheetCells::kMaxCellChars);
                break;
            }
            if (!marksOf(text, marks)) {
                why = QStringLiteral("%1 列“%2”不是全天、上午、下午或 1 到 9 的节次").arg(ColumnName(c), text.trimmed());
                break;
            }
            for (const QString& mark : marks)
                found.push_back({teacher, QString::number(day + 1), mark});
        }
        if (!why.isEmpty()) {
            skip(why);
            continue;
        }
        sheet.rows.insert(sheet.rows.end(), found.begin(), found.end());
    }
    return sheet;
}
