#pragma once

#include <QString>
#include <QStringList>

// Finding a row of a long list by typing part of a name ("晓燕", "3班"):
// the keystrokes typed in quick succession make up one search text, and the
// first name that contains it, from the current row on and round the end,
// is the row to go to. Letters match in either case, and brackets, other
// punctuation and spaces are passed over on both sides, so "3班" finds
// "七(3)班" and "高一3班".
class NameSearch
{
public:
    // Adds what was typed; `fresh` starts a new search text (after a pause).
    void type(const QString& text, bool fresh);
    const QString& text() const { return m_text; }
    // The row to go to, or -1 when no name contains the search text. A longer
    // text first tries the current row again, so it stays on a row that still
    // matches; a repeated single key moves on to the next match.
    int find(const QStringList& names, int current) const;
    // The first name from row `first` on (round the end) that contains the
    // search text, or -1: a find box keeps to its row while the text grows
    // (first = the row found) and moves on with Enter (the row after it).
    int findFrom(const QStringList& names, int first) const;

private:
    QString m_text;
    bool m_repeat = false;
};
