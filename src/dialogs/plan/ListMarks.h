#pragma once

#include <QString>
#include <QStringList>

// The mark column of a dialog list: "✔" or nothing. A row counts as marked
// when its mark is not empty; a click toggles only "✔" and the empty text, so
// any other text a row may hold stays as it is.
class ListMarks
{
public:
    static QString check() { return QStringLiteral("\u2714"); }
    static QString selectAllHeader() { return QStringLiteral("全选▼"); }
    static QString selectNoneHeader() { return QStringLiteral("全不选▼"); }
    // empty -> "✔", "✔" -> empty, anything else unchanged.
    static QString toggled(const QString& mark);

    QStringList marks;
    // 0: the header offers "全选▼"; 1: it offers "全不选▼".
    int selectAllState = 0;

    void resize(int rows) { marks = QStringList(rows); selectAllState = 0; }
    int size() const { return static_cast<int>(marks.size()); }
    bool isMarked(int row) const { return row >= 0 && row < size() && !marks[row].isEmpty(); }
    // True when some row holds exactly "✔".
    bool anyChecked() const;
    int markedCount() const;

    // A click on a row of a multi-choice list.
    void toggle(int row);
    // A click on a row of a single-choice list: every other row loses its
    // mark, then the clicked row toggles. row -1 (below the last row) clears all.
    void choose(int row);
    void clear();
    // A click on the header of the mark column: all rows marked (state 0) or
    // all cleared (state 1). Returns the header text to show.
    QString headerClicked();
    QString headerText() const { return selectAllState == 0 ? selectAllHeader() : selectNoneHeader(); }
};
