// SPDX-License-Identifier: MIT
#pragma once

#include "core/datasource.h"

#include <QPointer>
#include <QWidget>

class Table;

// A record navigator: a row of buttons that move through a table and start its operations,
// each enabled only while its operation makes sense. Every operation goes through the table, so
// its handlers run; delete asks "Delete record?" first.
//
// The buttons take no focus of their own; the navigator itself sits in the tab order, where Left
// and Right pick a button and Space presses it.
class DBNavigator : public QWidget
{
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel };
    Q_ENUM(Button)
    static constexpr int kButtonCount = 9;

    explicit DBNavigator(QWidget *parent = nullptr);
    ~DBNavigator() override;

    void setDataSource(DataSource *source);
    DataSource *dataSource() const { return m_source; }

    static QString hint(Button button);
    bool isButtonEnabled(Button button) const;
    QRect buttonRect(Button button) const;
    // The button Space presses while the navigator has the focus.
    Button focusedButton() const { return m_focused; }

    // Runs a button's operation; throws what the table throws. Nothing for a disabled button.
    void click(Button button);

    QSize sizeHint() const override;

signals:
    // After a button's operation has run.
    void clicked(DBNavigator::Button button);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    Table *table() const;
    void updateButtons();
    int buttonAt(QPoint point) const;
    void writePendingEdits();
    void press(Button button);

    QPointer<DataSource> m_source;
    QMetaObject::Connection m_connection;
    bool m_enabled[kButtonCount] = {};
    int m_pressed = -1; // the button held down with the mouse
    bool m_pressedInside = false;
    Button m_focused = Button::First;
};
