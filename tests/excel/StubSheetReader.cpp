// Stands in for vorlat-sheet-reader in the tests of the reading child's
// supervision: the first word of the file says how it misbehaves.
#include <QByteArray>
#include <QFile>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    QFile file(QFile::decodeName(argv[1]));
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray word = file.readAll().trimmed();
    if (word == "crash") {
        std::raise(SIGSEGV);
    } else if (word == "spin") {
        volatile unsigned long n = 0;
        for (;;)
            n = n + 1;
    } else if (word == "sleep") {
        for (;;)
            pause();
    } else if (word == "hog") {
        std::vector<char*> blocks;
        for (int i = 0; i < 64; ++i) { // 4 GB at most
            char* block = static_cast<char*>(std::malloc(64 << 20));
            if (!block)
                std::abort();
            std::memset(block, 1, 64 << 20);
            blocks.push_back(block);
        }
        return 0;
    } else if (word == "flood") {
        static char chunk[65536];
        for (;;)
            if (write(STDOUT_FILENO, chunk, sizeof chunk) <= 0)
                return 1;
    } else if (word == "garbage") {
        const char text[] = "not a reply at all";
        return write(STDOUT_FILENO, text, sizeof text) > 0 ? 0 : 1;
    } else if (word == "linger") {
        close(STDOUT_FILENO);
        for (;;)
            pause();
    } else if (word == "exit") {
        return 3;
    }
    return 0;
}
