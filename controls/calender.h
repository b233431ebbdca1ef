// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QDialog>

class QCalendarWidget;

// The calendar date picker: a small fixed window with one month calendar. It always opens on
// today's date; the user moves with the mouse or the picker keys and closes it, and the owner
// then takes the date the calendar shows. Created for one opening and destroyed after it.
class TCalender : public QDialog
{
    Q_OBJECT
public:
    explicit TCalender(QWidget *owner);
    ~TCalender() override;

    // Creates the picker with `owner`, shows it modally and returns the calendar's date once it
    // has closed, whichever way it closed; the picker is destroyed before returning. Returns an
    // invalid date only when the picker went away with its owner while it was open.
    static QDate Pick(QWidget *owner);

    QCalendarWidget *MonthCalendar1() const { return m_MonthCalendar1; }
    QDate Date() const;

    // The handlers, public so that the owner and the tests can reach them.
    void FormActivate();
    // Runs the picker key `key` (a Qt key code; modifiers play no part). Returns false for a key
    // the picker has no action for. A failing month step throws ConvertError.
    bool FormShortCut(int key);
    void MonthCalendar1DblClick();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void StepMonth(int step);
    void ClosePicker();
    bool IsInPicker(QObject *object) const;
    bool IsInCalendar(QObject *object) const;

    QCalendarWidget *m_MonthCalendar1 = nullptr;
    bool m_activatedSinceShow = false;
};
