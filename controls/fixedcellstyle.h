// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

// The look of a data grid's fixed cells, its column titles, the row indicator column and the
// corner between them: the button face with a raised edge, white above and on the left, grey
// below and on the right, and a dark line on the right and at the bottom between the cells, as
// Windows draws the fixed cells of a grid. Everything else is drawn by the application's style.
//
// The cells are filled with solid rectangles only. The gradient and the translucent lines of
// other styles' header sections make Qt split the drawing of a title 96 pixels or wider over
// worker threads, which are started for it at the first paint.
class FixedCellStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // A style drawing everything else as the application's style does. The grid parents it.
    explicit FixedCellStyle(QObject *parent);

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};
