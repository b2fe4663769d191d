#include "dialogs/plan/ListMarks.h"

QString ListMarks::toggled(const QString& mark)
{
    if (mark.isEmpty())
        return check();
    if (mark == check())
        return QString();
    return mark;
}

bool ListMarks::anyChecked() const
{
    return marks.contains(check());
}

int ListMarks::markedCount() const
{
    int count = 0;
    for (const QString& mark : marks)
        count += mark.isEmpty() ? 0 : 1;
    return count;
}

void ListMarks::toggle(int row)
{
    if (row >= 0 && row < size())
        marks[row] = toggled(marks[row]);
}

void ListMarks::choose(int row)
{
    for (int i = 0; i < size(); ++i)
        if (i != row)
            marks[i].clear();
    toggle(row);
}

void ListMarks::clear()
{
    for (QString& mark : marks)
        mark.clear();
}

QString ListMarks::headerClicked()
{
    if (selectAllState == 0) {
        for (QString& mark : marks)
            mark = check();
        selectAllState = 1;
    } else {
        clear();
        selectAllState = 0;
    }
    return headerText();
}
