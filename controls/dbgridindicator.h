// SPDX-License-Identifier: MIT
#pragma once

#include <QHeaderView>

// The row indicator column on the left of a data grid: the current row shows an arrow, the row
// being edited an I-beam, a new row an asterisk. A press on it reports the row, so that the grid
// moves the table there itself.
class DBGridIndicator : public QHeaderView
{
    Q_OBJECT
public:
    explicit DBGridIndicator(QWidget *parent = nullptr);

    static constexpr int kWidth = 12;

    QSize sizeHint() const override;

signals:
    void rowPressed(int row);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
