// SPDX-License-Identifier: MIT
#include "controls/dbgridindicator.h"

#include "controls/dbgridmodel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace
{

void drawArrow(QPainter &p, QPointF c)
{
    QPainterPath path;
    path.moveTo(c.x() - 2.5, c.y() - 4.5);
    path.lineTo(c.x() + 2.5, c.y());
    path.lineTo(c.x() - 2.5, c.y() + 4.5);
    path.closeSubpath();
    p.fillPath(path, p.pen().color());
}

void drawIBeam(QPainter &p, QPointF c)
{
    const qreal x = c.x(), y = c.y();
    p.drawLine(QPointF(x, y - 4), QPointF(x, y + 4));
    p.drawLine(QPointF(x - 2, y - 5), QPointF(x - 0.5, y - 5));
    p.drawLine(QPointF(x + 0.5, y - 5), QPointF(x + 2, y - 5));
    p.drawLine(QPointF(x - 2, y + 5), QPointF(x - 0.5, y + 5));
    p.drawLine(QPointF(x + 0.5, y + 5), QPointF(x + 2, y + 5));
}

void drawAsterisk(QPainter &p, QPointF c)
{
    const qreal r = 3.5;
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    p.drawLine(QPointF(c.x() - r * 0.87, c.y() - r / 2), QPointF(c.x() + r * 0.87, c.y() + r / 2));
    p.drawLine(QPointF(c.x() - r * 0.87, c.y() + r / 2), QPointF(c.x() + r * 0.87, c.y() - r / 2));
}

} // namespace

DBGridIndicator::DBGridIndicator(QWidget *parent) : QHeaderView(Qt::Vertical, parent)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(1);
}

QSize DBGridIndicator::sizeHint() const
{
    // The column is as wide as its glyphs and its rows as high as the grid's. The header's own
    // hint would measure the contents of up to two hundred rows each time a row comes or goes,
    // only for a height the grid never reads.
    return {kWidth, defaultSectionSize()};
}

void DBGridIndicator::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    // The header's own painting leaves an empty clip behind; keep it to itself.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (!model())
        return;
    const auto indicator = model()
                               ->headerData(logicalIndex, Qt::Vertical, DBGridModel::IndicatorRole)
                               .value<DBGridModel::Indicator>();
    if (indicator == DBGridModel::Indicator::None)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(palette().color(QPalette::ButtonText), 1.2));
    const QPointF centre = QRectF(rect).center();
    switch (indicator) {
    case DBGridModel::Indicator::Current:
        drawArrow(*painter, centre);
        break;
    case DBGridModel::Indicator::Editing:
        drawIBeam(*painter, centre);
        break;
    case DBGridModel::Indicator::Inserting:
        drawAsterisk(*painter, centre);
        break;
    case DBGridModel::Indicator::None:
        break;
    }
    painter->restore();
}

void DBGridIndicator::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const int row = logicalIndexAt(event->position().toPoint());
        if (row >= 0)
            emit rowPressed(row);
    }
    event->accept();
}

// No dragging, resizing or selecting through the indicator.
void DBGridIndicator::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void DBGridIndicator::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void DBGridIndicator::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}
