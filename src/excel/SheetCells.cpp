#include "excel/SheetCells.h"

#include "excel/ColumnName.h"
#include "store/TextRules.h"

#include <algorithm>
#include <cstdio>

namespace {

const QString& emptyCell()
{
    static const QString marker = TextRules::emptyMarker();
    return marker;
}

} // namespace

void SheetCells::resize(int rowCount)
{
    m_rowCount = std::clamp(rowCount, 0, kMaxRows);
    m_rows.erase(m_rows.lower_bound(m_rowCount), m_rows.end());
}

const QString& SheetCells::cell(int r, int c) const
{
    const auto row = m_rows.find(r);
    if (row == m_rows.end() || c < 0 || c >= kColumns)
        return emptyCell();
    return row->second[c];
}

QString& SheetCells::slot(int r, int c)
{
    auto row = m_rows.find(r);
    if (row == m_rows.end()) {
        if (static_cast<int>(m_rows.size()) >= kMaxUsedRows)
            throw SheetLimitError(QStringLiteral("工作表中有内容的行超过 %1 行的上限").arg(kMaxUsedRows));
        row = m_rows.emplace(r, QStringList(kColumns, emptyCell())).first;
    }
    return row->second[c];
}

void SheetCells::clipCellText(QString& text)
{
    if (text.size() > kMaxCellChars)
        text.truncate(kMaxCellChars + 1);
}

QString SheetCells::TooLongReason(int r, int c)
{
    return QStringLiteral("单元格 %1 的文字超过 %2 个字符的上限").arg(CellName(c, r + 1)).arg(kMaxCellChars);
}

void SheetCells::setString(int r, int c, const QString& text)
{
    if (!contains(r, c))
        return;
    QString& cell = slot(r, c);
    cell = text.size() > kMaxCellChars ? text.left(kMaxCellChars + 1) : text;
}

void SheetCells::setNumber(int r, int c, double value)
{
    if (contains(r, c))
        slot(r, c) = NumberText(value);
}

void SheetCells::setOther(int r, int c)
{
    if (contains(r, c))
        slot(r, c) = QString();
}

std::vector<int> SheetCells::usedRows() const
{
    std::vector<int> rows;
    rows.reserve(m_rows.size());
    for (const auto& row : m_rows)
        rows.push_back(row.first);
    return rows;
}

QStringList SheetCells::table() const
{
    QStringList out;
    out.reserve(static_cast<qsizetype>(m_rowCount) * kColumns);
    for (int r = 0; r < m_rowCount; ++r)
        for (int c = 0; c < kColumns; ++c)
            out << cell(r, c);
    return out;
}

SheetCells SheetCells::fromTable(const QStringList& cellTable)
{
    SheetCells cells;
    cells.resize(static_cast<int>(cellTable.size() / kColumns));
    for (int r = 0; r < cells.rowCount(); ++r)
        for (int c = 0; c < kColumns; ++c) {
            const QString& text = cellTable[r * kColumns + c];
            if (!TextRules::isEmpty(text))
                cells.slot(r, c) = text;
        }
    return cells;
}

QString SheetCells::NumberText(double value)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%0.0f", value);
    return QString::fromLatin1(buffer);
}
