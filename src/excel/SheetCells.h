#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <stdexcept>
#include <vector>

// Columns A..Z of the first rows of a worksheet, as text: 26 cells per sheet
// row; cell(r, c) is sheet row r + 1, column c + 1.
//
// How a cell becomes text:
//   a string            the string, unchanged
//   a number            formatted with "%0.0f" (2301.6 gives "2302")
//   an empty cell       "H"
//   anything else       the empty text (a truth value, an error value)
//
// Only rows that hold something are stored, so memory follows the cells a
// file really has, not the number of its last row. A sheet may hold at most
// kMaxUsedRows such rows; the setters throw SheetLimitError beyond that. A
// cell longer than kMaxCellChars characters is kept as its first
// kMaxCellChars + 1 characters, which marks it as too long (tooLong()): the
// reading goes on, and whoever uses the cell refuses it, so that a long note
// beside the table does not cost the whole sheet.
class SheetCells
{
public:
    static constexpr int kColumns = 26;
    static constexpr int kMaxRows = 1048576;   // rows a spreadsheet can have
    static constexpr int kMaxUsedRows = 10000; // rows holding anything
    static constexpr int kMaxCellChars = 200;

    // Sheet rows 1 .. rowCount, every cell empty ("H").
    void resize(int rowCount);
    int rowCount() const { return m_rowCount; }

    const QString& cell(int r, int c) const;

    // Setters for sheet row r + 1, column c + 1; cells outside A..Z or beyond
    // the rows are ignored.
    void setString(int r, int c, const QString& text);
    void setNumber(int r, int c, double value);
    void setOther(int r, int c);

    // Indexes (0-based) of the rows that hold anything, ascending.
    std::vector<int> usedRows() const;

    // The cells as one list of 26 texts per row (rows 1 .. rowCount), and the
    // other way round. For small sheets: tests and callers that want a flat table.
    QStringList table() const;
    static SheetCells fromTable(const QStringList& cellTable);

    // The text of a number cell.
    static QString NumberText(double value);

    // Cuts text that is longer than a cell may be to kMaxCellChars + 1
    // characters, the length that marks it as too long.
    static void clipCellText(QString& text);
    // Whether the cell at sheet row r + 1, column c + 1 was longer than a cell may be.
    bool tooLong(int r, int c) const { return cell(r, c).size() > kMaxCellChars; }
    // "单元格 C2 的文字超过 200 个字符的上限"
    static QString TooLongReason(int r, int c);

private:
    bool contains(int r, int c) const { return r >= 0 && r < m_rowCount && c >= 0 && c < kColumns; }
    QString& slot(int r, int c);

    int m_rowCount = 0;
    std::map<int, QStringList> m_rows;
};

// A file that goes beyond what the reader accepts; what() is not used, the
// message names the limit in the user's words.
class SheetLimitError : public std::runtime_error
{
public:
    explicit SheetLimitError(const QString& message) : std::runtime_error("sheet limit"), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
