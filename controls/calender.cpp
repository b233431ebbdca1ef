// SPDX-License-Identifier: MIT
#include "controls/calender.h"

#include "controls/application.h"
#include "core/clock.h"
#include "core/dates.h"
#include "core/texts.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace
{

enum class PickerAction { Close, MonthBack, MonthForward, Days };

struct PickerKey {
    int key;
    PickerAction action;
    int days;
};

// The picker keys. Qt's key code carries no modifier, so Shift, Ctrl and Alt make no difference;
// the keypad Enter is the same key as Return.
constexpr PickerKey kPickerKeys[] = {
    {Qt::Key_Return, PickerAction::Close, 0},     {Qt::Key_Enter, PickerAction::Close, 0},
    {Qt::Key_PageUp, PickerAction::MonthBack, 0}, {Qt::Key_PageDown, PickerAction::MonthForward, 0},
    {Qt::Key_Left, PickerAction::Days, -1},       {Qt::Key_Up, PickerAction::Days, -7},
    {Qt::Key_Right, PickerAction::Days, 1},       {Qt::Key_Down, PickerAction::Days, 7},
};

const PickerKey *findPickerKey(int key)
{
    for (const PickerKey &entry : kPickerKeys) {
        if (entry.key == key)
            return &entry;
    }
    return nullptr;
}

const QColor kTeal(0, 128, 128);

// MS Sans Serif where it exists, otherwise a sans face of the same pixel size.
QFont sansFont(int pixels)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    return font;
}

// The window's icon: a month page with a teal title band, two rings and a grid of days, one of
// them marked.
QIcon calenderIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(64, 64, 64));
    painter.setBrush(Qt::white);
    painter.drawRect(2, 4, 27, 25);
    painter.fillRect(3, 5, 26, 6, kTeal);
    painter.fillRect(8, 1, 3, 6, QColor(64, 64, 64));
    painter.fillRect(21, 1, 3, 6, QColor(64, 64, 64));
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 6; ++column) {
            const bool marked = row == 2 && column == 3;
            painter.fillRect(5 + column * 4, 13 + row * 4, 3, 3,
                             marked ? QColor(192, 0, 0) : QColor(128, 128, 128));
        }
    }
    painter.end();
    return QIcon(pixmap);
}

} // namespace

TCalender::TCalender(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Calender"));
    setWindowTitle(QStringLiteral("           Calendário"));
    setWindowIcon(calenderIcon());
    setFont(sansFont(10));
    setFixedSize(247, 181);
    move(337, 194); // an explicit position also keeps QDialog from centring over the owner

    m_MonthCalendar1 = new QCalendarWidget(this);
    m_MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    m_MonthCalendar1->setFont(sansFont(15));
    m_MonthCalendar1->setGeometry(-3, -21, 253, 222);
    // The bounds reach past every edge of the client area; the part outside holds no content,
    // so the title band, the day names and all six weeks stay in view.
    m_MonthCalendar1->setContentsMargins(3, 21, 3, 20);
    m_MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    m_MonthCalendar1->setSelectionMode(QCalendarWidget::SingleSelection);
    // One letter per day name, so that they fit beside the week numbers at this font size.
    m_MonthCalendar1->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    // Typed digits would open the widget's own date editor; the picker has only its key table.
    m_MonthCalendar1->setDateEditEnabled(false);
    if (QWidget *title =
            m_MonthCalendar1->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar"))) {
        // The title band is filled with Highlight and its buttons draw in HighlightedText.
        QPalette palette = title->palette();
        palette.setColor(QPalette::Highlight, kTeal);
        palette.setColor(QPalette::HighlightedText, Qt::white);
        title->setPalette(palette);
        // The month and year buttons and the year editor took a copy of the font the calendar
        // had when it was built; give them the calendar's own size, in bold.
        QFont titleFont = m_MonthCalendar1->font();
        titleFont.setBold(true);
        for (QWidget *child : title->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!child->isWindow())
                child->setFont(titleFont);
        }
    }
    // Today already before the first activation, so the picker never shows another day.
    m_MonthCalendar1->setSelectedDate(Today());
    m_MonthCalendar1->setFocus();

    // The window's key hook has to see every key before the focused widget does, whichever
    // widget of the picker that is.
    qApp->installEventFilter(this);
}

TCalender::~TCalender()
{
    qApp->removeEventFilter(this);
}

QDate TCalender::Pick(QWidget *owner)
{
    QPointer<TCalender> Calender = new TCalender(owner);
    Calender->exec(); // however it closed, the calendar's date is taken
    if (!Calender)
        return QDate();
    const QDate date = Calender->Date();
    delete Calender;
    return date;
}

QDate TCalender::Date() const
{
    return m_MonthCalendar1->selectedDate();
}

void TCalender::FormActivate()
{
    m_MonthCalendar1->setSelectedDate(Today());
    m_MonthCalendar1->update();
}

bool TCalender::FormShortCut(int key)
{
    const PickerKey *entry = findPickerKey(key);
    if (!entry)
        return false;
    switch (entry->action) {
    case PickerAction::Close:
        ClosePicker();
        break;
    case PickerAction::MonthBack:
        StepMonth(-1);
        break;
    case PickerAction::MonthForward:
        StepMonth(1);
        break;
    case PickerAction::Days:
        m_MonthCalendar1->setSelectedDate(Date().addDays(entry->days));
        break;
    }
    return true;
}

void TCalender::MonthCalendar1DblClick()
{
    ClosePicker();
}

// The month step works on the date text dd/mm/yyyy and keeps the day: a day the target month
// does not have fails in the date conversion and the calendar keeps its date.
void TCalender::StepMonth(int step)
{
    const QString t = ShortDateText(Date());
    const QString edgeMonth = step < 0 ? QStringLiteral("01") : QStringLiteral("12");
    QString text;
    if (t.mid(3, 2) != edgeMonth) {
        const long long month = ReadLeadingInteger(t.mid(3, 2));
        text = t.left(3) + ZeroPad(QString::number(month + step), 2) + t.mid(5, 5);
    } else {
        const long long year = ReadLeadingInteger(t.mid(6, 4));
        text = t.left(3) + (step < 0 ? QStringLiteral("12/") : QStringLiteral("01/")) +
               ZeroPad(QString::number(year + step), 4);
    }
    m_MonthCalendar1->setSelectedDate(StrToDate(text));
}

// Every way of closing ends the showing alike; the owner reads the date afterwards.
void TCalender::ClosePicker()
{
    done(QDialog::Accepted);
}

bool TCalender::IsInPicker(QObject *object) const
{
    const QWidget *widget = qobject_cast<QWidget *>(object);
    return widget && widget->window() == this;
}

bool TCalender::IsInCalendar(QObject *object) const
{
    QWidget *widget = qobject_cast<QWidget *>(object);
    return widget && (widget == m_MonthCalendar1 || m_MonthCalendar1->isAncestorOf(widget));
}

bool TCalender::event(QEvent *event)
{
    // Only the activation that comes with opening: coming back from the error box or from
    // another program must not throw the chosen date away.
    if (event->type() == QEvent::WindowActivate && !m_activatedSinceShow) {
        m_activatedSinceShow = true;
        FormActivate();
    }
    return QDialog::event(event);
}

bool TCalender::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (IsInPicker(watched)) {
            bool pickerKey = true;
            try {
                pickerKey = FormShortCut(static_cast<QKeyEvent *>(event)->key());
            } catch (...) {
                Application::reportException(std::current_exception());
            }
            // The calendar's own handling of these keys would come on top of the picker's
            // action (a second day, a second month, an activation on Enter); the picker's
            // action is the whole effect of the key.
            if (pickerKey)
                return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        // Anywhere in the calendar: days, week numbers, day names, the title band.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
            IsInCalendar(watched)) {
            MonthCalendar1DblClick();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TCalender::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        m_activatedSinceShow = false;
    QDialog::showEvent(event);
}

void TCalender::closeEvent(QCloseEvent *event)
{
    // The close box and Alt+F4 end the showing the same way as Enter.
    if (isVisible())
        ClosePicker();
    event->accept();
}

void TCalender::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close the picker: there is no way out without taking a date.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
