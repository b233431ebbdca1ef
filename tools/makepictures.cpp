// SPDX-License-Identifier: MIT
// Draws the program's pictures when it is built:
//   makepictures FOLDER           writes the background picture fundo.bmp into FOLDER
//   makepictures --stored FILE    writes the C++ source that stores the logo and the glyphs
#include "tools/artwork.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace
{

// The pictures stored in the program, by the name of their function in ui/pictures.h.
struct StoredPicture {
    const char *name;
    QImage (*draw)();
};
const StoredPicture kStoredPictures[] = {
    {"Logo", Artwork::Logo},
    {"ExitGlyph", Artwork::ExitGlyph},
    {"PrinterGlyph", Artwork::PrinterGlyph},
    {"RestartGlyph", Artwork::RestartGlyph},
    {"CheckGlyph", Artwork::CheckGlyph},
    {"CalendarGlyph", Artwork::CalendarGlyph},
};

// One array of 0xffRRGGBB pixels, row by row, and one function a picture.
QByteArray storedPicturesSource()
{
    QByteArray arrays, functions;
    for (const StoredPicture &picture : kStoredPictures) {
        const QImage image = picture.draw().convertToFormat(QImage::Format_RGB32);
        const QByteArray name(picture.name);
        arrays += "const quint32 k" + name + "[] = {";
        for (int y = 0; y < image.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if ((y * image.width() + x) % 8 == 0)
                    arrays += "\n   ";
                arrays += " 0x" + QByteArray::number(row[x], 16).rightJustified(8, '0') + ',';
            }
        }
        arrays += "\n};\n\n";
        functions += "QImage " + name + "()\n{\n    return stored(k" + name + ", " +
                     QByteArray::number(image.width()) + ", " + QByteArray::number(image.height()) +
                     ");\n}\n\n";
    }
    return "// Written by makepictures when the program is built.\n"
           "#include \"ui/pictures.h\"\n\n"
           "namespace\n{\n\n"
           "QImage stored(const quint32 *pixels, int width, int height)\n{\n"
           "    return QImage(reinterpret_cast<const uchar *>(pixels), width, height, width * 4,\n"
           "                  QImage::Format_RGB32);\n}\n\n" +
           arrays + "} // namespace\n\nnamespace Pictures\n{\n\n" + functions +
           "} // namespace Pictures\n";
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--stored")) {
        QFile file(args[2]);
        if (!file.open(QIODevice::WriteOnly) || file.write(storedPicturesSource()) < 0) {
            std::fprintf(stderr, "makepictures: cannot write %s\n", qPrintable(args[2]));
            return 1;
        }
        return 0;
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: makepictures FOLDER | makepictures --stored FILE\n");
        return 2;
    }
    const QString path = QDir(args[1]).filePath(QStringLiteral("fundo.bmp"));
    if (!Artwork::Background().save(path, "BMP")) {
        std::fprintf(stderr, "makepictures: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
