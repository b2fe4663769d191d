// vorlat-sheet-reader FILE
// Reads the first worksheet of FILE and writes the reply (reason and cells) to
// standard output. Started by SheetReader under resource limits; the program
// never reads an untrusted workbook in its own process.
#include "excel/SheetParser.h"
#include "excel/SheetReader.h"

#include <QFile>

#include <new>

#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    SheetCells cells;
    QString reason;
    try {
        reason = SheetParser::Parse(QFile::decodeName(argv[1]), cells);
    } catch (const std::bad_alloc&) {
        cells = SheetCells();
        reason = SheetParser::OutOfMemoryReason();
    }
    QByteArray reply;
    try {
        reply = SheetReader::EncodeReply(reason, cells);
    } catch (const std::bad_alloc&) {
        reply = SheetReader::EncodeReply(SheetParser::OutOfMemoryReason(), SheetCells());
    }
    const char* data = reply.constData();
    qsizetype left = reply.size();
    while (left > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, static_cast<size_t>(left));
        if (written <= 0)
            return 1;
        data += written;
        left -= written;
    }
    return 0;
}
