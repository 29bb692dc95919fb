// zocut-imagepainter <folder>: paints the program's images into folder.

#include "ActionIconPainter.h"
#include "CursorPainter.h"
#include "ImagePainter.h"
#include "MenuImagePainter.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool painted = ImagePainter::writeAll(folder);
    const bool icons = ActionIconPainter::writeAll(folder);
    const bool cursors = CursorPainter::writeAll(folder);
    if (!MenuImagePainter::writeAll(folder) || !painted || !icons || !cursors) {
        std::fprintf(stderr, "cannot write the images into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
