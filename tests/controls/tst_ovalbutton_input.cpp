// SPDX-License-Identifier: MIT
#include "controls/ovalbutton.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTest>
#include <QWindow>
#include <functional>
#include <memory>

using Setter = std::function<void(TOvalButton &)>;
Q_DECLARE_METATYPE(Setter)

namespace
{

// A button that counts its paints.
class CountingButton : public TOvalButton
{
public:
    using TOvalButton::TOvalButton;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        TOvalButton::paintEvent(event);
    }
};

QString mouseButtonName(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return QStringLiteral("L");
    case Qt::RightButton:
        return QStringLiteral("R");
    case Qt::MiddleButton:
        return QStringLiteral("M");
    default:
        return QStringLiteral("?");
    }
}

Qt::MouseButton mouseButtonOf(const QString &name)
{
    if (name == QLatin1String("R"))
        return Qt::RightButton;
    if (name == QLatin1String("M"))
        return Qt::MiddleButton;
    return Qt::LeftButton;
}

QString stateText(const TOvalButton &b)
{
    return QStringLiteral("state %1 %2 %3")
        .arg(int(b.down()))
        .arg(int(b.bevelState()))
        .arg(int(b.mouseInside()));
}

// A window 300 x 200 with one 100 x 50 button at (100, 75) that logs its events.
struct Fixture {
    QWidget host;
    CountingButton *button = nullptr;
    QStringList log;

    explicit Fixture(const QString &flags = {})
    {
        host.resize(300, 200);
        button = new CountingButton(&host);
        button->move(100, 75);
        button->setCaption(QStringLiteral("Oval"));
        TOvalButton *b = button;
        b->onClick = [this](TOvalButton *sender) {
            log << QStringLiteral("click %1 %2").arg(int(sender->down())).arg(sender->bevelState());
        };
        b->onDblClick = [this](TOvalButton *) { log << QStringLiteral("dbl"); };
        b->onMouseDown = [this](TOvalButton *, Qt::MouseButton mb,
                                const TOvalButton::ShiftState &shift, int x, int y) {
            log << QStringLiteral("down %1 %2,%3%4")
                       .arg(mouseButtonName(mb))
                       .arg(x)
                       .arg(y)
                       .arg(shift.doubleClick ? QStringLiteral(" dbl") : QString());
        };
        b->onMouseUp = [this](TOvalButton *, Qt::MouseButton mb, const TOvalButton::ShiftState &,
                              int x, int y) {
            log << QStringLiteral("up %1 %2,%3").arg(mouseButtonName(mb)).arg(x).arg(y);
        };
        b->onMouseMove = [this](TOvalButton *, const TOvalButton::ShiftState &, int x, int y) {
            log << QStringLiteral("move %1,%2").arg(x).arg(y);
        };
        b->onMouseEnter = [this](TOvalButton *) { log << QStringLiteral("enter"); };
        b->onMouseExit = [this](TOvalButton *) { log << QStringLiteral("exit"); };

        if (flags.contains(QLatin1String("toggle")))
            button->setGroupIndex(1);
        if (flags.contains(QLatin1String("flat")))
            button->setFlat(true);
        if (flags.contains(QLatin1String("transparent")))
            button->setTransparent(true);
        if (flags.contains(QLatin1String("down")))
            button->setDown(true);
        if (flags.contains(QLatin1String("disabled")))
            button->setEnabled(false);
    }

    bool show()
    {
        host.show();
        if (!QTest::qWaitForWindowExposed(&host))
            return false;
        QTest::mouseMove(host.windowHandle(), QPoint(10, 10));
        QCoreApplication::processEvents();
        log.clear();
        return true;
    }

    QPoint inWindow(QPoint at) const { return at + button->pos(); }

    void sendDirect(QEvent::Type type, Qt::MouseButton mb, QPoint at)
    {
        static Qt::MouseButtons held;
        if (type == QEvent::MouseButtonPress)
            held |= mb;
        else if (type == QEvent::MouseButtonRelease)
            held &= ~mb;
        QMouseEvent event(type, QPointF(at), QPointF(button->mapToGlobal(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : mb, held, Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }

    // Runs "m x,y" (move), "p B x,y" (press), "r B x,y" (release), "d B x,y" (double click)
    // through the window, as the platform delivers them; "P", "M", "R" send the same straight
    // to the button; "s" logs the button's state. Coordinates are the button's.
    void run(const QString &script)
    {
        QWindow *window = host.windowHandle();
        const QStringList steps = script.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString &rawStep : steps) {
            const QStringList parts = rawStep.trimmed().split(QLatin1Char(' '));
            const QString op = parts.at(0);
            if (op == QLatin1String("s")) {
                log << stateText(*button);
                continue;
            }
            const QStringList xy = parts.last().split(QLatin1Char(','));
            const QPoint at(xy.at(0).toInt(), xy.at(1).toInt());
            const Qt::MouseButton mb = parts.size() > 2 ? mouseButtonOf(parts.at(1)) : Qt::NoButton;
            if (op == QLatin1String("m"))
                QTest::mouseMove(window, inWindow(at));
            else if (op == QLatin1String("p"))
                QTest::mousePress(window, mb, {}, inWindow(at));
            else if (op == QLatin1String("r"))
                QTest::mouseRelease(window, mb, {}, inWindow(at));
            else if (op == QLatin1String("d"))
                QTest::mouseDClick(window, mb, {}, inWindow(at));
            else if (op == QLatin1String("M"))
                sendDirect(QEvent::MouseMove, Qt::NoButton, at);
            else if (op == QLatin1String("P"))
                sendDirect(QEvent::MouseButtonPress, mb, at);
            else if (op == QLatin1String("R"))
                sendDirect(QEvent::MouseButtonRelease, mb, at);
            else
                qFatal("unknown step %s", qPrintable(rawStep));
        }
    }
};

} // namespace

class TestOvalButtonInput : public QObject
{
    Q_OBJECT
private slots:
    void mouseSequences_data();
    void mouseSequences();
    void twoTogglesOfOneGroupBothDown();
    void isInOval_data();
    void isInOval();
    void mnemonic_data();
    void mnemonic();
    void accelerator_data();
    void accelerator();
    void setterRepaints_data();
    void setterRepaints();
    void colorChangesShadesAtOnce();
    void glyphSetsTransparentColor();
    void downAndFlatSetters();
};

void TestOvalButtonInput::mouseSequences_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("finalState"); // Down, BevelState, MouseInside

    // The click comes between mouse-down and mouse-up, while the button still looks pressed.
    QTest::newRow("press and release inside")
        << ""
        << "m 50,25; p L 50,25; r L 50,25"
        << QStringList{"enter", "move 50,25", "down L 50,25", "click 1 -1", "up L 50,25"}
        << "state 0 1 1";
    // The click rule uses the rectangle, the pressed look the oval.
    QTest::newRow("corner outside the oval")
        << ""
        << "m 3,3; p L 3,3; r L 3,3" << QStringList{"enter", "click 0 1"} << "state 0 1 0";
    QTest::newRow("drag out, release outside")
        << ""
        << "m 50,25; p L 50,25; m 150,25; s; r L 150,25"
        << QStringList{"enter", "move 50,25", "down L 50,25", "state 0 1 0", "exit"}
        << "state 0 1 0";
    QTest::newRow("drag out and back in")
        << ""
        << "m 50,25; p L 50,25; m 150,25; s; m 50,25; s; r L 50,25"
        << QStringList{"enter",      "move 50,25",   "down L 50,25", "state 0 1 0",
                       "move 50,25", "state 1 -1 1", "click 1 -1",   "up L 50,25"}
        << "state 0 1 1";
    QTest::newRow("drag out to the corner, release there")
        << ""
        << "m 50,25; p L 50,25; m 3,3; r L 3,3"
        << QStringList{"enter", "move 50,25", "down L 50,25", "click 0 1"} << "state 0 1 0";
    // Without a move over the button first, the drag-out rule does not apply.
    QTest::newRow("press before any move, drag out")
        << ""
        << "P L 50,25; M 150,25; R L 150,25" << QStringList{"down L 50,25"} << "state 1 -1 0";
    QTest::newRow("right button") << ""
                                  << "m 50,25; p R 50,25; s; r R 50,25"
                                  << QStringList{"enter", "move 50,25", "down R 50,25",
                                                 "state 1 -1 1", "up R 50,25"}
                                  << "state 0 1 1";
    QTest::newRow("middle button")
        << ""
        << "m 50,25; p M 50,25; r M 50,25"
        << QStringList{"enter", "move 50,25", "down M 50,25", "up M 50,25"} << "state 0 1 1";
    QTest::newRow("toggle latches, then lets go")
        << "toggle"
        << "m 50,25; p L 50,25; r L 50,25; s; p L 50,25; r L 50,25"
        << QStringList{"enter",        "move 50,25",   "down L 50,25", "click 1 -1", "up L 50,25",
                       "state 1 -1 1", "down L 50,25", "click 1 -1",   "up L 50,25"}
        << "state 0 1 1";
    QTest::newRow("toggle: moves while held change nothing")
        << "toggle"
        << "m 50,25; p L 50,25; m 150,25; s; m 50,25; s; r L 50,25"
        << QStringList{"enter",        "move 50,25", "down L 50,25", "state 1 -1 0",
                       "state 1 -1 0", "click 1 -1", "up L 50,25"}
        << "state 1 -1 0";
    QTest::newRow("toggle up, released outside the oval")
        << "toggle"
        << "m 50,25; p L 50,25; m 3,3; r L 3,3"
        << QStringList{"enter", "move 50,25", "down L 50,25", "click 1 -1"} << "state 1 -1 0";
    QTest::newRow("toggle down, released outside the oval")
        << "toggle down"
        << "m 50,25; p L 50,25; m 3,3; r L 3,3"
        << QStringList{"enter", "move 50,25", "down L 50,25", "click 1 -1"} << "state 1 -1 0";
    QTest::newRow("toggle with the right button")
        << "toggle"
        << "m 50,25; p R 50,25; r R 50,25"
        << QStringList{"enter", "move 50,25", "down R 50,25", "up R 50,25"} << "state 1 -1 1";
    QTest::newRow("flat toggle lets go without rings")
        << "toggle flat down"
        << "m 50,25; p L 50,25; r L 50,25"
        << QStringList{"enter", "move 50,25", "down L 50,25", "click 1 -1", "up L 50,25"}
        << "state 0 0 1";
    QTest::newRow("double click")
        << ""
        << "m 50,25; d L 50,25"
        << QStringList{"enter",      "move 50,25", "down L 50,25",     "click 1 -1",
                       "up L 50,25", "dbl",        "down L 50,25 dbl", "up L 50,25"}
        << "state 0 1 1";
    QTest::newRow("double click outside the oval")
        << ""
        << "m 3,3; d L 3,3" << QStringList{"enter", "click 0 1"} << "state 0 1 0";
    QTest::newRow("disabled") << "disabled"
                              << "m 50,25; p L 50,25; s; r L 50,25; m -20,25"
                              << QStringList{"enter", "state 0 1 0", "exit"} << "state 0 1 0";
    QTest::newRow("flat hover") << "flat"
                                << "m -20,25; s; m 50,25; s; m 3,3; s; m 50,25; m -20,25; s"
                                << QStringList{"state 0 0 0", "enter",       "move 50,25",
                                               "state 0 1 1", "state 0 0 0", "move 50,25",
                                               "exit",        "state 0 0 0"}
                                << "state 0 0 0";
    QTest::newRow("flat press keeps the rings until the oval is left")
        << "flat"
        << "m 50,25; p L 50,25; s; r L 50,25; s; m 60,25; s; m 3,3; s"
        << QStringList{"enter",      "move 50,25",  "down L 50,25", "state 1 -1 1", "click 1 -1",
                       "up L 50,25", "state 0 1 1", "move 60,25",   "state 0 1 1",  "state 0 0 0"}
        << "state 0 0 0";
    QTest::newRow("transparent press and release")
        << "transparent"
        << "m 50,25; p L 50,25; s; r L 50,25"
        << QStringList{"enter",        "move 50,25", "down L 50,25",
                       "state 1 -1 1", "click 1 -1", "up L 50,25"}
        << "state 0 1 1";
}

void TestOvalButtonInput::mouseSequences()
{
    QFETCH(QString, flags);
    QFETCH(QString, script);
    QFETCH(QStringList, events);
    QFETCH(QString, finalState);

    Fixture f(flags);
    QVERIFY(f.show());
    f.run(script);
    QCoreApplication::processEvents();
    QCOMPARE(f.log, events);
    QCOMPARE(stateText(*f.button), finalState);
    QVERIFY(!f.button->buttonHeld());
}

void TestOvalButtonInput::twoTogglesOfOneGroupBothDown()
{
    Fixture f(QStringLiteral("toggle"));
    auto *second = new TOvalButton(&f.host);
    second->setGeometry(100, 140, 100, 50);
    second->setGroupIndex(1);
    QVERIFY(f.show());
    QWindow *window = f.host.windowHandle();
    for (const QPoint at : {QPoint(150, 100), QPoint(150, 165)}) {
        QTest::mouseMove(window, at);
        QTest::mouseClick(window, Qt::LeftButton, {}, at);
    }
    QVERIFY(f.button->down());
    QVERIFY(second->down());
    QCOMPARE(second->bevelState(), TOvalButton::Sunken);
}

void TestOvalButtonInput::isInOval_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("inside");
    QTest::newRow("centre") << QPoint(50, 25) << true;
    QTest::newRow("left end") << QPoint(1, 25) << true;
    QTest::newRow("top") << QPoint(50, 1) << true;
    QTest::newRow("upper-left corner") << QPoint(0, 0) << false;
    QTest::newRow("near the corner") << QPoint(8, 5) << false;
    QTest::newRow("lower-right corner") << QPoint(97, 47) << false;
    QTest::newRow("right edge excluded") << QPoint(100, 25) << false;
    QTest::newRow("bottom edge excluded") << QPoint(50, 50) << false;
    QTest::newRow("outside") << QPoint(-1, 25) << false;
}

void TestOvalButtonInput::isInOval()
{
    QFETCH(QPoint, point);
    QFETCH(bool, inside);
    TOvalButton button;
    QCOMPARE(button.isInOval(point), inside);
}

void TestOvalButtonInput::mnemonic_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("mnemonic");
    QTest::newRow("first letter") << "&Sair"
                                  << "S";
    QTest::newRow("inside") << "Im&primir"
                            << "p";
    QTest::newRow("the last of several") << "&A&B"
                                         << "B";
    QTest::newRow("doubled ampersand") << "A&&B"
                                       << "";
    QTest::newRow("doubled, then single") << "&&&x"
                                          << "x";
    QTest::newRow("trailing ampersand") << "x&"
                                        << "";
    QTest::newRow("none") << "Sair"
                          << "";
    QTest::newRow("digit") << "Opção &1"
                           << "1";
}

void TestOvalButtonInput::mnemonic()
{
    QFETCH(QString, caption);
    QFETCH(QString, mnemonic);
    const QChar c = TOvalButton::mnemonicOf(caption);
    QCOMPARE(c.isNull() ? QString() : QString(c), mnemonic);
}

void TestOvalButtonInput::accelerator_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("focus"); // edit, readonly, radio or none
    QTest::addColumn<char>("key");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<QString>("buttonState"); // enabled, disabled or hidden
    QTest::addColumn<int>("clicks");

    QTest::newRow("Alt+S over an edit") << "&Sair"
                                        << "edit" << 'S' << true << "enabled" << 1;
    QTest::newRow("Alt+s over an edit") << "&Sair"
                                        << "edit" << 's' << true << "enabled" << 1;
    QTest::newRow("Alt+S over a radio") << "&Sair"
                                        << "radio" << 'S' << true << "enabled" << 1;
    QTest::newRow("plain s over a radio") << "&Sair"
                                          << "radio" << 's' << false << "enabled" << 1;
    QTest::newRow("plain S over a radio") << "&Sair"
                                          << "radio" << 'S' << false << "enabled" << 1;
    QTest::newRow("plain s, nothing focused") << "&Sair"
                                              << "none" << 's' << false << "enabled" << 1;
    QTest::newRow("plain s over an edit") << "&Sair"
                                          << "edit" << 's' << false << "enabled" << 0;
    QTest::newRow("plain s over a read-only edit") << "&Sair"
                                                   << "readonly" << 's' << false << "enabled" << 0;
    QTest::newRow("another letter") << "&Sair"
                                    << "radio" << 'x' << true << "enabled" << 0;
    QTest::newRow("disabled, Alt") << "&Sair"
                                   << "radio" << 'S' << true << "disabled" << 0;
    QTest::newRow("disabled, plain") << "&Sair"
                                     << "radio" << 's' << false << "disabled" << 0;
    QTest::newRow("hidden") << "&Sair"
                            << "radio" << 'S' << true << "hidden" << 0;
    QTest::newRow("mnemonic inside") << "Im&primir"
                                     << "edit" << 'P' << true << "enabled" << 1;
    QTest::newRow("not the first letter") << "Im&primir"
                                          << "radio" << 'I' << true << "enabled" << 0;
    QTest::newRow("last mnemonic counts") << "&A&B"
                                          << "radio" << 'B' << true << "enabled" << 1;
    QTest::newRow("earlier mnemonic does not") << "&A&B"
                                               << "radio" << 'A' << true << "enabled" << 0;
    QTest::newRow("doubled ampersand") << "A&&B"
                                       << "radio" << 'B' << true << "enabled" << 0;
    QTest::newRow("digit") << "Op &1"
                           << "radio" << '1' << true << "enabled" << 1;
}

void TestOvalButtonInput::accelerator()
{
    QFETCH(QString, caption);
    QFETCH(QString, focus);
    QFETCH(char, key);
    QFETCH(bool, alt);
    QFETCH(QString, buttonState);
    QFETCH(int, clicks);

    QWidget host;
    host.resize(300, 200);
    auto *edit = new QLineEdit(&host);
    edit->setGeometry(10, 10, 100, 24);
    edit->setReadOnly(focus == QLatin1String("readonly"));
    auto *radio = new QRadioButton(QStringLiteral("Juros"), &host);
    radio->setGeometry(10, 40, 100, 24);
    auto *button = new TOvalButton(&host);
    button->move(100, 100);
    button->setCaption(caption);
    int clicked = 0;
    button->onClick = [&](TOvalButton *) { ++clicked; };
    button->setEnabled(buttonState != QLatin1String("disabled"));
    button->setVisible(buttonState != QLatin1String("hidden"));

    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host));
    if (focus == QLatin1String("radio"))
        radio->setFocus();
    else if (focus == QLatin1String("none"))
        host.setFocus();
    else
        edit->setFocus();
    QCoreApplication::processEvents();

    QTest::keyClick(host.windowHandle(), key, alt ? Qt::AltModifier : Qt::NoModifier);
    QCoreApplication::processEvents();
    QCOMPARE(clicked, clicks);
    if (focus == QLatin1String("edit") && !alt)
        QCOMPARE(edit->text(), QString(QChar::fromLatin1(key))); // the edit kept its letter
    if (focus == QLatin1String("edit") && alt && clicks > 0)
        QCOMPARE(edit->text(), QString());
}

void TestOvalButtonInput::setterRepaints_data()
{
    QTest::addColumn<Setter>("setter");
    QTest::addColumn<bool>("repaints");

    const QImage glyph(4, 4, QImage::Format_RGB32);
    QTest::newRow("BevelWidth, same")
        << Setter([](TOvalButton &b) { b.setBevelWidth(0); }) << false;
    QTest::newRow("BevelWidth, other")
        << Setter([](TOvalButton &b) { b.setBevelWidth(3); }) << true;
    QTest::newRow("Color, same") << Setter([](TOvalButton &b) { b.setColor(b.color()); }) << false;
    QTest::newRow("Color, other") << Setter([](TOvalButton &b) { b.setColor(Qt::red); }) << true;
    QTest::newRow("Down, same") << Setter([](TOvalButton &b) { b.setDown(false); }) << false;
    QTest::newRow("Down, other") << Setter([](TOvalButton &b) { b.setDown(true); }) << true;
    QTest::newRow("Flat, same") << Setter([](TOvalButton &b) { b.setFlat(false); }) << false;
    QTest::newRow("Flat, other") << Setter([](TOvalButton &b) { b.setFlat(true); }) << true;
    QTest::newRow("Font, its own object")
        << Setter([](TOvalButton &b) { b.setFont(b.font()); }) << false;
    QTest::newRow("Font, another object") << Setter([](TOvalButton &b) {
        const QFont copy = b.font();
        b.setFont(copy);
    }) << true;
    QTest::newRow("Glyph") << Setter([glyph](TOvalButton &b) { b.setGlyph(glyph); }) << true;
    QTest::newRow("GroupIndex") << Setter([](TOvalButton &b) { b.setGroupIndex(2); }) << false;
    QTest::newRow("Layout, same") << Setter([](TOvalButton &b) {
        b.setButtonLayout(blGlyphBottom);
    }) << false;
    QTest::newRow("Layout, other")
        << Setter([](TOvalButton &b) { b.setButtonLayout(blGlyphTop); }) << true;
    QTest::newRow("Margin, same") << Setter([](TOvalButton &b) { b.setMargin(0); }) << false;
    QTest::newRow("Margin, other") << Setter([](TOvalButton &b) { b.setMargin(2); }) << true;
    QTest::newRow("NumGlyphs, same") << Setter([](TOvalButton &b) { b.setNumGlyphs(0); }) << false;
    QTest::newRow("NumGlyphs, other") << Setter([](TOvalButton &b) { b.setNumGlyphs(2); }) << true;
    QTest::newRow("Spacing, same") << Setter([](TOvalButton &b) { b.setSpacing(4); }) << false;
    QTest::newRow("Spacing, other") << Setter([](TOvalButton &b) { b.setSpacing(6); }) << true;
    QTest::newRow("Transparent, same")
        << Setter([](TOvalButton &b) { b.setTransparent(false); }) << false;
    QTest::newRow("Transparent, other")
        << Setter([](TOvalButton &b) { b.setTransparent(true); }) << true;
    QTest::newRow("TransparentColor, same")
        << Setter([](TOvalButton &b) { b.setTransparentColor(Qt::black); }) << false;
    QTest::newRow("TransparentColor, other")
        << Setter([](TOvalButton &b) { b.setTransparentColor(Qt::white); }) << true;
    QTest::newRow("Caption, same")
        << Setter([](TOvalButton &b) { b.setCaption(QStringLiteral("Oval")); }) << false;
    QTest::newRow("Caption, other")
        << Setter([](TOvalButton &b) { b.setCaption(QStringLiteral("&Sair")); }) << true;
    QTest::newRow("Enabled") << Setter([](TOvalButton &b) { b.setEnabled(false); }) << true;
}

void TestOvalButtonInput::setterRepaints()
{
    QFETCH(Setter, setter);
    QFETCH(bool, repaints);
    Fixture f;
    QVERIFY(f.show());
    QTest::qWait(20);
    const int before = f.button->paints;
    setter(*f.button);
    if (repaints) {
        QTRY_VERIFY(f.button->paints > before);
    } else {
        QTest::qWait(30);
        QCOMPARE(f.button->paints, before);
    }
}

void TestOvalButtonInput::colorChangesShadesAtOnce()
{
    TOvalButton button;
    button.setColor(QColor(255, 0, 0));
    QCOMPARE(button.highlightColor(), QColor(255, 127, 127));
    QCOMPARE(button.shadowColor(), QColor(153, 0, 0));
    button.setColor(QColor(192, 192, 192));
    QCOMPARE(button.highlightColor(), QColor(223, 223, 223));
    QCOMPARE(button.shadowColor(), QColor(115, 115, 115));
}

void TestOvalButtonInput::glyphSetsTransparentColor()
{
    QImage glyph(25, 25, QImage::Format_RGB32);
    glyph.fill(QColor(10, 20, 30));
    glyph.setPixelColor(0, 24, QColor(247, 244, 242));
    TOvalButton button;
    button.setTransparentColor(Qt::green);
    button.setGlyph(glyph);
    QCOMPARE(button.transparentColor(), QColor(247, 244, 242));
    button.setTransparentColor(Qt::green); // set after the glyph, it stays
    QCOMPARE(button.transparentColor(), QColor(0, 255, 0));
    button.setGlyph(glyph);
    QCOMPARE(button.transparentColor(), QColor(247, 244, 242));
    // The glyph is a copy: changing the caller's image afterwards changes nothing.
    glyph.fill(Qt::white);
    QCOMPARE(button.glyph().pixelColor(5, 5), QColor(10, 20, 30));
}

void TestOvalButtonInput::downAndFlatSetters()
{
    TOvalButton button;
    button.setDown(true);
    QCOMPARE(button.bevelState(), TOvalButton::Sunken);
    button.setFlat(true); // follows Flat alone: no longer looks pressed, still down
    QCOMPARE(button.bevelState(), TOvalButton::NoBevel);
    QVERIFY(button.down());
    button.setFlat(false);
    QCOMPARE(button.bevelState(), TOvalButton::Raised);
    QVERIFY(button.down());
    button.setFlat(true);
    button.setDown(false);
    QCOMPARE(button.bevelState(), TOvalButton::NoBevel);
    button.setFlat(false);
    button.setDown(true);
    button.setDown(false);
    QCOMPARE(button.bevelState(), TOvalButton::Raised);

    button.setBevelWidth(25);
    QCOMPARE(button.bevelWidth(), 10);
    button.setNumGlyphs(9);
    QCOMPARE(button.numGlyphs(), 4);
}

QTEST_MAIN(TestOvalButtonInput)
#include "tst_ovalbutton_input.moc"
