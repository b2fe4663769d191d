// vorlat-sheet-reader FILE [SHEET]
// Reads worksheet SHEET (0-based, the first by default) of FILE and writes the reply (reason and cells,
// SheetReply) to standard output as it is encoded. Started by SheetReader
// under resource limits; the program never reads an untrusted workbook in its
// own process.
#include "excel/SheetParser.h"
#include "excel/SheetReply.h"

#include <QFile>

#include <new>

#include <unistd.h>

namespace {

bool writeOut(const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, static_cast<size_t>(size));
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2 && argc != 3)
        return 2;
    int sheet = 0;
    if (argc == 3) {
        bool ok = false;
        sheet = QByteArray(argv[2]).toInt(&ok);
        if (!ok || sheet < 0 || sheet > 255)
            return 2;
    }
    SheetCells cells;
    QString reason;
    try {
        reason = SheetParser::Parse(QFile::decodeName(argv[1]), cells, sheet);
    } catch (const std::bad_alloc&) {
        cells = SheetCells();
        reason = SheetParser::OutOfMemoryReason();
    }
    return SheetReply::Write(reason, cells, writeOut) ? 0 : 1;
}
