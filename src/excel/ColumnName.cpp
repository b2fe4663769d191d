#include "excel/ColumnName.h"

QString ColumnLetter(int n)
{
    if (n < 1 || n > 26)
        return QString();
    return QString(QChar(u'A' + (n - 1)));
}

QString ColumnName(int n)
{
    if (n < 0)
        return QString();
    if (n < 26 * 27) // "A" .. "ZZ"
        return ColumnLetter(n / 26) + ColumnLetter(n % 26 + 1);
    return ColumnName(n / 26 - 1) + ColumnLetter(n % 26 + 1); // "AAA" and beyond
}

QString CellName(int column, int row)
{
    return ColumnName(column) + QString::number(row);
}
