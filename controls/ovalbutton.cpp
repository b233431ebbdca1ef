// SPDX-License-Identifier: MIT
#include "controls/ovalbutton.h"

#include "controls/hls.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegion>
#include <QShortcutEvent>
#include <QSpinBox>
#include <QTextEdit>
#include <cmath>
#include <numbers>

namespace
{

constexpr int kMaxBevelWidth = 10;
constexpr int kMaxGlyphs = 4;
const QColor kDisabledCaption(224, 224, 224);

// A colour as the plain RGB value the button keeps (no alpha, no other colour model).
QColor plainRgb(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return QColor(rgb.red(), rgb.green(), rgb.blue());
}

// Qt's arc angles run along the circle that is then stretched into the ellipse; this gives that
// angle, in 1/16 degree, for the point where the ray from the ellipse's centre toward `toward`
// crosses it.
int arcAngle(const QRectF &ellipse, const QPointF &toward)
{
    const QPointF centre = ellipse.center();
    const qreal dx = (toward.x() - centre.x()) / (ellipse.width() / 2);
    const qreal dy = (centre.y() - toward.y()) / (ellipse.height() / 2);
    return int(std::lround(std::atan2(dy, dx) * 180 / std::numbers::pi * 16));
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// A widget that takes character input keeps plain keys for itself, even while it is read-only.
bool takesCharacters(const QWidget *widget)
{
    return widget && (widget->testAttribute(Qt::WA_InputMethodEnabled) ||
                      qobject_cast<const QLineEdit *>(widget) ||
                      qobject_cast<const QAbstractSpinBox *>(widget) ||
                      qobject_cast<const QTextEdit *>(widget) ||
                      qobject_cast<const QPlainTextEdit *>(widget));
}

// A pixel run of the clean-up lines; the pen is one pixel wide and lines leave out their end.
void fillPixels(QPainter &painter, const QRect &run, const QColor &color)
{
    if (run.width() > 0 && run.height() > 0)
        painter.fillRect(run, color);
}

} // namespace

TOvalButton::TOvalButton(QWidget *parent) : QWidget(parent)
{
    m_color = plainRgb(palette().color(QPalette::Button));
    m_fontColor = plainRgb(palette().color(QPalette::WindowText));
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true); // the flat look and MouseInside follow the pointer without a press
    // No background of our own: outside the oval the parent's pixels show.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(100, 50);
    updateShades();
    watchWindow();
}

TOvalButton::~TOvalButton()
{
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
}

// --- Properties -------------------------------------------------------------------------------

void TOvalButton::setBevelWidth(int rings)
{
    rings = qBound(0, rings, kMaxBevelWidth);
    if (rings == m_bevelWidth)
        return;
    m_bevelWidth = rings;
    update();
}

void TOvalButton::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    updateMnemonic();
    update();
}

void TOvalButton::setColor(const QColor &color)
{
    const QColor rgb = plainRgb(color);
    if (rgb == m_color)
        return;
    m_color = rgb;
    updateShades();
    update();
}

void TOvalButton::setDown(bool down)
{
    if (down == m_down)
        return;
    m_down = down;
    m_bevelState = down ? Sunken : (m_flat ? NoBevel : Raised);
    update();
}

void TOvalButton::setFlat(bool flat)
{
    if (flat == m_flat)
        return;
    m_flat = flat;
    m_bevelState = flat ? NoBevel : Raised; // whatever Down is
    update();
}

void TOvalButton::setFont(const QFont &font)
{
    if (&font == &m_font)
        return;
    m_font = font;
    QWidget::setFont(font); // keeps QWidget's idea of the font in step for Qt's own users
    update();
}

void TOvalButton::setFontColor(const QColor &color)
{
    const QColor rgb = plainRgb(color);
    if (rgb == m_fontColor)
        return;
    m_fontColor = rgb;
    update();
}

void TOvalButton::setGlyph(const QImage &glyph)
{
    m_glyph = glyph;
    // An empty image has no bottom-left pixel; it gives black, the value at creation.
    m_transparentColor =
        glyph.isNull() ? QColor(0, 0, 0) : plainRgb(QColor(glyph.pixel(0, glyph.height() - 1)));
    update();
}

void TOvalButton::setGroupIndex(int groupIndex)
{
    m_groupIndex = groupIndex;
}

void TOvalButton::setButtonLayout(TButtonLayout layout)
{
    if (layout == m_layout)
        return;
    m_layout = layout;
    update();
}

void TOvalButton::setMargin(int margin)
{
    if (margin == m_margin)
        return;
    m_margin = margin;
    update();
}

void TOvalButton::setNumGlyphs(int count)
{
    count = qBound(0, count, kMaxGlyphs);
    if (count == m_numGlyphs)
        return;
    m_numGlyphs = count;
    update();
}

void TOvalButton::setSpacing(int spacing)
{
    if (spacing == m_spacing)
        return;
    m_spacing = spacing;
    update();
}

void TOvalButton::setTransparent(bool transparent)
{
    if (transparent == m_transparent)
        return;
    m_transparent = transparent;
    update();
}

void TOvalButton::setTransparentColor(const QColor &color)
{
    const QColor rgb = plainRgb(color);
    if (rgb == m_transparentColor)
        return;
    m_transparentColor = rgb;
    update();
}

void TOvalButton::updateShades()
{
    // Light factor (10 - 5) / 10 and dark factor (10 - 4) / 10, handed over in single precision.
    const ColorShadePair shades = ColorShades(m_color, 0.5f, 0.6f);
    m_highlightColor = shades.highlight;
    m_shadowColor = shades.shadow;
}

bool TOvalButton::isInOval(const QPoint &point) const
{
    return QRegion(0, 0, width(), height(), QRegion::Ellipse).contains(point);
}

QChar TOvalButton::mnemonicOf(const QString &caption)
{
    QChar mnemonic;
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) != QLatin1Char('&'))
            mnemonic = caption.at(i + 1);
        ++i; // the character after an ampersand is never an ampersand's start
    }
    return mnemonic;
}

// --- Repainting -------------------------------------------------------------------------------

// Draws the face or the rings at once, straight over what the button shows, without repainting
// the parent. Qt paints only in paintEvent, so the button repaints itself synchronously with
// WA_OpaquePaintEvent set for that one call: Qt then neither redraws the parent under it nor
// clears the area, and the paint event draws only the requested part over the pixels already in
// the window's backing store. Repaints still pending in the window are done first, the usual
// way, so that the direct drawing lands on an up-to-date picture and nothing else is painted in
// the direct mode.
void TOvalButton::drawNow(DirectDraw what)
{
    if (!isVisible() || !updatesEnabled())
        return;
    QCoreApplication::sendPostedEvents(window(), QEvent::UpdateRequest);
    const bool wasOpaque = testAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    m_directDraw = what;
    repaint();
    m_directDraw = DirectDraw::None;
    setAttribute(Qt::WA_OpaquePaintEvent, wasOpaque);
}

void TOvalButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(m_font);
    switch (m_directDraw) {
    case DirectDraw::Face:
        drawFace(painter);
        return;
    case DirectDraw::Bevel:
        drawBevel(painter);
        return;
    case DirectDraw::None:
        break;
    }
    if (!m_transparent) {
        // The oval in Color, no outline.
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_color);
        painter.drawEllipse(QRect(0, 0, width() - 1, height() - 1));
    }
    drawFace(painter);
}

void TOvalButton::drawBevel(QPainter &painter) const
{
    if (m_bevelState == NoBevel)
        return;
    const QColor upperLeft = m_bevelState == Sunken ? m_shadowColor : m_highlightColor;
    const QColor lowerRight = m_bevelState == Sunken ? m_highlightColor : m_shadowColor;
    const int w = width(), h = height();
    // The split between the halves: rays toward these two points (integer divisions, so
    // 4 * (w / 5) is not 4 * w / 5).
    const QPointF upperRightRay(4 * (w / 5), h / 5);
    const QPointF lowerLeftRay(w / 5, 4 * (h / 5));

    painter.setBrush(Qt::NoBrush);
    for (int i = 1; i <= m_bevelWidth; ++i) {
        // Ring i lies i pixels inside the oval's edge on every side.
        const QRect ring(i, i, w - 2 * i - 2, h - 2 * i - 2);
        if (ring.width() <= 0 || ring.height() <= 0)
            break;
        const int from = arcAngle(ring, upperRightRay);
        const int to = arcAngle(ring, lowerLeftRay);
        int span = (to - from) % (360 * 16);
        if (span <= 0)
            span += 360 * 16; // counter-clockwise from the first ray to the second
        painter.setPen(QPen(upperLeft, 1));
        painter.drawArc(ring, from, span);
        painter.setPen(QPen(lowerRight, 1));
        painter.drawArc(ring, to, 360 * 16 - span);
    }
}

void TOvalButton::drawFace(QPainter &painter) const
{
    const bool sunken = m_bevelState == Sunken;
    const int cellWidth = m_numGlyphs > 0 ? m_glyph.width() / m_numGlyphs : m_glyph.width();
    QRect source(0, 0, cellWidth, m_glyph.height());

    drawBevel(painter);

    const QFontMetrics metrics(m_font, this);
    OvalButtonLayout layout;
    layout.button = size();
    layout.hasGlyph = m_numGlyphs > 0;
    layout.glyph = source.size();
    layout.hasCaption = !m_caption.isEmpty();
    layout.caption = QSize(metrics.horizontalAdvance(m_caption), metrics.height());
    layout.layout = m_layout;
    layout.spacing = m_spacing;
    layout.margin = m_margin;
    layout.sunken = sunken;

    if (layout.hasGlyph) {
        if (!isEnabled() && m_numGlyphs > 1)
            source.moveLeft(cellWidth); // the disabled image
        const QRect glyph = layout.glyphRect();
        const int left = glyph.x(), top = glyph.y();
        const int right = left + glyph.width(), bottom = top + glyph.height();
        // Clean-up lines in Color: the column and row the glyph left when it moved (or would
        // occupy when moved), so that a face drawn over the other look leaves no trace.
        if (!m_transparent) {
            if (sunken) {
                fillPixels(painter, QRect(left - 1, top, 1, bottom - top + 1), m_color);
                fillPixels(painter, QRect(left - 1, top - 1, right - left + 1, 1), m_color);
            } else {
                fillPixels(painter, QRect(right, top, 1, bottom - top), m_color);
                fillPixels(painter, QRect(left + 1, bottom, right - left, 1), m_color);
            }
        }
        if (sunken && m_numGlyphs > 2)
            source.moveLeft(2 * cellWidth); // the pressed image
        drawGlyphCell(painter, source, glyph.topLeft());
    }

    if (!layout.hasCaption)
        return;
    const QPoint at = layout.captionPos();
    const QSize text = layout.caption;
    if (!m_transparent) {
        const QRect fill = sunken ? QRect(at, text) : QRect(at + QPoint(1, 1), text);
        painter.fillRect(fill, m_color);
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(m_color);
    } else {
        painter.setBackgroundMode(Qt::TransparentMode);
    }
    painter.setPen(isEnabled() ? m_fontColor : kDisabledCaption);
    painter.drawText(QRect(at, text),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic,
                     m_caption);
    painter.setBackgroundMode(Qt::TransparentMode);
}

// The transparent-colour copy: pixels of TransparentColor take the brush (Color on an opaque
// button, nothing on a transparent one); all others are copied.
void TOvalButton::drawGlyphCell(QPainter &painter, const QRect &source, const QPoint &target) const
{
    if (source.isEmpty())
        return;
    QImage cell = m_glyph.copy(source).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = m_transparentColor.rgb() & RGB_MASK;
    const QRgb brush = m_transparent ? qRgba(0, 0, 0, 0) : m_color.rgb();
    for (int y = 0; y < cell.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(cell.scanLine(y));
        for (int x = 0; x < cell.width(); ++x) {
            if ((line[x] & RGB_MASK) == key)
                line[x] = brush;
        }
    }
    painter.drawImage(target, cell);
}

// --- Qt events --------------------------------------------------------------------------------

bool TOvalButton::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Shortcut: {
        auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->shortcutId() == m_shortcutId && m_shortcutId != 0) {
            if (acceleratorChar(m_mnemonic))
                return true;
        }
        break;
    }
    case QEvent::ParentChange:
        watchWindow();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

// A mnemonic key reaches the window only when the focused widget let it pass. A plain one is
// still left alone when that widget takes text (a read-only edit lets letters pass); Alt with the
// mnemonic arrives here only when the shortcut did not match (Alt+Shift, say).
bool TOvalButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::KeyPress && !m_mnemonic.isNull()) {
        auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const bool alt =
            (mods & Qt::AltModifier) && !(mods & (Qt::ControlModifier | Qt::MetaModifier));
        const QString text = key->text();
        if ((plain || alt) && text.size() == 1 && !(alt && text.at(0) == QLatin1Char(' '))) {
            if ((alt || !takesCharacters(QApplication::focusWidget())) &&
                acceleratorChar(text.at(0))) {
                key->accept();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TOvalButton::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TOvalButton::showEvent(QShowEvent *event)
{
    watchWindow(); // the top-level window is known for sure once the button shows
    QWidget::showEvent(event);
}

namespace
{
TOvalButton::ShiftState shiftOf(const QMouseEvent *event, bool doubleClick = false)
{
    return {event->modifiers(), event->buttons(), doubleClick};
}
} // namespace

// Qt grabs the mouse for the widget at any press, so moves and the release reach the button
// outside it too.
void TOvalButton::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        m_clicked = true;
    mouseDown(event->button(), shiftOf(event), at.x(), at.y());
}

void TOvalButton::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const QPointer<TOvalButton> self(this);
    // The click rule uses the rectangle, not the oval, and runs before the mouse-up.
    if (event->button() == Qt::LeftButton && m_clicked) {
        m_clicked = false;
        if (rect().contains(at)) {
            click();
            if (!self)
                return; // the click handler destroyed the button
        }
    }
    mouseUp(event->button(), shiftOf(event), at.x(), at.y());
}

// The second press of a double click arrives here instead of mousePressEvent; it does not mark
// the button as clicked, so its release gives no second click.
void TOvalButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const QPointer<TOvalButton> self(this);
    if (event->button() == Qt::LeftButton) {
        dblClick();
        if (!self)
            return;
    }
    mouseDown(event->button(), shiftOf(event, true), at.x(), at.y());
}

void TOvalButton::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    mouseMove(shiftOf(event), at.x(), at.y());
}

void TOvalButton::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    mouseEntered();
}

void TOvalButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    mouseLeft();
}

// --- Reactions --------------------------------------------------------------------------------

void TOvalButton::click()
{
    if (onClick)
        onClick(this);
}

void TOvalButton::dblClick()
{
    if (isEnabled() && m_mouseInside && onDblClick)
        onDblClick(this);
}

void TOvalButton::mouseDown(Qt::MouseButton button, const ShiftState &shift, int x, int y)
{
    if (isEnabled() && isInOval(QPoint(x, y))) {
        m_downAtPress = m_down;
        m_down = true;
        m_bevelState = Sunken;
        if (m_transparent)
            update(); // what lies under the button belongs to the parent
        else
            drawNow(DirectDraw::Face);
        if (onMouseDown)
            onMouseDown(this, button, shift, x, y);
    }
    m_buttonHeld = true;
}

void TOvalButton::mouseUp(Qt::MouseButton button, const ShiftState &shift, int x, int y)
{
    if (isEnabled() && isInOval(QPoint(x, y))) {
        if (m_groupIndex == 0) {
            m_down = false;
            m_bevelState = Raised; // a flat button keeps its rings until the pointer leaves
            if (m_transparent)
                update();
            else
                drawNow(DirectDraw::Face);
        } else {
            setDown(!m_downAtPress); // the toggle latches or lets go
        }
        if (onMouseUp)
            onMouseUp(this, button, shift, x, y);
    }
    m_buttonHeld = false;
}

// While a button is held only the rings change; glyph and caption stay where the last face
// drawing put them.
void TOvalButton::mouseMove(const ShiftState &shift, int x, int y)
{
    const bool inOval = isInOval(QPoint(x, y));
    if (m_buttonHeld) {
        if (!inOval) {
            if (m_bevelState == Sunken && m_groupIndex == 0 && m_mouseInside) {
                m_down = false;
                m_bevelState = Raised;
                drawNow(DirectDraw::Bevel);
            }
            m_mouseInside = false;
        } else if (m_bevelState == Raised && m_groupIndex == 0) {
            m_mouseInside = true;
            m_down = true;
            m_bevelState = Sunken;
            drawNow(DirectDraw::Bevel);
        }
    } else if (m_flat && !m_down) {
        if (inOval) {
            m_mouseInside = true;
            m_bevelState = Raised;
            drawNow(DirectDraw::Bevel);
        } else if (m_mouseInside) {
            m_mouseInside = false;
            m_bevelState = NoBevel;
            update();
        }
    } else {
        m_mouseInside = inOval;
    }
    if (m_mouseInside && onMouseMove)
        onMouseMove(this, shift, x, y);
}

void TOvalButton::mouseEntered()
{
    if (onMouseEnter)
        onMouseEnter(this);
}

void TOvalButton::mouseLeft()
{
    if (m_mouseInside && isEnabled()) {
        m_mouseInside = false;
        if (m_flat && !m_down) {
            m_bevelState = NoBevel;
            update();
        }
    }
    if (onMouseExit)
        onMouseExit(this);
}

bool TOvalButton::acceleratorChar(QChar character)
{
    if (m_mnemonic.isNull())
        return false;
    const bool same = isAsciiLetter(character) && isAsciiLetter(m_mnemonic)
                          ? character.toLower() == m_mnemonic.toLower()
                          : character == m_mnemonic;
    const QWidget *parent = parentWidget();
    if (!same || !isEnabled() || !isVisible() || !parent || !parent->isVisible())
        return false;
    click();
    return true;
}

// --- Keyboard wiring --------------------------------------------------------------------------

// Alt + mnemonic goes through Qt's shortcut map, as the mnemonics of Qt's own buttons do, so it
// works whichever widget has the focus (an edit does not keep Alt combinations for itself).
void TOvalButton::updateMnemonic()
{
    if (m_shortcutId != 0) {
        releaseShortcut(m_shortcutId);
        m_shortcutId = 0;
    }
    m_mnemonic = mnemonicOf(m_caption);
    if (!m_mnemonic.isNull() && m_mnemonic != QLatin1Char(' ')) {
        const int key = m_mnemonic.toUpper().unicode();
        m_shortcutId = grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key))));
    }
}

// The plain mnemonic key is watched on the top-level window, where a key arrives that the
// focused widget did not take.
void TOvalButton::watchWindow()
{
    QWidget *top = window();
    if (top == this)
        top = nullptr;
    if (top == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = top;
    if (top)
        top->installEventFilter(this);
}
