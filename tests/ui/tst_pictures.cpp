// SPDX-License-Identifier: MIT
#include "tools/artwork.h"
#include "ui/pictures.h"

#include <QGuiApplication>
#include <QTest>

// The logo and the glyphs the program stores are the pictures our drawing code makes, pixel for
// pixel, at the sizes the layout gives, with the bottom-left colours the buttons take as
// transparent.
class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    void storedAsDrawn_data();
    void storedAsDrawn();
};

void TestPictures::storedAsDrawn_data()
{
    QTest::addColumn<QImage>("stored");
    QTest::addColumn<QImage>("drawn");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("bottomLeft"); // invalid: not checked
    const QColor any;
    QTest::newRow("logo") << Pictures::Logo() << Artwork::Logo() << QSize(151, 59) << any;
    QTest::newRow("exit") << Pictures::ExitGlyph() << Artwork::ExitGlyph() << QSize(25, 25)
                          << QColor(247, 244, 242);
    QTest::newRow("printer") << Pictures::PrinterGlyph() << Artwork::PrinterGlyph() << QSize(25, 25)
                             << QColor(254, 254, 254);
    QTest::newRow("restart") << Pictures::RestartGlyph() << Artwork::RestartGlyph() << QSize(25, 25)
                             << QColor(255, 255, 255);
    QTest::newRow("check") << Pictures::CheckGlyph() << Artwork::CheckGlyph() << QSize(25, 25)
                           << any;
    QTest::newRow("calendar") << Pictures::CalendarGlyph() << Artwork::CalendarGlyph()
                              << QSize(32, 16) << any;
}

void TestPictures::storedAsDrawn()
{
    QFETCH(QImage, stored);
    QFETCH(QImage, drawn);
    QFETCH(QSize, size);
    QFETCH(QColor, bottomLeft);
    QCOMPARE(stored.size(), size);
    QCOMPARE(stored.format(), QImage::Format_RGB32);
    QVERIFY(stored == drawn.convertToFormat(QImage::Format_RGB32));
    if (bottomLeft.isValid())
        QCOMPARE(stored.pixelColor(0, size.height() - 1), bottomLeft);
    // Painting on a stored picture works on a copy and leaves the stored pixels alone.
    QImage copy = stored;
    copy.fill(Qt::black);
    QVERIFY(stored == drawn.convertToFormat(QImage::Format_RGB32));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
