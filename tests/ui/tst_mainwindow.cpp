// SPDX-License-Identifier: MIT
#include "controls/dbgrid.h"
#include "controls/maskedit.h"
#include "controls/ovalbutton.h"
#include "core/clock.h"
#include "core/dates.h"
#include "core/errors.h"
#include "support/tempfolder.h"
#include "support/ui/appmain.h"
#include "support/ui/windowfixture.h"
#include "ui/bitmapfile.h"
#include "ui/settingsfile.h"
#include "ui/tcheq.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QToolButton>

// The main window: its layout, start-up, the settings file, closing and the error box.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { setTodayForTesting(QDate(2024, 3, 5)); }
    void cleanup() { setTodayForTesting(std::nullopt); }
    void layout_data();
    void layout();
    void gridColumns_data();
    void gridColumns();
    void frame();
    void screenshot();
    void startUp();
    void settings_data();
    void settings();
    void closingWritesTheMode_data();
    void closingWritesTheMode();
    void closingDropsTheLineBeingTyped_data();
    void closingDropsTheLineBeingTyped();
    void unwritableSettingsIsReportedAndCloses();
    void missingBackgroundIsReported();
    void backgroundReadAhead_data();
    void backgroundReadAhead();
    void textIsNotKerned();
    void captionsShowWhole_data();
    void captionsShowWhole();
    void errorBox_data();
    void errorBox();
    void makerAddress();
};

void TestMainWindow::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // empty size: sized to its text
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QColor>("color"); // invalid: not checked

    const QString sans = QStringLiteral("Liberation Sans");
    const QString serif = QStringLiteral("Liberation Serif");
    const QColor none;
    QTest::newRow("Image1") << "Image1" << QRect(-1, -1, 517, 531) << sans << 11 << true << ""
                            << none;
    QTest::newRow("Label6") << "Label6" << QRect(22, 43, 32, 16) << sans << 13 << false << ""
                            << none;
    QTest::newRow("lDATA") << "lDATA" << QRect(60, 43, 72, 16) << sans << 11 << true << "" << none;
    QTest::newRow("BitBtn3") << "BitBtn3" << QRect(441, 498, 62, 25) << sans << 13 << false << ""
                             << none;
    QTest::newRow("BitBtn2") << "BitBtn2" << QRect(10, 498, 85, 25) << sans << 13 << false << ""
                             << none;
    QTest::newRow("BitBtn1") << "BitBtn1" << QRect(335, 498, 91, 25) << sans << 13 << false << ""
                             << none;
    QTest::newRow("Image2") << "Image2" << QRect(363, 0, 151, 59) << sans << 11 << true << ""
                            << none;
    QTest::newRow("Label1") << "Label1" << QRect(370, 55, 139, 13) << sans << 11 << false << ""
                            << QColor(0, 0, 255);
    QTest::newRow("Panel2") << "Panel2" << QRect(0, 69, 514, 68) << sans << 11 << true << ""
                            << none;
    QTest::newRow("Panel3") << "Panel3" << QRect(0, 137, 514, 353) << sans << 11 << true << ""
                            << none;
    QTest::newRow("Label7") << "Label7" << QRect(3, 10, 0, 0) << sans << 13 << false << "" << none;
    QTest::newRow("DATABASE") << "DATABASE" << QRect(82, 7, 82, 24) << sans << 13 << true << ""
                              << none;
    QTest::newRow("SpeedButton2") << "SpeedButton2" << QRect(164, 8, 24, 23) << sans << 11 << true
                                  << "" << none;
    QTest::newRow("RadioButton1") << "RadioButton1" << QRect(207, 5, 90, 17) << sans << 11 << false
                                  << "" << none;
    QTest::newRow("RadioButton2") << "RadioButton2" << QRect(207, 20, 104, 17) << sans << 11
                                  << false << "" << none;
    QTest::newRow("Label8") << "Label8" << QRect(335, 10, 0, 0) << sans << 13 << false << ""
                            << none;
    QTest::newRow("TAXA") << "TAXA" << QRect(409, 7, 55, 24) << sans << 15 << true
                          << "Digite a taxa do cálculo" << none;
    QTest::newRow("Label9") << "Label9" << QRect(466, 10, 0, 0) << sans << 11 << true << ""
                            << QColor(0, 0, 128);
    QTest::newRow("Label5") << "Label5" << QRect(3, 40, 0, 0) << sans << 13 << false << "" << none;
    QTest::newRow("LEMBRETE") << "LEMBRETE" << QRect(82, 37, 343, 24) << sans << 11 << true
                              << "Digite algo para que se lembre do que se trata" << none;
    QTest::newRow("BT1") << "BT1" << QRect(427, 35, 82, 29) << sans << 13 << false << "" << none;
    QTest::newRow("DBGrid1") << "DBGrid1" << QRect(26, 6, 454, 287) << sans << 13 << false
                             << "Digite <Ctrl+Deltete> para Apagar" << none;
    QTest::newRow("Shape1") << "Shape1" << QRect(27, 295, 119, 25) << sans << 11 << true << ""
                            << none;
    QTest::newRow("Shape2") << "Shape2" << QRect(225, 295, 119, 25) << sans << 11 << true << ""
                            << none;
    QTest::newRow("Shape4") << "Shape4" << QRect(343, 295, 119, 25) << sans << 11 << true << ""
                            << none;
    QTest::newRow("lVALOR") << "lVALOR" << QRect(31, 297, 113, 19) << serif << 16 << true << ""
                            << QColor(0, 0, 0);
    QTest::newRow("lJUROS") << "lJUROS" << QRect(230, 297, 113, 19) << serif << 16 << true << ""
                            << QColor(0, 64, 64);
    QTest::newRow("lVALORACUM") << "lVALORACUM" << QRect(346, 297, 113, 19) << serif << 16 << true
                                << "" << QColor(0, 0, 128);
    QTest::newRow("DBNavigator1") << "DBNavigator1" << QRect(27, 322, 216, 28) << sans << 11 << true
                                  << "" << none;
}

void TestMainWindow::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, family);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(QString, hint);
    QFETCH(QColor, color);

    TCHEQ window; // as created: hidden, nothing started
    QWidget *w = window.findChild<QWidget *>(name);
    QVERIFY(w);
    if (geometry.width() > 0)
        QCOMPARE(w->geometry(), geometry);
    else
        QCOMPARE(w->pos(), geometry.topLeft());
    const TOvalButton *oval = qobject_cast<TOvalButton *>(w);
    const QFont font = oval ? oval->font() : w->font();
    QCOMPARE(font.family(), family);
    QCOMPARE(font.pixelSize(), pixelSize);
    QCOMPARE(font.bold(), bold);
    QCOMPARE(w->toolTip(), hint);
    if (color.isValid())
        QCOMPARE(w->palette().color(QPalette::WindowText), color);
}

void TestMainWindow::gridColumns_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("titleFamily");
    QTest::addColumn<int>("titlePixelSize");
    QTest::addColumn<bool>("titleBold");
    QTest::addColumn<QColor>("titleColor"); // invalid: the default
    const QString sans = QStringLiteral("Liberation Sans"),
                  serif = QStringLiteral("Liberation Serif");
    QTest::newRow("Valor") << 0 << "VALOR"
                           << "Valor" << 87 << false << sans << 11 << true << QColor(128, 0, 0);
    QTest::newRow("Data") << 1 << "DATA"
                          << "Data" << 81 << false << sans << 11 << true << QColor();
    QTest::newRow("Dias") << 2 << "DIAS"
                          << "Dias" << 47 << true << sans << 11 << true << QColor();
    QTest::newRow("Juros") << 3 << "JUROS"
                           << "Juros" << 93 << true << serif << 15 << true << QColor();
    QTest::newRow("Vlr.Apurado") << 4 << "VALORDESC"
                                 << "Vlr.Apurado" << 101 << true << sans << 11 << true << QColor();
}

void TestMainWindow::gridColumns()
{
    QFETCH(int, index);
    QFETCH(QString, field);
    QFETCH(QString, title);
    QFETCH(int, width);
    QFETCH(bool, readOnly);
    QFETCH(QString, titleFamily);
    QFETCH(int, titlePixelSize);
    QFETCH(bool, titleBold);
    QFETCH(QColor, titleColor);

    TCHEQ window;
    const DBGridColumn &column = window.DBGrid1->columns().at(index);
    QCOMPARE(column.fieldName, field);
    QCOMPARE(column.readOnly, readOnly);
    QCOMPARE(window.DBGrid1->columnWidth(index), width);
    // What the titles row shows, as the grid's model gives it.
    const QAbstractItemModel *model = window.DBGrid1->model();
    QCOMPARE(model->headerData(index, Qt::Horizontal).toString(), title);
    const QFont font = model->headerData(index, Qt::Horizontal, Qt::FontRole).value<QFont>();
    QCOMPARE(font.family(), titleFamily);
    QCOMPARE(font.pixelSize(), titlePixelSize);
    QCOMPARE(font.bold(), titleBold);
    const QVariant color = model->headerData(index, Qt::Horizontal, Qt::ForegroundRole);
    QCOMPARE(color.isValid(), titleColor.isValid());
    if (titleColor.isValid())
        QCOMPARE(color.value<QBrush>().color(), titleColor);
}

void TestMainWindow::frame()
{
    TCHEQ window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Programa para Cálculo de Juros"));
    QCOMPARE(window.size(), QSize(514, 528));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!window.isVisible());
    // Enabled states at creation.
    QVERIFY(!window.Panel2->isEnabled());
    QVERIFY(!window.Panel3->isEnabled());
    QVERIFY(!window.BT1->isEnabledTo(window.Panel2));
    QVERIFY(window.RadioButton1->isChecked());
    QVERIFY(!window.Table1.active());
    QVERIFY(!window.Table2.active());
    // Texts.
    QCOMPARE(window.Label7->text(), QStringLiteral("Data Base:"));
    QCOMPARE(window.Label8->text(), QStringLiteral("Taxa Juros:"));
    QCOMPARE(window.Label9->text(), QStringLiteral("% a.m."));
    QCOMPARE(window.Label5->text(), QStringLiteral("Observação:"));
    QCOMPARE(window.Label6->text(), QStringLiteral("Hoje:"));
    QCOMPARE(window.BT1->text(), QStringLiteral("&Gravar"));
    QCOMPARE(window.RadioButton1->text(), QStringLiteral("Juros Simples"));
    QCOMPARE(window.RadioButton2->text(), QStringLiteral("Juros Compostos"));
    QCOMPARE(window.lVALOR->text(), QStringLiteral("0.00"));
    QCOMPARE(window.DATABASE->maskedText(), QStringLiteral("  /  /    "));
    QCOMPARE(window.TAXA->maskedText(), QStringLiteral("   .  "));
    QCOMPARE(window.SpeedButton2->focusPolicy(), Qt::NoFocus);
    QCOMPARE(window.LEMBRETE->maxLength(), 40);
    // The command row: oval buttons whose transparent colour is each glyph's bottom-left pixel.
    QCOMPARE(window.BitBtn3->transparentColor(), QColor(247, 244, 242));
    QCOMPARE(window.BitBtn2->transparentColor(), QColor(254, 254, 254));
    QCOMPARE(window.BitBtn1->transparentColor(), QColor(255, 255, 255));
    for (TOvalButton *b : {window.BitBtn1, window.BitBtn2, window.BitBtn3}) {
        QCOMPARE(b->bevelWidth(), 0);
        QVERIFY(b->transparent());
        QCOMPARE(b->buttonLayout(), blGlyphLeft);
        QCOMPARE(b->numGlyphs(), 1);
        QCOMPARE(b->spacing(), 4);
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
    }
    // Tab order: header panel, then the line panel.
    QCOMPARE(window.DATABASE->nextInFocusChain()->objectName().isEmpty(), false);
    QWidget *w = window.DATABASE;
    QStringList order;
    for (int i = 0; i < 8; ++i) {
        order << w->objectName();
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty() || !w->parentWidget() ||
               (w->parentWidget() != window.Panel2 && w->parentWidget() != window.Panel3))
            w = w->nextInFocusChain();
    }
    QCOMPARE(order, (QStringList{"DATABASE", "TAXA", "LEMBRETE", "BT1", "RadioButton1",
                                 "RadioButton2", "DBGrid1", "DBNavigator1"}));
}

void TestMainWindow::screenshot()
{
    WindowFixture f;
    TCHEQ &w = f.start();
    const QImage shot = w.grab().toImage();
    QCOMPARE(shot.size(), QSize(514, 528));
    const QString path = QStringLiteral(CHEQUES_BINARY_DIR "/mainwindow.png");
    QVERIFY(shot.save(path));
    qInfo("screenshot: %s", qPrintable(path));
}

void TestMainWindow::startUp()
{
    WindowFixture f;
    TCHEQ &w = f.start();
    QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join('|')));
    // Unsaved new header: header panel and Gravar on, line panel off.
    QVERIFY(w.Panel2->isEnabled());
    QVERIFY(w.BT1->isEnabled());
    QVERIFY(!w.Panel3->isEnabled());
    QVERIFY(w.Table1.active());
    QVERIFY(w.Table2.active());
    QVERIFY(w.Table2.isEmpty());
    QCOMPARE(w.Table1.state(), TableState::Insert);
    QCOMPARE(w.Table1.fieldByName(QStringLiteral("COD")).asString(), QStringLiteral("000001"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.DATABASE));
    QCOMPARE(w.DATABASE->maskedText(), QStringLiteral("05/03/2024"));
    QCOMPARE(w.TAXA->maskedText(), QStringLiteral("  0.00"));
    QCOMPARE(w.lDATA->text(), QStringLiteral("05/03/2024"));
    QCOMPARE(w.lVALOR->text(), QStringLiteral("0,00"));
    QCOMPARE(w.lJUROS->text(), QStringLiteral("0,00"));
    QCOMPARE(w.lVALORACUM->text(), QStringLiteral("0,00"));
    // The data folder was seeded.
    QVERIFY(QFile::exists(QDir(f.dataFolder()).filePath(QStringLiteral("Aux_Jur1.db"))));
    QCOMPARE(w.Table2.databaseName(), QDir(f.dataFolder()).path() + QLatin1Char('/'));
}

void TestMainWindow::settings_data()
{
    QTest::addColumn<QByteArray>("content"); // "<none>": no file; "<dir>": unreadable
    QTest::addColumn<bool>("simple");
    QTest::addColumn<bool>("error");
    QTest::newRow("no file") << QByteArray("<none>") << true << false;
    QTest::newRow("1") << QByteArray("1\r\n") << true << false;
    QTest::newRow("1 without line end") << QByteArray("1") << true << false;
    QTest::newRow("2") << QByteArray("2\r\n") << false << false;
    QTest::newRow("1 and a blank") << QByteArray("1 \r\n") << false << false;
    QTest::newRow("empty") << QByteArray("") << false << false;
    QTest::newRow("unreadable") << QByteArray("<dir>") << true << true;
}

void TestMainWindow::settings()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, simple);
    QFETCH(bool, error);
    WindowFixture f;
    const QString path = QDir(f.workFolder()).filePath(kSettingsFileName);
    if (content == "<dir>") {
        QVERIFY(QDir().mkpath(path)); // a folder in its place cannot be read as a file
    } else if (content != "<none>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    TCHEQ &w = f.start();
    QCOMPARE(w.RadioButton1->isChecked(), simple);
    QCOMPARE(w.RadioButton2->isChecked(), !simple);
    QCOMPARE(f.boxes.size(), error ? 1 : 0);
    if (error)
        QVERIFY(f.boxes.first().startsWith(QStringLiteral("error: File access denied")));
    // The new calculation was made either way.
    QCOMPARE(w.Table1.state(), TableState::Insert);
}

void TestMainWindow::closingWritesTheMode_data()
{
    QTest::addColumn<QByteArray>("before"); // "<none>": no file
    QTest::addColumn<bool>("simple");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("simple") << QByteArray("<none>") << true << QByteArray("1\r\n");
    QTest::newRow("compound") << QByteArray("<none>") << false << QByteArray("2\r\n");
    QTest::newRow("simple over compound") << QByteArray("2\r\n") << true << QByteArray("1\r\n");
    QTest::newRow("compound over simple") << QByteArray("1\r\n") << false << QByteArray("2\r\n");
    QTest::newRow("the same again") << QByteArray("2\r\n") << false << QByteArray("2\r\n");
    QTest::newRow("the same line, more after it")
        << QByteArray("1\r\n2\r\n") << true << QByteArray("1\r\n");
    QTest::newRow("the same line without CR LF") << QByteArray("1") << true << QByteArray("1\r\n");
}

void TestMainWindow::closingWritesTheMode()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, simple);
    QFETCH(QByteArray, written);
    WindowFixture f;
    if (before != "<none>") {
        QFile file(QDir(f.workFolder()).filePath(kSettingsFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    TCHEQ &w = f.start();
    (simple ? w.RadioButton1 : w.RadioButton2)->setChecked(true);
    f.closeWindow();
    QFile file(QDir(f.workFolder()).filePath(kSettingsFileName));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), written);
    QVERIFY(!w.Table1.active());
    QVERIFY(!w.Table2.active());
}

void TestMainWindow::closingDropsTheLineBeingTyped_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Sair") << "Sair";
    QTest::newRow("close box") << "close box";
    QTest::newRow("Alt+F4") << "Alt+F4";
}

void TestMainWindow::closingDropsTheLineBeingTyped()
{
    QFETCH(QString, how);
    WindowFixture f;
    TCHEQ &w = f.start();
    w.BT1Click();
    QVERIFY(!w.BT1->isEnabled());
    w.Table2.append();
    w.Table2.fieldByName(QStringLiteral("VALOR")).setAsFloat(600);
    QCOMPARE(w.Table2.state(), TableState::Insert);
    if (how == QLatin1String("Sair"))
        w.BitBtn3Click();
    else if (how == QLatin1String("close box"))
        w.close();
    else
        QTest::keyClick(&w, Qt::Key_F4, Qt::AltModifier);
    if (w.isVisible())
        w.close(); // no window manager offscreen: Alt+F4 is the platform's, not ours
    QVERIFY(!w.isVisible());
    QVERIFY(!w.Table2.active());
    Table lines;
    lines.setDatabaseName(f.dataFolder());
    lines.setTableName(QStringLiteral("Aux_Jur1.db"));
    lines.open();
    QVERIFY(lines.isEmpty());
    QVERIFY(QFile::exists(QDir(f.workFolder()).filePath(kSettingsFileName)));
}

void TestMainWindow::unwritableSettingsIsReportedAndCloses()
{
    WindowFixture f;
    TCHEQ &w = f.start();
    QVERIFY(QDir().mkpath(QDir(f.workFolder()).filePath(kSettingsFileName)));
    f.boxes.clear();
    w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(f.boxes.size(), 1);
    QVERIFY(f.boxes.first().startsWith(QStringLiteral("error: File access denied")));
}

void TestMainWindow::missingBackgroundIsReported()
{
    WindowFixture f;
    QFile::remove(QDir(f.workFolder()).filePath(QStringLiteral("fundo.bmp")));
    TCHEQ &w = f.start();
    QCOMPARE(f.boxes.size(), 1);
    QVERIFY2(f.boxes.first().startsWith(QStringLiteral("error: Cannot open file \"")),
             qPrintable(f.boxes.first()));
    QVERIFY(f.boxes.first().endsWith(QLatin1Char('.')));
    // Start-up went on: the data folder was prepared and the calculation started.
    QVERIFY(w.Table1.active());
    QCOMPARE(w.Table1.databaseName(), QDir(f.dataFolder()).path() + QLatin1Char('/'));
}

// The picture start-up read ahead is shown when it is the working folder's, and only then.
void TestMainWindow::backgroundReadAhead_data()
{
    QTest::addColumn<bool>("ofWorkingFolder");
    QTest::newRow("the working folder's") << true;
    QTest::newRow("another folder's") << false;
}

void TestMainWindow::backgroundReadAhead()
{
    QFETCH(bool, ofWorkingFolder);
    WindowFixture f;
    TempFolder elsewhere;
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(TCHEQ::backgroundPath(elsewhere.path()), "BMP"));
    const QString ours = TCHEQ::backgroundPath(f.workFolder());

    TCHEQ &w =
        f.start(BitmapReadAhead(ofWorkingFolder ? ours : TCHEQ::backgroundPath(elsewhere.path())));
    QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join(QLatin1Char('\n'))));
    const QImage shown = w.Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(!shown.isNull());
    QVERIFY(shown == ReadBitmapFile(ours).convertToFormat(QImage::Format_RGB32));
}

// Every text of the window is drawn as Windows draws it, each character at its own advance:
// no pair of letters is kerned closer together.
void TestMainWindow::textIsNotKerned()
{
    TCHEQ window;
    QList<QFont> fonts{window.font()};
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        const TOvalButton *oval = qobject_cast<const TOvalButton *>(w);
        fonts << (oval ? oval->font() : w->font());
    }
    const QAbstractItemModel *titles = window.DBGrid1->model();
    for (int column = 0; column < titles->columnCount(); ++column)
        fonts << titles->headerData(column, Qt::Horizontal, Qt::FontRole).value<QFont>();

    const QString text = QStringLiteral("AVATAR To Te Yo LT Wa P. Juros Valor");
    for (const QFont &font : std::as_const(fonts)) {
        const QFontMetricsF metrics(font);
        qreal apart = 0;
        for (const QChar c : text)
            apart += metrics.horizontalAdvance(c);
        QVERIFY2(qFuzzyCompare(metrics.horizontalAdvance(text), apart),
                 qPrintable(font.toString()));
    }
}

// The captions the layout gives a fixed size show whole in the faces that stand in for the
// Windows ones, which are wider: nothing is cut off at the right.
void TestMainWindow::captionsShowWhole_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Label1", "RadioButton1", "RadioButton2", "BT1"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestMainWindow::captionsShowWhole()
{
    QFETCH(QString, name);
    WindowFixture f;
    QWidget *w = f.start().findChild<QWidget *>(name);
    QVERIFY(w);
    QString text;
    QRect room;
    if (const auto *label = qobject_cast<QLabel *>(w)) {
        text = label->text();
        room = label->contentsRect();
    } else if (const auto *button = qobject_cast<QAbstractButton *>(w)) {
        text = button->text().remove(QLatin1Char('&'));
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        const bool radio = qobject_cast<const QRadioButton *>(button);
        room = button->style()->subElementRect(radio ? QStyle::SE_RadioButtonContents
                                                     : QStyle::SE_PushButtonContents,
                                               &option, button);
        if (!radio) // the glyph and its gap come before the caption
            room.setWidth(room.width() - option.iconSize.width() - 4);
    }
    QVERIFY(!text.isEmpty());
    QVERIFY2(w->fontMetrics().horizontalAdvance(text) <= room.width(),
             qPrintable(QStringLiteral("%1 needs %2 pixels, has %3")
                            .arg(text)
                            .arg(w->fontMetrics().horizontalAdvance(text))
                            .arg(room.width())));
}

void TestMainWindow::errorBox_data()
{
    QTest::addColumn<QString>("thrown"); // "abort" for the silent refusal
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("full stop added") << "Algo falhou" << QStringList{"error: Algo falhou."};
    QTest::newRow("ends with a full stop") << "Falhou." << QStringList{"error: Falhou."};
    QTest::newRow("ends below the full stop") << "Falhou!" << QStringList{"error: Falhou!"};
    QTest::newRow("abort is silent") << "abort" << QStringList{};
}

void TestMainWindow::errorBox()
{
    QFETCH(QString, thrown);
    QFETCH(QStringList, shown);
    WindowFixture f;
    TCHEQ &w = f.start();
    f.boxes.clear();
    // A handler that throws, reached through the event loop.
    w.BitBtn1->onClick = [thrown](TOvalButton *) {
        if (thrown == QLatin1String("abort"))
            throw ::Abort();
        throw Error(thrown);
    };
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton, {}, w.BitBtn1->rect().center());
    QCOMPARE(f.boxes, shown);
    // The event loop goes on: the next click is handled again.
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton, {}, w.BitBtn1->rect().center());
    QCOMPARE(f.boxes.size(), shown.size() * 2);
}

void TestMainWindow::makerAddress()
{
    WindowFixture f;
    TCHEQ &w = f.start();
    f.boxes.clear();
    QTest::mouseClick(w.Label1, Qt::LeftButton);
    QTest::mouseClick(w.Image2, Qt::LeftButton);
    QCOMPARE(f.boxes.size(), 2);
    QVERIFY(f.boxes[0].startsWith(QStringLiteral("open: http")));
    QCOMPARE(f.boxes[0], f.boxes[1]);
    QCOMPARE(w.Label1->text(), f.boxes[0].mid(6));
}

CHEQUES_APP_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
