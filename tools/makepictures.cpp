// SPDX-License-Identifier: MIT
// Writes the background picture fundo.bmp into the folder given on the command line.
#include "ui/pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: makepictures FOLDER\n");
        return 2;
    }
    const QString path = QDir(args[1]).filePath(QStringLiteral("fundo.bmp"));
    if (!Pictures::Background().save(path, "BMP")) {
        std::fprintf(stderr, "makepictures: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
