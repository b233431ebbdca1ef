// SPDX-License-Identifier: MIT
#include "controls/hls.h"
#include "controls/ovalbutton.h"
#include "controls/ovalbuttonlayout.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <functional>

Q_DECLARE_METATYPE(TButtonLayout)
Q_DECLARE_METATYPE(OvalButtonLayout)

namespace
{

const QColor kBackdrop(255, 0, 255); // what lies under the button
const QColor kFace(192, 192, 192);   // silver: highlight 223, shadow 115
const QColor kHighlight(223, 223, 223);
const QColor kShadow(115, 115, 115);
const QColor kGlyphBlue(0, 0, 255);
const QColor kGlyphKey(255, 255, 255); // the glyphs' background colour
const QColor kDisabledGrey(224, 224, 224);

bool same(QRgb pixel, const QColor &color)
{
    return (pixel & RGB_MASK) == (color.rgb() & RGB_MASK);
}

QRect boundsWhere(const QImage &image, const std::function<bool(QRgb)> &test,
                  const QRect &area = QRect())
{
    const QRect scan = area.isNull() ? image.rect() : area & image.rect();
    QRect bounds;
    for (int y = scan.top(); y <= scan.bottom(); ++y) {
        for (int x = scan.left(); x <= scan.right(); ++x) {
            if (test(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

QRect boundsOf(const QImage &image, const QColor &color, const QRect &area = QRect())
{
    return boundsWhere(
        image, [&](QRgb p) { return same(p, color); }, area);
}

// A one-colour glyph, or one framed in the background colour.
QImage glyphImage(int w, int h, const QColor &fill, int frame = 0)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(frame > 0 ? kGlyphKey : fill);
    if (frame > 0) {
        QPainter p(&image);
        p.fillRect(QRect(frame, frame, w - 2 * frame, h - 2 * frame), fill);
    }
    return image;
}

// A strip of cells, each of its own colour.
QImage stripImage(int cell, const QList<QColor> &colors)
{
    QImage image(cell * int(colors.size()), cell, QImage::Format_RGB32);
    QPainter p(&image);
    for (int i = 0; i < colors.size(); ++i)
        p.fillRect(QRect(i * cell, 0, cell, cell), colors.at(i));
    return image;
}

// Liberation Serif 15 px gives "OVAL" 40 x 16 pixels; no antialiasing, so that letters have
// exact colours.
QFont captionFont()
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(15);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QSize captionSize(const TOvalButton &button)
{
    const QFontMetrics fm(button.font(), &button);
    return {fm.horizontalAdvance(button.caption()), fm.height()};
}

void configure(TOvalButton &button, QSize size)
{
    button.resize(size);
    button.setColor(kFace);
    button.setFont(captionFont());
    button.setFontColor(Qt::black);
}

// The button alone, over the backdrop colour.
QImage render(TOvalButton &button)
{
    QImage image(button.size(), QImage::Format_ARGB32);
    image.fill(kBackdrop);
    button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QImage renderWidget(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::gray);
    widget.render(&image);
    return image;
}

bool isBlack(QRgb p)
{
    return (p & RGB_MASK) == 0;
}

// A parent that paints itself in the backdrop colour and counts its paints.
class Host : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        ++paints;
        QPainter(this).fillRect(rect(), kBackdrop);
    }
};

OvalButtonLayout workedExample(TButtonLayout layout, int margin, bool sunken)
{
    OvalButtonLayout l;
    l.button = QSize(100, 30);
    l.hasGlyph = true;
    l.glyph = QSize(20, 20);
    l.hasCaption = true;
    l.caption = QSize(40, 16);
    l.layout = layout;
    l.spacing = 4;
    l.margin = margin;
    l.sunken = sunken;
    return l;
}

} // namespace

class TestOvalButtonPaint : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void creation();
    void layout_data();
    void layout();
    void numGlyphsZeroCentresCaption();
    void glyphWithoutCaptionIsCentred_data();
    void glyphWithoutCaptionIsCentred();
    void glyphAndCaptionPlacement_data();
    void glyphAndCaptionPlacement();
    void ampersandCountsInCaptionWidth();
    void disabledLooks_data();
    void disabledLooks();
    void bevelRings_data();
    void bevelRings();
    void opaqueButton();
    void transparentButtonShowsParent();
    void opaquePressDrawsAtOnce();
    void dragOutRedrawsRingsOnly();
    void directDrawingPaintsGlyphBackground();
    void directDrawingAfterPendingRepaint();
    void transparentPressRequestsRepaint();
};

void TestOvalButtonPaint::initTestCase()
{
    if (QFontInfo(captionFont()).family() != QStringLiteral("Liberation Serif"))
        QSKIP("the caption font Liberation Serif (fonts-liberation) is not installed");
}

void TestOvalButtonPaint::creation()
{
    TOvalButton button;
    QCOMPARE(button.size(), QSize(100, 50));
    QCOMPARE(button.bevelWidth(), 0);
    QCOMPARE(button.color(), button.palette().color(QPalette::Button).toRgb());
    const ColorShadePair shades = ColorShades(button.color(), 0.5f, 0.6f);
    QCOMPARE(button.highlightColor(), shades.highlight);
    QCOMPARE(button.shadowColor(), shades.shadow);
    QCOMPARE(button.down(), false);
    QCOMPARE(button.downAtPress(), false);
    QCOMPARE(button.flat(), false);
    QVERIFY(button.glyph().isNull());
    QCOMPARE(button.groupIndex(), 0);
    QCOMPARE(button.buttonLayout(), blGlyphBottom);
    QCOMPARE(int(blGlyphBottom), 0);
    QCOMPARE(int(blGlyphLeft), 1);
    QCOMPARE(int(blGlyphRight), 2);
    QCOMPARE(int(blGlyphTop), 3);
    QCOMPARE(button.margin(), 0);
    QCOMPARE(button.numGlyphs(), 0);
    QCOMPARE(button.spacing(), 4);
    QCOMPARE(button.bevelState(), TOvalButton::Raised);
    QCOMPARE(int(TOvalButton::Sunken), -1);
    QCOMPARE(int(TOvalButton::NoBevel), 0);
    QCOMPARE(int(TOvalButton::Raised), 1);
    QCOMPARE(button.transparent(), false);
    QCOMPARE(button.transparentColor(), QColor(0, 0, 0));
    QCOMPARE(button.buttonHeld(), false);
    QCOMPARE(button.mouseInside(), false);
    QCOMPARE(button.caption(), QString());
    QCOMPARE(button.focusPolicy(), Qt::NoFocus);
    QVERIFY(!button.autoFillBackground());
    QVERIFY(!button.onClick && !button.onDblClick && !button.onMouseDown && !button.onMouseMove &&
            !button.onMouseUp && !button.onMouseEnter && !button.onMouseExit);
}

void TestOvalButtonPaint::layout_data()
{
    QTest::addColumn<OvalButtonLayout>("input");
    QTest::addColumn<QPoint>("glyph");
    QTest::addColumn<QPoint>("caption");

    QTest::newRow("left") << workedExample(blGlyphLeft, 0, false) << QPoint(18, 5) << QPoint(42, 7);
    QTest::newRow("left pressed") << workedExample(blGlyphLeft, 0, true) << QPoint(19, 6)
                                  << QPoint(44, 8);
    QTest::newRow("right") << workedExample(blGlyphRight, 0, false) << QPoint(62, 5)
                           << QPoint(18, 7);
    QTest::newRow("right pressed")
        << workedExample(blGlyphRight, 0, true) << QPoint(63, 6) << QPoint(20, 8);
    QTest::newRow("left margin 3")
        << workedExample(blGlyphLeft, 3, false) << QPoint(15, 5) << QPoint(39, 7);
    QTest::newRow("right margin 3")
        << workedExample(blGlyphRight, 3, false) << QPoint(65, 5) << QPoint(21, 7);

    // 100 x 50 with the glyph above or below the caption.
    OvalButtonLayout tall = workedExample(blGlyphBottom, 0, false);
    tall.button = QSize(100, 50);
    QTest::newRow("bottom") << tall << QPoint(40, 25) << QPoint(30, 5);
    tall.sunken = true;
    QTest::newRow("bottom pressed") << tall << QPoint(41, 26) << QPoint(31, 7);
    tall.sunken = false;
    tall.layout = blGlyphTop;
    QTest::newRow("top") << tall << QPoint(40, 5) << QPoint(30, 29);
    tall.margin = 2;
    QTest::newRow("top margin 2") << tall << QPoint(40, 3) << QPoint(30, 27);
    tall.layout = blGlyphBottom;
    QTest::newRow("bottom margin 2") << tall << QPoint(40, 27) << QPoint(30, 7);

    // Without a caption the glyph is centred whatever the layout and margin say.
    OvalButtonLayout alone = workedExample(blGlyphLeft, 5, false);
    alone.hasCaption = false;
    alone.caption = QSize();
    QTest::newRow("glyph alone, left") << alone << QPoint(40, 5) << QPoint();
    alone.layout = blGlyphTop;
    QTest::newRow("glyph alone, top") << alone << QPoint(40, 5) << QPoint();

    // Without a glyph the caption is centred, and moves one pixel each way when pressed.
    OvalButtonLayout text = workedExample(blGlyphLeft, 5, false);
    text.hasGlyph = false;
    text.glyph = QSize();
    QTest::newRow("caption alone") << text << QPoint() << QPoint(30, 7);
    text.sunken = true;
    QTest::newRow("caption alone pressed") << text << QPoint() << QPoint(31, 8);

    // Content wider than the button: the halves go negative, toward zero.
    OvalButtonLayout wide = workedExample(blGlyphLeft, 0, false);
    wide.hasCaption = false;
    wide.glyph = QSize(121, 20);
    QTest::newRow("glyph wider than the button") << wide << QPoint(-10, 5) << QPoint();
}

void TestOvalButtonPaint::layout()
{
    QFETCH(OvalButtonLayout, input);
    QFETCH(QPoint, glyph);
    QFETCH(QPoint, caption);
    if (input.hasGlyph) {
        const QRect rect = input.glyphRect();
        QCOMPARE(rect.topLeft(), glyph);
        QCOMPARE(rect.size(), input.glyph);
    }
    if (input.hasCaption)
        QCOMPARE(input.captionPos(), caption);
}

void TestOvalButtonPaint::numGlyphsZeroCentresCaption()
{
    TOvalButton button;
    configure(button, QSize(100, 30));
    button.setGlyph(glyphImage(20, 20, Qt::red));
    button.setTransparentColor(QColor(1, 2, 3));
    button.setButtonLayout(blGlyphLeft);
    button.setCaption(QStringLiteral("OVAL"));
    const QSize text = captionSize(button);

    const QImage image = render(button);
    QVERIFY(boundsOf(image, Qt::red).isNull());
    const QRect letters = boundsWhere(image, isBlack);
    QVERIFY(!letters.isNull());
    QVERIFY(
        QRect(QPoint((100 - text.width()) / 2, (30 - text.height()) / 2), text).contains(letters));
}

void TestOvalButtonPaint::glyphWithoutCaptionIsCentred_data()
{
    QTest::addColumn<TButtonLayout>("layout");
    QTest::newRow("bottom") << blGlyphBottom;
    QTest::newRow("left") << blGlyphLeft;
    QTest::newRow("right") << blGlyphRight;
    QTest::newRow("top") << blGlyphTop;
}

void TestOvalButtonPaint::glyphWithoutCaptionIsCentred()
{
    QFETCH(TButtonLayout, layout);
    TOvalButton button;
    configure(button, QSize(100, 30));
    button.setGlyph(glyphImage(20, 20, kGlyphBlue));
    button.setTransparentColor(QColor(1, 2, 3));
    button.setNumGlyphs(1);
    button.setMargin(6);
    button.setButtonLayout(layout);
    QCOMPARE(boundsOf(render(button), kGlyphBlue), QRect(40, 5, 20, 20));
}

// The glyph lands where the layout puts it for the caption's measured size, and the caption's
// letters lie in their rectangle; pressed, the glyph moves one pixel each way and the caption two
// along the glyph's axis, one across it.
void TestOvalButtonPaint::glyphAndCaptionPlacement_data()
{
    QTest::addColumn<TButtonLayout>("layout");
    QTest::addColumn<int>("margin");
    QTest::addColumn<QPoint>("glyph");   // where 40 x 16 caption metrics put it, when known
    QTest::addColumn<QPoint>("pressed"); // the caption's move when pressed
    QTest::newRow("left") << blGlyphLeft << 0 << QPoint(18, 5) << QPoint(2, 1);
    QTest::newRow("right") << blGlyphRight << 0 << QPoint(62, 5) << QPoint(2, 1);
    QTest::newRow("left margin 3") << blGlyphLeft << 3 << QPoint(15, 5) << QPoint(2, 1);
    QTest::newRow("top") << blGlyphTop << 0 << QPoint() << QPoint(1, 2);
    QTest::newRow("bottom margin 2") << blGlyphBottom << 2 << QPoint() << QPoint(1, 2);
}

void TestOvalButtonPaint::glyphAndCaptionPlacement()
{
    QFETCH(TButtonLayout, layout);
    QFETCH(int, margin);
    QFETCH(QPoint, glyph);
    QFETCH(QPoint, pressed);

    TOvalButton button;
    configure(button, QSize(100, 30));
    if (layout == blGlyphTop || layout == blGlyphBottom)
        button.resize(100, 64);
    button.setGlyph(glyphImage(20, 20, kGlyphBlue));
    button.setTransparentColor(QColor(1, 2, 3));
    button.setNumGlyphs(1);
    button.setButtonLayout(layout);
    button.setMargin(margin);
    button.setCaption(QStringLiteral("OVAL"));
    const QSize text = captionSize(button);

    OvalButtonLayout expected;
    expected.button = button.size();
    expected.hasGlyph = true;
    expected.glyph = QSize(20, 20);
    expected.hasCaption = true;
    expected.caption = text;
    expected.layout = layout;
    expected.spacing = 4;
    expected.margin = margin;
    if (text == QSize(40, 16) && !glyph.isNull())
        QCOMPARE(expected.glyphRect().topLeft(), glyph);

    const QImage raised = render(button);
    QCOMPARE(boundsOf(raised, kGlyphBlue), expected.glyphRect());
    const QRect letters = boundsWhere(raised, isBlack);
    QVERIFY(!letters.isNull());
    QVERIFY2(QRect(expected.captionPos(), text).contains(letters),
             qPrintable(QStringLiteral("letters at %1,%2").arg(letters.x()).arg(letters.y())));

    button.setDown(true);
    const QImage sunken = render(button);
    QCOMPARE(boundsOf(sunken, kGlyphBlue), expected.glyphRect().translated(1, 1));
    QCOMPARE(boundsWhere(sunken, isBlack), letters.translated(pressed));
}

// The caption is measured as stored, ampersand included, and the mnemonic is underlined.
void TestOvalButtonPaint::ampersandCountsInCaptionWidth()
{
    TOvalButton plain, marked;
    for (TOvalButton *b : {&plain, &marked})
        configure(*b, QSize(100, 30));
    plain.setCaption(QStringLiteral("OVAL"));
    marked.setCaption(QStringLiteral("&OVAL"));
    const int plainWidth = captionSize(plain).width();
    const int markedWidth = captionSize(marked).width();
    QVERIFY(markedWidth > plainWidth);

    const QRect a = boundsWhere(render(plain), isBlack);
    const QImage markedImage = render(marked);
    const QRect b = boundsWhere(markedImage, isBlack);
    QVERIFY2(b.bottom() > a.bottom(), "no underline under the mnemonic");
    // The letters alone, above the underline: the same word, moved by the ampersand's share.
    const QRect letters = boundsWhere(markedImage, isBlack, QRect(0, a.top(), 100, a.height()));
    QCOMPARE(letters.left() - a.left(), (100 - markedWidth) / 2 - (100 - plainWidth) / 2);
    QCOMPARE(letters.size(), a.size()); // the ampersand itself is not shown

    TOvalButton doubled;
    configure(doubled, QSize(100, 30));
    doubled.setCaption(QStringLiteral("A&&B"));
    const QRect d = boundsWhere(render(doubled), isBlack);
    QCOMPARE(d.bottom(), a.bottom()); // a double ampersand shows as one, nothing underlined
}

void TestOvalButtonPaint::disabledLooks_data()
{
    QTest::addColumn<int>("numGlyphs");
    QTest::addColumn<bool>("down");
    QTest::addColumn<QColor>("drawn");
    const QColor normal(255, 0, 0), disabled(0, 160, 0), pressed(0, 0, 255);
    QTest::newRow("one cell: the normal image") << 1 << false << normal;
    QTest::newRow("two cells: the disabled image") << 2 << false << disabled;
    QTest::newRow("three cells: the disabled image") << 3 << false << disabled;
    QTest::newRow("three cells, down: the pressed image") << 3 << true << pressed;
    QTest::newRow("two cells, down: the disabled image") << 2 << true << disabled;
}

void TestOvalButtonPaint::disabledLooks()
{
    QFETCH(int, numGlyphs);
    QFETCH(bool, down);
    QFETCH(QColor, drawn);
    const QList<QColor> cells{QColor(255, 0, 0), QColor(0, 160, 0), QColor(0, 0, 255),
                              QColor(255, 255, 0)};

    TOvalButton button;
    configure(button, QSize(100, 30));
    button.setGlyph(stripImage(20, cells.mid(0, numGlyphs)));
    button.setTransparentColor(QColor(1, 2, 3));
    button.setNumGlyphs(numGlyphs);
    button.setButtonLayout(blGlyphLeft);
    button.setCaption(QStringLiteral("OVAL"));
    button.setDown(down);
    button.setEnabled(false);

    const QImage image = render(button);
    for (const QColor &cell : cells) {
        const QRect where = boundsOf(image, cell);
        QCOMPARE(where.isNull(), cell != drawn);
        if (cell == drawn)
            QCOMPARE(where.size(), QSize(20, 20));
    }
    QVERIFY(!boundsOf(image, kDisabledGrey).isNull());
    QVERIFY(boundsWhere(image, isBlack).isNull());
}

void TestOvalButtonPaint::bevelRings_data()
{
    QTest::addColumn<int>("rings");
    QTest::addColumn<int>("look"); // 1 raised, -1 sunken, 0 flat
    QTest::newRow("two rings, raised") << 2 << 1;
    QTest::newRow("two rings, sunken") << 2 << -1;
    QTest::newRow("three rings, raised") << 3 << 1;
    QTest::newRow("flat: none") << 2 << 0;
    QTest::newRow("no rings, sunken") << 0 << -1;
}

// The upper-left rings are lit and the lower-right ones shaded when raised, the other way round
// when sunken; ring i lies i pixels inside the oval's edge.
void TestOvalButtonPaint::bevelRings()
{
    QFETCH(int, rings);
    QFETCH(int, look);
    TOvalButton button;
    configure(button, QSize(100, 50));
    button.setBevelWidth(rings);
    if (look == 0)
        button.setFlat(true);
    if (look < 0)
        button.setDown(true);

    const QImage image = render(button);
    const QColor upper = look < 0 ? kShadow : kHighlight;
    const QColor lower = look < 0 ? kHighlight : kShadow;
    for (int i = 1; i <= 4; ++i) {
        const bool ring = look != 0 && i <= rings;
        const QColor top = ring ? upper : kFace, bottom = ring ? lower : kFace;
        QVERIFY(same(image.pixel(49, i), top));         // upper end
        QVERIFY(same(image.pixel(i, 24), top));         // left end
        QVERIFY(same(image.pixel(49, 48 - i), bottom)); // lower end
        QVERIFY(same(image.pixel(98 - i, 24), bottom)); // right end
    }
    if (look == 0 || rings == 0) {
        QVERIFY(boundsOf(image, kHighlight).isNull());
        QVERIFY(boundsOf(image, kShadow).isNull());
    }
}

// An opaque button fills its oval, gives the glyph's background pixels its colour and puts the
// caption on its colour; outside the oval the parent shows.
void TestOvalButtonPaint::opaqueButton()
{
    TOvalButton button;
    configure(button, QSize(100, 30));
    button.setGlyph(glyphImage(20, 20, kGlyphBlue, 3));
    QCOMPARE(button.transparentColor(), kGlyphKey);
    button.setNumGlyphs(1);
    button.setButtonLayout(blGlyphLeft);
    button.setCaption(QStringLiteral("OVAL"));

    const QImage image = render(button);
    const QRect glyph = boundsOf(image, kGlyphBlue);
    QCOMPARE(glyph.size(), QSize(14, 14));
    QVERIFY(same(image.pixel(glyph.left() - 2, glyph.top() - 2), kFace));
    QVERIFY(boundsOf(image, kGlyphKey).isNull());
    QVERIFY(same(image.pixel(0, 0), kBackdrop));
    QVERIFY(same(image.pixel(99, 29), kBackdrop));
    QVERIFY(same(image.pixel(8, 15), kFace));
    QVERIFY(!boundsWhere(image, isBlack).isNull());
}

void TestOvalButtonPaint::transparentButtonShowsParent()
{
    Host host;
    host.resize(140, 60);
    auto *button = new TOvalButton(&host);
    configure(*button, QSize(100, 30));
    button->move(20, 15);
    button->setColor(QColor(10, 200, 10));
    button->setGlyph(glyphImage(20, 20, kGlyphBlue, 3));
    button->setNumGlyphs(1);
    button->setButtonLayout(blGlyphLeft);
    button->setCaption(QStringLiteral("OVAL"));
    button->setBevelWidth(2);
    button->setTransparent(true);

    const QImage image = renderWidget(host);
    const QRect inButton(20, 15, 100, 30);
    QVERIFY(boundsOf(image, QColor(10, 200, 10)).isNull()); // no oval, no text background
    QVERIFY(boundsOf(image, kGlyphKey).isNull());           // glyph background left out
    const QRect glyph = boundsOf(image, kGlyphBlue);
    QCOMPARE(glyph.size(), QSize(14, 14));
    QVERIFY(same(image.pixel(glyph.left() - 1, glyph.top() - 1), kBackdrop));
    QVERIFY(same(image.pixel(20 + 8, 15 + 15), kBackdrop));
    const QRect letters = boundsWhere(image, isBlack, inButton);
    QVERIFY(!letters.isNull());
    // Between the letters the parent shows: only black and the backdrop in the caption's box.
    for (int y = letters.top(); y <= letters.bottom(); ++y) {
        for (int x = letters.left(); x <= letters.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            QVERIFY(isBlack(p) || same(p, kBackdrop));
        }
    }
    // The rings are still drawn.
    QVERIFY(!boundsOf(image, ColorShades(QColor(10, 200, 10), 0.5f, 0.6f).highlight).isNull());
}

namespace
{

struct ShownButton {
    Host host;
    TOvalButton *button = nullptr;
    QRect glyph; // raised glyph, in button coordinates

    bool show(bool transparent, int frame = 0)
    {
        host.resize(160, 70);
        button = new TOvalButton(&host);
        configure(*button, QSize(100, 30));
        button->move(20, 20);
        button->setBevelWidth(2);
        button->setGlyph(glyphImage(20, 20, kGlyphBlue, frame));
        if (frame == 0)
            button->setTransparentColor(QColor(1, 2, 3));
        button->setNumGlyphs(1);
        button->setButtonLayout(blGlyphLeft);
        button->setCaption(QStringLiteral("OVAL"));
        button->setTransparent(transparent);
        host.show();
        if (!QTest::qWaitForWindowExposed(&host))
            return false;
        QTest::qWait(20);
        QCoreApplication::processEvents();
        glyph = boundsOf(render(*button), kGlyphBlue);
        return !glyph.isNull();
    }

    // What the window shows now, in button coordinates.
    QImage screen() const
    {
        const QImage all = host.screen()->grabWindow(host.winId()).toImage();
        return all.copy(QRect(button->pos(), button->size()));
    }

    void send(QEvent::Type type, QPoint at, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), QPointF(button->mapToGlobal(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }
};

} // namespace

// A press and a release on an opaque button draw the face at once, over what is shown, without
// repainting the parent; the clean-up lines wipe the glyph's old column and row.
void TestOvalButtonPaint::opaquePressDrawsAtOnce()
{
    ShownButton s;
    QVERIFY(s.show(false));
    const QImage before = s.screen();
    QCOMPARE(boundsOf(before, kGlyphBlue), s.glyph);
    QVERIFY(same(before.pixel(49, 1), kHighlight));
    const int parentPaints = s.host.paints;

    s.send(QEvent::MouseButtonPress, QPoint(50, 15), Qt::LeftButton);
    QCOMPARE(s.button->bevelState(), TOvalButton::Sunken);
    const QImage pressed = s.screen();
    QCOMPARE(boundsOf(pressed, kGlyphBlue), s.glyph.translated(1, 1));
    QVERIFY(same(pressed.pixel(49, 1), kShadow));
    QCOMPARE(s.host.paints, parentPaints);

    s.send(QEvent::MouseButtonRelease, QPoint(50, 15), Qt::NoButton);
    QCOMPARE(s.button->bevelState(), TOvalButton::Raised);
    const QImage released = s.screen();
    QCOMPARE(boundsOf(released, kGlyphBlue), s.glyph);
    QVERIFY(same(released.pixel(49, 1), kHighlight));
    QCOMPARE(s.host.paints, parentPaints);
}

// While the mouse is held, leaving the oval redraws only the rings: the glyph stays where the
// pressed face put it until the next face drawing.
void TestOvalButtonPaint::dragOutRedrawsRingsOnly()
{
    ShownButton s;
    QVERIFY(s.show(false));
    const int parentPaints = s.host.paints;
    s.send(QEvent::MouseMove, QPoint(50, 15), Qt::NoButton);
    s.send(QEvent::MouseButtonPress, QPoint(50, 15), Qt::LeftButton);
    s.send(QEvent::MouseMove, QPoint(-30, 15), Qt::LeftButton);
    QCOMPARE(s.button->bevelState(), TOvalButton::Raised);
    QCOMPARE(s.button->down(), false);
    const QImage dragged = s.screen();
    QVERIFY(same(dragged.pixel(49, 1), kHighlight));
    QCOMPARE(boundsOf(dragged, kGlyphBlue), s.glyph.translated(1, 1));
    QCOMPARE(s.host.paints, parentPaints);

    s.send(QEvent::MouseMove, QPoint(50, 15), Qt::LeftButton);
    QCOMPARE(s.button->bevelState(), TOvalButton::Sunken);
    QVERIFY(same(s.screen().pixel(49, 1), kShadow));
}

// Drawn over the raised face, the pressed glyph's background pixels take Color and so cover
// the old image.
void TestOvalButtonPaint::directDrawingPaintsGlyphBackground()
{
    ShownButton s;
    QVERIFY(s.show(false, 3));
    QCOMPARE(s.glyph.size(), QSize(14, 14));
    s.send(QEvent::MouseButtonPress, QPoint(50, 15), Qt::LeftButton);
    QCOMPARE(boundsOf(s.screen(), kGlyphBlue), s.glyph.translated(1, 1));
}

// A repaint still pending when the press comes (a new Color, here) is done in full first, so
// the oval gets its new colour and the face lands on it.
void TestOvalButtonPaint::directDrawingAfterPendingRepaint()
{
    ShownButton s;
    QVERIFY(s.show(false));
    const QColor teal(0, 128, 128);
    s.button->setColor(teal);
    s.send(QEvent::MouseButtonPress, QPoint(50, 15), Qt::LeftButton);
    const QImage pressed = s.screen();
    QVERIFY(same(pressed.pixel(8, 15), teal));
    QCOMPARE(boundsOf(pressed, kGlyphBlue), s.glyph.translated(1, 1));
    QVERIFY(same(pressed.pixel(49, 1), s.button->shadowColor()));
}

// What lies under a transparent button belongs to the parent: the press asks for a repaint,
// and the parent is redrawn before the pressed face.
void TestOvalButtonPaint::transparentPressRequestsRepaint()
{
    ShownButton s;
    QVERIFY(s.show(true));
    const int parentPaints = s.host.paints;
    s.send(QEvent::MouseButtonPress, QPoint(50, 15), Qt::LeftButton);
    QCOMPARE(s.button->bevelState(), TOvalButton::Sunken);
    QCOMPARE(s.host.paints, parentPaints);
    QCOMPARE(boundsOf(s.screen(), kGlyphBlue), s.glyph); // not drawn yet

    QTRY_VERIFY(s.host.paints > parentPaints);
    QTRY_COMPARE(boundsOf(s.screen(), kGlyphBlue), s.glyph.translated(1, 1));
}

QTEST_MAIN(TestOvalButtonPaint)
#include "tst_ovalbutton_paint.moc"
