// libFuzzer target: one workbook format through the parsing the reading child
// runs (SheetParser::Parse). The format is fixed at build time by the file
// name suffix the input is saved under (VORLAT_FUZZ_SUFFIX).
#include "excel/SheetParser.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>

#include <unistd.h>

namespace {

QString scratchPath()
{
    const QString dir = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return QStringLiteral("%1/vorlat-fuzz-%2.%3").arg(dir).arg(getpid()).arg(QStringLiteral(VORLAT_FUZZ_SUFFIX));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString path = scratchPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    SheetCells cells;
    SheetParser::Parse(path, cells);
    return 0;
}
