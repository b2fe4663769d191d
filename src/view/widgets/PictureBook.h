#pragma once

#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's pictures, painted in code and looked up by number:
//   128        the application icon (any size; 256 × 256 by default)
//   310 … 314  legend swatches, 16 × 16 with a 10 × 10 square at the top left
// (The progress texts 318 … 323 are CPrograssDlg's own.)
//   356 … 362  toolbar icons, 40 × 40
//   366        the user-guide picture, 614 × 557
//   381 … 392  the home pictures, 1920 × 1080 (390 is not used); painted for any
//              size with one scale for both directions (HomeScreen::fit)
// Each picture is painted once per size asked for and kept.
namespace PictureBook {

enum : int {
    AppIcon = 128,
    FirstSwatch = 310,
    FirstToolIcon = 356,
    OptimizeIcon = 362,
    HelpPicture = 366,
    FirstHome = 381,
};

// The size the picture is designed at.
QSize nativeSize(int number);
// The picture at its native size.
QPixmap picture(int number);
// The picture painted for `size`; vector pictures stay sharp at every size.
QPixmap pictureAt(int number, QSize size);
// Paints without caching (for tools and benchmarks).
QImage render(int number, QSize size);

// A toolbar button as the user-guide picture shows it.
struct ToolButtonLook
{
    QPixmap icon;
    QString text;
};
// The main window's toolbar buttons in order (icons 356 … 362 and their texts).
QList<ToolButtonLook> toolbarButtons();
// The user-guide picture painted for `size`, its toolbar row showing `toolbar`
// (the buttons the main window really has); picture 366 shows toolbarButtons().
QImage renderHelp(QSize size, const QList<ToolButtonLook>& toolbar);

// Drops every cached picture.
void clearCache();

} // namespace PictureBook
