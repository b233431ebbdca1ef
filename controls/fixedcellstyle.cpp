// SPDX-License-Identifier: MIT
#include "controls/fixedcellstyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace
{

void drawCell(QPainter &painter, const QRect &rect, const QPalette &palette)
{
    if (rect.width() < 1 || rect.height() < 1)
        return;
    const int left = rect.left(), top = rect.top(), right = rect.right(), bottom = rect.bottom();
    const int width = rect.width(), height = rect.height();
    painter.fillRect(rect, palette.button());
    // The line between this cell and the next, on the right and at the bottom.
    painter.fillRect(QRect(right, top, 1, height), palette.shadow());
    painter.fillRect(QRect(left, bottom, width, 1), palette.shadow());
    if (width < 3 || height < 3)
        return;
    // The raised edge inside it.
    painter.fillRect(QRect(left, top, width - 1, 1), palette.light());
    painter.fillRect(QRect(left, top, 1, height - 1), palette.light());
    painter.fillRect(QRect(left, bottom - 1, width - 1, 1), palette.dark());
    painter.fillRect(QRect(right - 1, top, 1, height - 1), palette.dark());
}

} // namespace

FixedCellStyle::FixedCellStyle(QObject *parent)
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
{
    setParent(parent);
}

void FixedCellStyle::drawControl(ControlElement element, const QStyleOption *option,
                                 QPainter *painter, const QWidget *widget) const
{
    if (element == CE_HeaderSection)
        drawCell(*painter, option->rect, option->palette);
    else
        QProxyStyle::drawControl(element, option, painter, widget);
}
