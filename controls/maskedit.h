// SPDX-License-Identifier: MIT
#pragma once

#include "controls/maskengine.h"

#include <QLineEdit>
#include <functional>

// A line edit driven by a MaskEngine: overwrite typing, fixed separators, blanks shown as the
// mask's blank character, Escape back to the text of the moment the input was entered.
//
// The program reads and writes the input through maskedText() / setMaskedText() (text() and
// setText() called on a MaskEdit do the same). maskedText() has empty positions as blanks and the
// separators included, always as long as the mask. The displayed QLineEdit text carries the blank
// character instead and is not the program's text; QLineEdit::textChanged is not the change
// signal either: use maskedTextChanged(), which fires only when the text really changed. Anything
// that still sets the QLineEdit text behind the engine's back (a base-class call) is taken as an
// assignment through the mask.
//
// Without a mask (an empty editMask) the input is a plain line edit that still offers the key
// handler, autoSelect, entered()/exited() and maskedTextChanged().
//
// No position is required: the input never keeps the focus from leaving.
class MaskEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString editMask READ editMask WRITE setEditMask)
    Q_PROPERTY(QString text READ maskedText WRITE setMaskedText NOTIFY maskedTextChanged USER true)
    Q_PROPERTY(bool autoSelect READ autoSelect WRITE setAutoSelect)
public:
    // Sees every typed character before the mask does, Enter (13), Escape (27) and Backspace (8)
    // included, and may change it; setting it to QChar() swallows it. Pasted characters pass it
    // too (control characters of a pasted text are dropped first).
    using KeyPressHandler = std::function<void(QChar &key)>;
    using BeepHandler = std::function<void()>;

    explicit MaskEdit(QWidget *parent = nullptr);
    explicit MaskEdit(const QString &editMask, QWidget *parent = nullptr);

    // A new mask empties the input.
    QString editMask() const { return m_engine.mask(); }
    void setEditMask(const QString &mask);

    QString maskedText() const;
    void setMaskedText(const QString &text);
    QString text() const { return maskedText(); }

    // Select the whole text when entered from the keyboard (Tab, Backtab, an accelerator, or
    // the program moving the focus); never when entered with the mouse. On by default.
    bool autoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool on) { m_autoSelect = on; }

    void setKeyPressHandler(KeyPressHandler handler) { m_keyPress = std::move(handler); }
    // A refused character beeps through this; empty means QApplication::beep().
    void setBeepHandler(BeepHandler handler) { m_beep = std::move(handler); }

    const MaskEngine &engine() const { return m_engine; }

public slots:
    void setText(const QString &text) { setMaskedText(text); }
    void clear();
    void copy() const;
    void cut();
    void paste();

signals:
    void maskedTextChanged(const QString &text);
    // The input became the window's active control / stopped being it. Focus that goes and comes
    // back with the window's activation or a popup is neither.
    void entered();
    void exited();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool masked() const { return m_engine.hasMask(); }
    bool runCommandKey(QKeyEvent *event);
    bool typeKey(QChar key);
    void plainKeyPress(QKeyEvent *event);
    void pasteText(const QString &text);
    void restoreEntryText();
    void finish(MaskEngine::Outcome outcome);
    void beep();
    void showEngine();
    void takeViewSelection();
    void baseTextChanged(const QString &shown);
    void notifyIfChanged();

    MaskEngine m_engine;
    KeyPressHandler m_keyPress;
    BeepHandler m_beep;
    bool m_autoSelect = true;
    bool m_syncing = false; // the view is being set from the engine
    bool m_inside = false;  // entered and not yet left
    QString m_entryText;
    QString m_notifiedText;
};
