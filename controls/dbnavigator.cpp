// SPDX-License-Identifier: MIT
#include "controls/dbnavigator.h"

#include "controls/application.h"
#include "controls/dbgrid.h"
#include "controls/messages.h"
#include "core/table.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QToolTip>

namespace
{

using Button = DBNavigator::Button;

enum class Glyph { First, Prior, Next, Last, Plus, Minus, Up, Check, Cross };

struct ButtonRow {
    Button button;
    const char *hint; // UTF-8
    Glyph glyph;
};

// The buttons, left to right.
constexpr ButtonRow kButtons[DBNavigator::kButtonCount] = {
    {Button::First, "Posiciona no primeiro registro", Glyph::First},
    {Button::Prior, "Posiciona registro anterior", Glyph::Prior},
    {Button::Next, "Posiciona no proximo registro", Glyph::Next},
    {Button::Last, "Posiciona no último registro", Glyph::Last},
    {Button::Insert, "Insere um registro", Glyph::Plus},
    {Button::Delete, "Deleta um registro", Glyph::Minus},
    {Button::Edit, "Edita um registro", Glyph::Up},
    {Button::Post, "Grava o registro atual", Glyph::Check},
    {Button::Cancel, "Cancela Gravação", Glyph::Cross},
};

int indexOf(Button button)
{
    return int(button);
}

// A triangle pointing left (direction -1) or right (+1) whose flat side stands at `base`.
QPainterPath triangle(qreal base, int direction)
{
    QPainterPath path;
    path.moveTo(base, 3.5);
    path.lineTo(base + direction * 5.0, 8);
    path.lineTo(base, 12.5);
    path.closeSubpath();
    return path;
}

// Draws a glyph in a 16 x 16 box whose top-left corner is the painter's origin.
void drawGlyph(QPainter &p, Glyph glyph, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    switch (glyph) {
    case Glyph::First:
        p.drawRect(QRectF(3, 3.5, 2, 9));
        p.drawPath(triangle(11.5, -1));
        break;
    case Glyph::Prior:
        p.drawPath(triangle(10.5, -1));
        break;
    case Glyph::Next:
        p.drawPath(triangle(5.5, 1));
        break;
    case Glyph::Last:
        p.drawPath(triangle(4.5, 1));
        p.drawRect(QRectF(11, 3.5, 2, 9));
        break;
    case Glyph::Plus:
        p.drawRect(QRectF(7, 3, 2, 10));
        p.drawRect(QRectF(3, 7, 10, 2));
        break;
    case Glyph::Minus:
        p.drawRect(QRectF(3, 7, 10, 2));
        break;
    case Glyph::Up: {
        QPainterPath path;
        path.moveTo(3, 11);
        path.lineTo(8, 5);
        path.lineTo(13, 11);
        path.closeSubpath();
        p.drawPath(path);
        break;
    }
    case Glyph::Check: {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(color, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        const QPointF points[] = {{3, 8.5}, {6.5, 12}, {13, 4.5}};
        p.drawPolyline(points, 3);
        break;
    }
    case Glyph::Cross:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(color, 2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    }
}

} // namespace

DBNavigator::DBNavigator(QWidget *parent) : QWidget(parent)
{
    // Tab reaches the navigator; a click on a button leaves the focus where it is.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    updateButtons();
}

DBNavigator::~DBNavigator() = default;

void DBNavigator::setDataSource(DataSource *source)
{
    if (m_source == source)
        return;
    if (m_connection)
        disconnect(m_connection);
    m_source = source;
    if (source)
        m_connection = connect(source, &DataSource::changed, this, [this] { updateButtons(); });
    updateButtons();
}

Table *DBNavigator::table() const
{
    Table *t = m_source ? m_source->dataSet() : nullptr;
    return t && t->active() ? t : nullptr;
}

QString DBNavigator::hint(Button button)
{
    return QString::fromUtf8(kButtons[indexOf(button)].hint);
}

bool DBNavigator::isButtonEnabled(Button button) const
{
    return m_enabled[indexOf(button)];
}

void DBNavigator::updateButtons()
{
    Table *t = table();
    const int rows = t ? t->rowCount() : 0;
    const int row = t ? t->currentRow() : -1;
    const bool browsing = t && t->state() == TableState::Browse;
    const bool editing = t && (t->state() == TableState::Insert || t->state() == TableState::Edit);
    const bool hasLine = rows > 0 && row >= 0;
    const bool state[kButtonCount] = {
        hasLine && row > 0,        // first
        hasLine && row > 0,        // prior
        hasLine && row < rows - 1, // next
        hasLine && row < rows - 1, // last
        browsing,                  // insert
        browsing && hasLine,       // delete
        browsing && hasLine,       // edit
        editing,                   // post
        editing,                   // cancel
    };
    bool changed = false;
    for (int i = 0; i < kButtonCount; ++i) {
        changed = changed || m_enabled[i] != state[i];
        m_enabled[i] = state[i];
    }
    if (m_pressed >= 0 && !m_enabled[m_pressed])
        m_pressed = -1;
    if (changed)
        update();
}

QRect DBNavigator::buttonRect(Button button) const
{
    // Equal widths; the pixels left over are shared out from the left.
    const int i = indexOf(button);
    const int left = i * width() / kButtonCount;
    const int right = (i + 1) * width() / kButtonCount;
    return QRect(left, 0, right - left, height());
}

int DBNavigator::buttonAt(QPoint point) const
{
    for (int i = 0; i < kButtonCount; ++i) {
        if (buttonRect(Button(i)).contains(point))
            return i;
    }
    return -1;
}

QSize DBNavigator::sizeHint() const
{
    return {kButtonCount * 24, 25};
}

// --- operations ------------------------------------------------------------------------------

void DBNavigator::writePendingEdits()
{
    // What is typed into a grid's open cell editor belongs to the record about to be stored.
    QWidget *form = window();
    if (!form || !m_source)
        return;
    const QList<DBGrid *> grids = form->findChildren<DBGrid *>();
    for (DBGrid *grid : grids) {
        if (grid->dataSource() == m_source)
            grid->updateData();
    }
}

void DBNavigator::click(Button button)
{
    Table *t = table();
    if (!t || !isButtonEnabled(button))
        return;
    switch (button) {
    case Button::First:
        writePendingEdits();
        t->first();
        break;
    case Button::Prior:
        writePendingEdits();
        t->prior();
        break;
    case Button::Next:
        writePendingEdits();
        t->next();
        break;
    case Button::Last:
        writePendingEdits();
        t->last();
        break;
    case Button::Insert:
        writePendingEdits();
        t->insert();
        break;
    case Button::Delete:
        if (!Messages::Confirm(QStringLiteral("Delete record?")))
            return;
        t->deleteRecord();
        break;
    case Button::Edit:
        t->edit();
        break;
    case Button::Post:
        writePendingEdits();
        t->post();
        break;
    case Button::Cancel:
        t->cancel();
        break;
    }
    emit clicked(button);
}

void DBNavigator::press(Button button)
{
    Application::runGuarded([&] { click(button); });
}

// --- input -----------------------------------------------------------------------------------

bool DBNavigator::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int i = buttonAt(help->pos());
        if (i < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), hint(Button(i)), this, buttonRect(Button(i)));
        }
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        update(); // the focus mark on the picked button
    return QWidget::event(event);
}

void DBNavigator::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const int i = buttonAt(event->position().toPoint());
    if (i < 0 || !m_enabled[i])
        return;
    m_pressed = i;
    m_pressedInside = true;
    update();
}

void DBNavigator::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (m_pressed < 0)
        return;
    const bool inside = buttonRect(Button(m_pressed)).contains(event->position().toPoint());
    if (inside != m_pressedInside) {
        m_pressedInside = inside;
        update();
    }
}

void DBNavigator::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || m_pressed < 0)
        return;
    const int i = m_pressed;
    const bool inside = buttonRect(Button(i)).contains(event->position().toPoint());
    m_pressed = -1;
    update();
    if (inside)
        press(Button(i));
}

void DBNavigator::keyPressEvent(QKeyEvent *event)
{
    const int i = indexOf(m_focused);
    switch (event->key()) {
    case Qt::Key_Left:
        m_focused = Button(std::max(0, i - 1));
        update();
        break;
    case Qt::Key_Right:
        m_focused = Button(std::min(kButtonCount - 1, i + 1));
        update();
        break;
    case Qt::Key_Space:
        if (!event->isAutoRepeat())
            press(m_focused);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void DBNavigator::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}

// --- painting --------------------------------------------------------------------------------

void DBNavigator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const bool widgetEnabled = isEnabled();
    for (int i = 0; i < kButtonCount; ++i) {
        const Button button = Button(i);
        const bool enabled = widgetEnabled && m_enabled[i];
        const bool down = m_pressed == i && m_pressedInside;

        QStyleOptionButton face;
        face.initFrom(this);
        face.rect = buttonRect(button);
        face.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        face.state.setFlag(QStyle::State_Enabled, enabled);
        face.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &face, &p, this);

        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        const QPoint origin = face.rect.center() - QPoint(7, 7) + (down ? QPoint(1, 1) : QPoint());
        if (enabled) {
            p.translate(origin);
            drawGlyph(p, kButtons[i].glyph,
                      palette().color(QPalette::Active, QPalette::ButtonText));
        } else {
            // Greyed with a light shadow, as disabled glyphs are shown.
            p.translate(origin + QPoint(1, 1));
            drawGlyph(p, kButtons[i].glyph, palette().color(QPalette::Light));
            p.translate(-1, -1);
            drawGlyph(p, kButtons[i].glyph,
                      palette().color(QPalette::Disabled, QPalette::ButtonText));
        }
        p.restore();

        if (hasFocus() && button == m_focused) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = face.rect.adjusted(3, 3, -3, -3);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    }
}
