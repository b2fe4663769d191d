// Writes the pictures the installation needs as PNG files:
//   vorlat-pictures ICON.png GUIDE.png
// the application icon (256 × 256) and the user-guide picture.
#include "app/ApplicationFont.h"
#include "view/widgets/PictureBook.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorlat-pictures ICON.png GUIDE.png\n");
        return 2;
    }
    applyApplicationFont(app);
    const bool ok = PictureBook::render(PictureBook::AppIcon, QSize(256, 256)).save(QString::fromLocal8Bit(argv[1]))
        && PictureBook::render(PictureBook::HelpPicture, PictureBook::nativeSize(PictureBook::HelpPicture))
               .save(QString::fromLocal8Bit(argv[2]));
    if (!ok) {
        std::fprintf(stderr, "vorlat-pictures: cannot write the pictures\n");
        return 1;
    }
    return 0;
}
