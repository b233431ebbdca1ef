// SPDX-License-Identifier: MIT
#include "support/tempfolder.h"
#include "ui/bitmapfile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTest>
#include <QtEndian>

namespace
{

// A picture whose every pixel differs from its neighbours, so that a pixel read from the wrong
// place, in the wrong channel order or from the wrong row shows.
QImage pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 37 + y, y * 53 + 7, (x * 11) ^ (y * 29)));
    return image;
}

void put16(QByteArray &bytes, int at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

void put32(QByteArray &bytes, int at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

// An uncompressed bitmap file as other programs write it: 24 or 32 bits a pixel, the bottom row
// first or (topDown) the top row first, and `gap` bytes between the headers and the pixels.
QByteArray handMadeBitmap(const QImage &image, int bits, bool topDown, int gap)
{
    const int width = image.width(), height = image.height();
    const int rowBytes = (width * bits / 8 + 3) / 4 * 4;
    const int offset = 14 + 40 + gap;
    QByteArray bytes(offset + rowBytes * height, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, quint32(bytes.size()));
    put32(bytes, 10, quint32(offset));
    put32(bytes, 14, 40);
    put32(bytes, 18, quint32(width));
    put32(bytes, 22, quint32(topDown ? -height : height));
    put16(bytes, 26, 1);
    put16(bytes, 28, quint16(bits));
    put32(bytes, 30, 0); // no compression
    put32(bytes, 38, 2835);
    put32(bytes, 42, 3150);
    for (int y = 0; y < height; ++y) {
        char *row = bytes.data() + offset + rowBytes * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            char *at = row + x * bits / 8;
            at[0] = char(qBlue(pixel));
            at[1] = char(qGreen(pixel));
            at[2] = char(qRed(pixel));
        }
    }
    return bytes;
}

QByteArray writtenByQt(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "bmp").write(image);
    return bytes;
}

} // namespace

// Reading the background: the same picture Qt's own reader gives, for every kind of bitmap.
class TestBitmapFile : public QObject
{
    Q_OBJECT
private slots:
    void sameAsQtsReader_data();
    void sameAsQtsReader();
    void notABitmap_data();
    void notABitmap();
    void readAhead_data();
    void readAhead();
};

void TestBitmapFile::sameAsQtsReader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Every row padding, as Qt writes 24-bit files.
    for (int width = 1; width <= 6; ++width)
        QTest::addRow("24 bits, %d wide", width) << writtenByQt(pattern(width, 3));
    QTest::newRow("24 bits, the background's size") << writtenByQt(pattern(517, 531));
    QTest::newRow("24 bits, top row first") << handMadeBitmap(pattern(7, 5), 24, true, 0);
    QTest::newRow("24 bits, pixels after a gap") << handMadeBitmap(pattern(5, 4), 24, false, 10);
    QTest::newRow("32 bits") << handMadeBitmap(pattern(5, 4), 32, false, 0);
    QImage indexed = pattern(9, 4).convertToFormat(QImage::Format_Indexed8);
    QTest::newRow("256 colours") << writtenByQt(indexed);
    QImage mono = pattern(9, 4).convertToFormat(QImage::Format_Mono);
    QTest::newRow("2 colours") << writtenByQt(mono);
}

void TestBitmapFile::sameAsQtsReader()
{
    QFETCH(QByteArray, bytes);
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("fundo.bmp"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();

    const QImage expected = QImageReader(path, "bmp").read();
    QVERIFY(!expected.isNull());
    const QImage image = ReadBitmapFile(path);
    QCOMPARE(image.format(), expected.format());
    QCOMPARE(image.size(), expected.size());
    QCOMPARE(image.dotsPerMeterX(), expected.dotsPerMeterX());
    QCOMPARE(image.dotsPerMeterY(), expected.dotsPerMeterY());
    QVERIFY(image == expected);
}

void TestBitmapFile::notABitmap_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "<none>": no file at all
    QByteArray bitmap = writtenByQt(pattern(4, 4));
    QTest::newRow("no file") << QByteArray("<none>");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("not a picture at all, just some words in a file\n");
    QTest::newRow("headers cut short") << bitmap.left(30);
    QByteArray wrongMagic = bitmap;
    wrongMagic[0] = 'X';
    QTest::newRow("wrong signature") << wrongMagic;
}

void TestBitmapFile::notABitmap()
{
    QFETCH(QByteArray, bytes);
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("fundo.bmp"));
    if (bytes != "<none>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QVERIFY(ReadBitmapFile(path).isNull());
}

// A read begun ahead gives what ReadBitmapFile gives for the path asked, whatever was read.
void TestBitmapFile::readAhead_data()
{
    QTest::addColumn<QByteArray>("bytes");  // "<none>": no file at all
    QTest::addColumn<QString>("readAhead"); // the file read ahead; "" for none
    QTest::addColumn<QString>("asked");
    QTest::addColumn<int>("takes");
    const QByteArray plain = writtenByQt(pattern(517, 531));
    const QByteArray indexed = writtenByQt(pattern(9, 4).convertToFormat(QImage::Format_Indexed8));
    QTest::newRow("plain 24 bits") << plain << "fundo.bmp"
                                   << "fundo.bmp" << 1;
    QTest::newRow("taken twice") << plain << "fundo.bmp"
                                 << "fundo.bmp" << 2;
    QTest::newRow("256 colours, left to Qt") << indexed << "fundo.bmp"
                                             << "fundo.bmp" << 1;
    QTest::newRow("no file") << QByteArray("<none>") << "fundo.bmp"
                             << "fundo.bmp" << 1;
    QTest::newRow("not a picture") << QByteArray("words") << "fundo.bmp"
                                   << "fundo.bmp" << 1;
    QTest::newRow("another file asked") << plain << "other.bmp"
                                        << "fundo.bmp" << 1;
    QTest::newRow("nothing read ahead") << plain << ""
                                        << "fundo.bmp" << 1;
}

void TestBitmapFile::readAhead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readAhead);
    QFETCH(QString, asked);
    QFETCH(int, takes);
    TempFolder folder;
    const QString path = folder.file(asked);
    if (bytes != "<none>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    // Another file, of another picture, where the read ahead may look instead.
    QFile other(folder.file(QStringLiteral("other.bmp")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write(writtenByQt(pattern(3, 2)));
    other.close();

    const QImage expected = ReadBitmapFile(path);
    BitmapReadAhead ahead =
        readAhead.isEmpty() ? BitmapReadAhead() : BitmapReadAhead(folder.file(readAhead));
    for (int i = 0; i < takes; ++i) {
        const QImage image = ahead.take(path);
        QCOMPARE(image.isNull(), expected.isNull());
        QCOMPARE(image.size(), expected.size());
        QVERIFY(image == expected);
    }
}

QTEST_GUILESS_MAIN(TestBitmapFile)
#include "tst_bitmapfile.moc"
