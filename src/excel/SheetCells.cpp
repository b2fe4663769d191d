#include "excel/SheetCells.h"

#include "store/TextRules.h"

#include <cstdio>

void SheetCells::resize(int rowCount)
{
    cellTable = QStringList(static_cast<qsizetype>(rowCount) * kColumns, TextRules::emptyMarker());
}

void SheetCells::setString(int r, int c, const QString& text)
{
    if (contains(r, c))
        cellTable[r * kColumns + c] = text;
}

void SheetCells::setNumber(int r, int c, double value)
{
    if (contains(r, c))
        cellTable[r * kColumns + c] = NumberText(value);
}

void SheetCells::setOther(int r, int c)
{
    if (contains(r, c))
        cellTable[r * kColumns + c] = QString();
}

QString SheetCells::NumberText(double value)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%0.0f", value);
    return QString::fromLatin1(buffer);
}
