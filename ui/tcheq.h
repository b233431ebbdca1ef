// SPDX-License-Identifier: MIT
#pragma once

#include "core/calculationstore.h"
#include "ui/bitmapfile.h"

#include <QWidget>
#include <functional>

class DBGrid;
class DBNavigator;
class MaskEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TOvalButton;
class TIMP;

// The main window: header entry, the cheque grid and its totals, and the command row.
// Its handlers are plain member functions named after the control and the event; the
// application object shows whatever they throw.
class TCHEQ : public QWidget, public CalculationHost
{
    Q_OBJECT
public:
    explicit TCHEQ(QWidget *parent = nullptr);
    ~TCHEQ() override;

    // The store: the two tables, their data sources, the totals.
    CalculationStore Store{*this};
    Table &Table1 = Store.Table1;
    Table &Table2 = Store.Table2;
    DataSource &DataSource1 = Store.DataSource1;
    DataSource &DataSource2 = Store.DataSource2;

    // Controls, by their layout names.
    QLabel *Image1 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *lDATA = nullptr;
    TOvalButton *BitBtn3 = nullptr;
    TOvalButton *BitBtn2 = nullptr;
    TOvalButton *BitBtn1 = nullptr;
    QLabel *Image2 = nullptr;
    QLabel *Label1 = nullptr;
    QFrame *Panel2 = nullptr;
    QFrame *Panel3 = nullptr;
    QLabel *Label7 = nullptr;
    MaskEdit *DATABASE = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QLabel *Label8 = nullptr;
    MaskEdit *TAXA = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *LEMBRETE = nullptr;
    QPushButton *BT1 = nullptr;
    DBGrid *DBGrid1 = nullptr;
    QFrame *Shape1 = nullptr;
    QFrame *Shape2 = nullptr;
    QFrame *Shape4 = nullptr;
    QLabel *lVALOR = nullptr;
    QLabel *lJUROS = nullptr;
    QLabel *lVALORACUM = nullptr;
    DBNavigator *DBNavigator1 = nullptr;

    // Start-up and shutdown.
    void FormCreate();
    void FormShow();
    void FormClose();
    void BitBtn3Click();
    void Label1Click();
    void Image2Click();
    // Where the settings file and the templates are; the current folder unless set.
    void setWorkingFolder(const QString &folder);
    QString workingFolder() const;
    // The background, fundo.bmp in the working folder. Start-up begins reading it before the
    // window is built and hands the read over; FormCreate takes the picture from there.
    static QString backgroundPath(const QString &workingFolder);
    void setBackgroundReadAhead(BitmapReadAhead background);
    // Replaces the desktop's "open" of the maker's address (tests).
    static void setUrlOpenerForTesting(std::function<void(const QString &)> opener);

    // Header entry and the commands.
    void DATABASEEnter();
    void DATABASEKeyPress(QChar &key);
    void DATABASEExit();
    void SpeedButton2Click();
    void TAXAKeyPress(QChar &key);
    void TAXAExit();
    void LEMBRETEKeyPress(QChar &key);
    void DATABASEChange();
    void BT1Click();
    void BitBtn1Click();
    void DBGrid1KeyDown(int &key, Qt::KeyboardModifiers modifiers);
    void DBGrid1KeyPress(QChar &key);
    void RadioButton1Click();
    void RadioButton2Click();
    void BitBtn2Click();

    void ResetHeaderFields();
    void StoreHeaderFields();

    // The calendar picker; tests replace it.
    static void setDatePickerForTesting(std::function<QDate(QWidget *owner)> picker);
    // The report form of the print command while its preview is open, else null.
    TIMP *reportForm() const { return m_report; }

    // CalculationHost
    void setHeaderPanelEnabled(bool enabled) override;
    void setLinePanelEnabled(bool enabled) override;
    void setSaveEnabled(bool enabled) override;
    bool headerPending() const override;
    void resetHeaderFields() override { ResetHeaderFields(); }
    void focusBaseDate() override;
    bool simpleInterest() const override;
    void showTotals(const QString &value, const QString &interest, const QString &net) override;
    void showMessage(const QString &text) override;
    void lineStarted() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void applyLayout();
    void connectHandlers();
    void setTabOrder();
    void openMakerAddress();

    QString m_workingFolder;
    BitmapReadAhead m_backgroundAhead; // empty unless start-up began the read
    bool m_shown = false;
    TIMP *m_report = nullptr;
};
