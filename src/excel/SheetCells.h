#pragma once

#include <QString>
#include <QStringList>

// Columns A..Z of the first rows of a worksheet, as text: 26 cells per sheet
// row, row-major, entry 26r + c for sheet row r + 1 and column c + 1.
//
// How a cell becomes text:
//   a string            the string, unchanged
//   a number            formatted with "%0.0f" (2301.6 gives "2302")
//   an empty cell       "H"
//   anything else       the empty text (a truth value, an error value)
class SheetCells
{
public:
    static constexpr int kColumns = 26;

    // Sheet rows 1 .. rowCount, every cell empty ("H").
    void resize(int rowCount);
    int rowCount() const { return static_cast<int>(cellTable.size() / kColumns); }

    const QString& cell(int r, int c) const { return cellTable[r * kColumns + c]; }

    // Setters for sheet row r + 1, column c + 1; cells outside A..Z or beyond
    // the rows are ignored.
    void setString(int r, int c, const QString& text);
    void setNumber(int r, int c, double value);
    void setOther(int r, int c);

    // The text of a number cell.
    static QString NumberText(double value);

    QStringList cellTable;

private:
    bool contains(int r, int c) const { return r >= 0 && r < rowCount() && c >= 0 && c < kColumns; }
};
