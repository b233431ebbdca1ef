// SPDX-License-Identifier: MIT
// The main window's header entry, its commands and the grid's keys.
#include "ui/tcheq.h"

#include "controls/calender.h"
#include "controls/dbgrid.h"
#include "controls/maskedit.h"
#include "controls/ovalbutton.h"
#include "core/clock.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/texts.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace
{

std::function<QDate(QWidget *)> g_datePicker;

bool isBlank(const QString &text, int from, int count)
{
    for (int i = from; i < from + count && i < text.size(); ++i)
        if (text[i] != QLatin1Char(' '))
            return false;
    return true;
}

} // namespace

void TCHEQ::setDatePickerForTesting(std::function<QDate(QWidget *owner)> picker)
{
    g_datePicker = std::move(picker);
}

void TCHEQ::connectHandlers()
{
    DATABASE->setAutoSelect(false); // its entry handler selects instead
    DATABASE->setKeyPressHandler([this](QChar &key) { DATABASEKeyPress(key); });
    TAXA->setKeyPressHandler([this](QChar &key) { TAXAKeyPress(key); });
    connect(DATABASE, &MaskEdit::entered, this, [this] { DATABASEEnter(); });
    connect(DATABASE, &MaskEdit::exited, this, [this] { DATABASEExit(); });
    connect(TAXA, &MaskEdit::exited, this, [this] { TAXAExit(); });
    connect(DATABASE, &MaskEdit::maskedTextChanged, this, [this] { DATABASEChange(); });
    connect(TAXA, &MaskEdit::maskedTextChanged, this, [this] { DATABASEChange(); });
    connect(LEMBRETE, &QLineEdit::textChanged, this, [this] { DATABASEChange(); });
    for (QWidget *w : {static_cast<QWidget *>(LEMBRETE), static_cast<QWidget *>(Label1),
                       static_cast<QWidget *>(Image2)})
        w->installEventFilter(this);

    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(BT1, &QPushButton::clicked, this, [this] { BT1Click(); });
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton1Click();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton2Click();
    });
    BitBtn1->onClick = [this](TOvalButton *) { BitBtn1Click(); };
    BitBtn2->onClick = [this](TOvalButton *) { BitBtn2Click(); };
    BitBtn3->onClick = [this](TOvalButton *) { BitBtn3Click(); };

    DBGrid1->onKeyDown = [this](int &key, Qt::KeyboardModifiers modifiers) {
        DBGrid1KeyDown(key, modifiers);
    };
    DBGrid1->onKeyPress = [this](QChar &key) { DBGrid1KeyPress(key); };
}

bool TCHEQ::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == LEMBRETE) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                QChar enter(13);
                LEMBRETEKeyPress(enter);
                return true;
            }
            // Letters become capitals as they are typed.
            const QString text = key->text();
            if (!text.isEmpty() && text != text.toUpper() &&
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                LEMBRETE->insert(text.toUpper());
                return true;
            }
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            if (watched == Label1)
                Label1Click();
            else if (watched == Image2)
                Image2Click();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// --- header inputs ---------------------------------------------------------------------------

void TCHEQ::ResetHeaderFields()
{
    lDATA->setText(ShortDateText(Today()));
    LEMBRETE->setText(QString());
    DATABASE->setMaskedText(ShortDateText(Today()));
    TAXA->setMaskedText(QStringLiteral("0.00"));
    DATABASE->setFocus();
    lVALOR->setText(QStringLiteral("0,00"));
    lVALORACUM->setText(QStringLiteral("0,00"));
    lJUROS->setText(QStringLiteral("0,00"));
}

void TCHEQ::DATABASEEnter()
{
    DATABASE->selectAll();
}

void TCHEQ::DATABASEKeyPress(QChar &key)
{
    if (key.unicode() == 13) {
        TAXA->setFocus();
        key = QChar(0);
    }
}

void TCHEQ::DATABASEExit()
{
    const QDate date = StrToDate(DATABASE->maskedText());
    QString text = ShortDateText(date);
    DATABASE->setMaskedText(text);
    if (!ValidateDateText(text))
        DATABASE->setFocus();
    DATABASE->setMaskedText(text);
}

void TCHEQ::SpeedButton2Click()
{
    const QDate picked = g_datePicker ? g_datePicker(this) : TCalender::Pick(this);
    DATABASE->setMaskedText(ShortDateText(picked));
    DATABASE->setFocus();
}

void TCHEQ::TAXAKeyPress(QChar &key)
{
    if (key == QLatin1Char(','))
        key = QLatin1Char('.');
    if (key.unicode() == 13) {
        LEMBRETE->setFocus();
        key = QChar(0);
        return;
    }
    if (key == QLatin1Char('.')) {
        const QString t = TAXA->maskedText();
        QString right;
        if (isBlank(t, 0, 3))
            right = QStringLiteral("  0") + t.mid(3);
        else if (isBlank(t, 1, 1))
            right = QStringLiteral("  ") + t.mid(0, 1) + t.mid(3);
        else if (isBlank(t, 2, 1))
            right = QStringLiteral(" ") + t.mid(0, 2) + t.mid(3);
        if (!right.isEmpty()) {
            const int caret = TAXA->cursorPosition();
            TAXA->setMaskedText(right);
            TAXA->setCursorPosition(std::min(caret, 3));
        }
    }
}

void TCHEQ::TAXAExit()
{
    QString t = TAXA->maskedText();
    if (isBlank(t, 0, 3))
        t = QStringLiteral("  0") + t.mid(3);
    if (isBlank(t, 4, 1))
        t = t.left(4) + QLatin1Char('0') + t.mid(5);
    if (isBlank(t, 5, 1))
        t = t.left(5) + QLatin1Char('0');
    t = RightJustifyDigits(t.left(3)) + t.mid(3);
    TAXA->setMaskedText(t);
}

void TCHEQ::LEMBRETEKeyPress(QChar &key)
{
    if (key.unicode() == 13 && BT1->isEnabled())
        BT1->setFocus();
}

void TCHEQ::DATABASEChange()
{
    // A header change drops the line being typed and makes the header unsaved again.
    if (Table2.state() != TableState::Browse)
        Table2.cancel();
    if (!headerPending())
        BT1->setEnabled(true);
}

void TCHEQ::StoreHeaderFields()
{
    if (Table1.state() == TableState::Browse)
        Table1.edit();
    Table1.fieldByName(QStringLiteral("LEMBRETE")).setAsString(LEMBRETE->text());
    Table1.fieldByName(QStringLiteral("DATABASE"))
        .setAsDate(DayNumber(StrToDate(DATABASE->maskedText())));
    double rate = 0;
    const QString rateText = TAXA->maskedText();
    if (!ParseDecimal(rateText, &rate))
        throw ConvertError(
            QStringLiteral("'%1' is not a valid floating point value").arg(rateText));
    Table1.fieldByName(QStringLiteral("JUROS")).setAsFloat(rate);
    Table1.fieldByName(QStringLiteral("VALOR")).setAsFloat(0);
}

void TCHEQ::BT1Click()
{
    StoreHeaderFields();
    Table1.post();
    Store.RecomputeTotals();
    Panel3->setEnabled(true);
    BT1->setEnabled(false);
    DBGrid1->setFocus();
}

void TCHEQ::BitBtn1Click()
{
    Store.StartNewCalculation();
}

void TCHEQ::RadioButton1Click()
{
    Store.ModeSwitch();
}

void TCHEQ::RadioButton2Click()
{
    Store.ModeSwitch();
}

// --- the grid's keys -------------------------------------------------------------------------

void TCHEQ::DBGrid1KeyDown(int &key, Qt::KeyboardModifiers)
{
    // F2 runs the Enter rules.
    if (key == Qt::Key_F2)
        key = Qt::Key_Return;
}

void TCHEQ::DBGrid1KeyPress(QChar &key)
{
    if (key.unicode() != 13)
        return;
    const TableState state = Table2.state();
    if (state == TableState::Insert || state == TableState::Edit) {
        const int column = DBGrid1->selectedIndex();
        if (column == 0) {
            DBGrid1->setSelectedIndex(1);
        } else if (column == 1) {
            const bool inserting = state == TableState::Insert;
            Table2.post();
            if (inserting)
                Table2.append();
        }
    } else if (state == TableState::Browse) {
        Table2.edit();
    }
}
