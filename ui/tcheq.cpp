// SPDX-License-Identifier: MIT
#include "ui/tcheq.h"

#include "report/previewwindow.h"
#include "ui/timp.h"

#include "controls/application.h"
#include "controls/dbgrid.h"
#include "controls/dbnavigator.h"
#include "controls/maskedit.h"
#include "controls/messages.h"
#include "controls/ovalbutton.h"
#include "controls/windowsmetricsstyle.h"
#include "core/errors.h"
#include "ui/bitmapfile.h"
#include "ui/layout.h"
#include "ui/pictures.h"
#include "ui/settingsfile.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QUrl>

namespace
{

std::function<void(const QString &)> g_urlOpener;

// The grid's columns, in order.
const DBGridColumn kGridColumns[] = {
    {"VALOR",
     "Valor",
     87,
     false,
     Qt::AlignRight | Qt::AlignVCenter,
     QColor(),
     Qt::AlignLeft | Qt::AlignVCenter,
     QColor(128, 0, 0),
     {}},
    {"DATA",
     "Data",
     81,
     false,
     Qt::AlignLeft | Qt::AlignVCenter,
     QColor(),
     Qt::AlignCenter,
     QColor(),
     {}},
    {"DIAS", "Dias", 47, true, Qt::AlignCenter, QColor(), Qt::AlignCenter, QColor(), {}},
    {"JUROS", "Juros", 93, true, Qt::AlignRight | Qt::AlignVCenter, QColor(255, 255, 240),
     Qt::AlignCenter, QColor(), MakeFont({"Times New Roman", 15, true, false})},
    {"VALORDESC",
     "Vlr.Apurado",
     101,
     true,
     Qt::AlignRight | Qt::AlignVCenter,
     QColor(),
     Qt::AlignCenter,
     QColor(),
     {}},
};

} // namespace

TCHEQ::TCHEQ(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CHEQ"));
    setWindowTitle(QStringLiteral("Programa para Cálculo de Juros"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    move(kWindowLeft, kWindowTop);
    setFont(MakeFont(kWindowFont));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);

    createControls();
    applyLayout();
    connectHandlers();
    setTabOrder();
}

TCHEQ::~TCHEQ() = default;

void TCHEQ::createControls()
{
    Image1 = new QLabel(this);
    Label6 = new QLabel(this);
    lDATA = new QLabel(this);
    BitBtn3 = new TOvalButton(this);
    BitBtn2 = new TOvalButton(this);
    BitBtn1 = new TOvalButton(this);
    Image2 = new QLabel(this);
    Label1 = new QLabel(this);
    Panel2 = new QFrame(this);
    Panel3 = new QFrame(this);

    Label7 = new QLabel(Panel2);
    DATABASE = new MaskEdit(QStringLiteral("!99/99/9999;1;_"), Panel2);
    SpeedButton2 = new QToolButton(Panel2);
    RadioButton1 = new QRadioButton(Panel2);
    RadioButton2 = new QRadioButton(Panel2);
    Label8 = new QLabel(Panel2);
    TAXA = new MaskEdit(QStringLiteral("!##9.99;_"), Panel2);
    Label9 = new QLabel(Panel2);
    Label5 = new QLabel(Panel2);
    LEMBRETE = new QLineEdit(Panel2);
    BT1 = new QPushButton(Panel2);

    DBGrid1 = new DBGrid(Panel3);
    Shape1 = new QFrame(Panel3);
    Shape2 = new QFrame(Panel3);
    Shape4 = new QFrame(Panel3);
    lVALOR = new QLabel(Panel3);
    lJUROS = new QLabel(Panel3);
    lVALORACUM = new QLabel(Panel3);
    DBNavigator1 = new DBNavigator(Panel3);

    const std::pair<QWidget *, const char *> names[] = {
        {Image1, "Image1"},
        {Label6, "Label6"},
        {lDATA, "lDATA"},
        {BitBtn3, "BitBtn3"},
        {BitBtn2, "BitBtn2"},
        {BitBtn1, "BitBtn1"},
        {Image2, "Image2"},
        {Label1, "Label1"},
        {Panel2, "Panel2"},
        {Panel3, "Panel3"},
        {Label7, "Label7"},
        {DATABASE, "DATABASE"},
        {SpeedButton2, "SpeedButton2"},
        {RadioButton1, "RadioButton1"},
        {RadioButton2, "RadioButton2"},
        {Label8, "Label8"},
        {TAXA, "TAXA"},
        {Label9, "Label9"},
        {Label5, "Label5"},
        {LEMBRETE, "LEMBRETE"},
        {BT1, "BT1"},
        {DBGrid1, "DBGrid1"},
        {Shape1, "Shape1"},
        {Shape2, "Shape2"},
        {Shape4, "Shape4"},
        {lVALOR, "lVALOR"},
        {lJUROS, "lJUROS"},
        {lVALORACUM, "lVALORACUM"},
        {DBNavigator1, "DBNavigator1"},
    };
    for (const auto &[widget, name] : names)
        widget->setObjectName(QLatin1String(name));
}

void TCHEQ::applyLayout()
{
    for (int i = 0; i < kMainWindowLayoutCount; ++i) {
        const ControlLayout &row = kMainWindowLayout[i];
        QWidget *w = findChild<QWidget *>(QLatin1String(row.name));
        if (!w)
            continue;
        if (TOvalButton *oval = qobject_cast<TOvalButton *>(w))
            oval->setFont(MakeFont(row.font)); // the button's own caption font
        else
            w->setFont(MakeFont(row.font));
        if (QLabel *label = qobject_cast<QLabel *>(w))
            label->setText(QString::fromUtf8(row.text));
        else if (QAbstractButton *button = qobject_cast<QAbstractButton *>(w))
            button->setText(QString::fromUtf8(row.text));
        if (row.hint[0])
            w->setToolTip(QString::fromUtf8(row.hint));
        if (row.color) {
            QPalette pal = w->palette();
            pal.setColor(QPalette::WindowText, QColor::fromRgb(row.color));
            w->setPalette(pal);
        }
        QRect g = row.geometry;
        if (g.width() <= 0 || g.height() <= 0)
            g.setSize(w->sizeHint()); // a label sized to its text
        w->setGeometry(g);
    }
    BitBtn3->setCaption(QStringLiteral("&Sair"));
    BitBtn2->setCaption(QStringLiteral("Im&primir"));
    BitBtn1->setCaption(QStringLiteral("&Reiniciar"));
    Label1->setText(QString::fromLatin1(kMakerAddress));
    Label1->setCursor(Qt::PointingHandCursor);
    Image2->setCursor(Qt::PointingHandCursor);

    // Background and logo.
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image2->setPixmap(QPixmap::fromImage(Pictures::Logo()));

    // The three oval buttons of the command row share their look.
    const std::pair<TOvalButton *, QImage> buttons[] = {
        {BitBtn3, Pictures::ExitGlyph()},
        {BitBtn2, Pictures::PrinterGlyph()},
        {BitBtn1, Pictures::RestartGlyph()},
    };
    for (const auto &[button, glyph] : buttons) {
        button->setBevelWidth(0);
        button->setDown(false);
        button->setFlat(false);
        button->setGroupIndex(0);
        button->setButtonLayout(blGlyphLeft);
        button->setMargin(0);
        button->setGlyph(glyph); // the glyph's bottom-left pixel becomes its transparent colour
        button->setNumGlyphs(1);
        button->setSpacing(4);
        button->setTransparent(true);
    }

    for (QFrame *panel : {Panel2, Panel3}) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Raised);
        panel->setAutoFillBackground(true);
        panel->setEnabled(false);
    }
    for (QFrame *shape : {Shape1, Shape2, Shape4}) {
        shape->setFrameShape(QFrame::Box);
        shape->setAutoFillBackground(true);
    }
    for (QLabel *total : {lVALOR, lJUROS, lVALORACUM})
        total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel *label : {Label6, lDATA, Label1})
        label->setAttribute(Qt::WA_TranslucentBackground);

    DATABASE->setMaxLength(10);
    DATABASE->setMaskedText(QStringLiteral("  /  /    "));
    TAXA->setMaxLength(6);
    TAXA->setAutoSelect(true);
    TAXA->setMaskedText(QStringLiteral("   .  "));
    LEMBRETE->setMaxLength(40);

    SpeedButton2->setFocusPolicy(Qt::NoFocus);
    SpeedButton2->setAutoRaise(true);
    const QImage calendar = Pictures::CalendarGlyph();
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(calendar.copy(0, 0, 16, 16)), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(calendar.copy(16, 0, 16, 16)), QIcon::Disabled);
    SpeedButton2->setIcon(icon);

    auto *windowsMetrics = new WindowsMetricsStyle(this);
    for (QRadioButton *mode : {RadioButton1, RadioButton2})
        mode->setStyle(windowsMetrics); // the captions need Windows' gap to show whole
    RadioButton1->setChecked(true);
    BT1->setIcon(QIcon(QPixmap::fromImage(Pictures::CheckGlyph())));
    BT1->setIconSize(QSize(25, 25));
    BT1->setAutoDefault(true); // Enter on the focused button presses it
    BT1->setEnabled(false);

    DBGrid1->setTitleFont(MakeFont(kWindowFont)); // the titles' own, unless a column gives one
    DBGrid1->setColumns(QVector<DBGridColumn>(std::begin(kGridColumns), std::end(kGridColumns)));
    DBGrid1->setDataSource(&DataSource2);
    DBNavigator1->setDataSource(&DataSource2);
}

void TCHEQ::setTabOrder()
{
    // Header panel first, then the line panel.
    const QWidget *order[] = {DATABASE,     TAXA,         LEMBRETE, BT1,
                              RadioButton1, RadioButton2, DBGrid1,  DBNavigator1};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget *>(order[i]), const_cast<QWidget *>(order[i + 1]));
}

void TCHEQ::setWorkingFolder(const QString &folder)
{
    m_workingFolder = folder;
    Store.setWorkingFolder(folder);
}

QString TCHEQ::workingFolder() const
{
    return m_workingFolder.isEmpty() ? QDir::currentPath() : m_workingFolder;
}

QString TCHEQ::backgroundPath(const QString &workingFolder)
{
    return QDir(workingFolder).filePath(QStringLiteral("fundo.bmp"));
}

void TCHEQ::setBackgroundReadAhead(BitmapReadAhead background)
{
    m_backgroundAhead = std::move(background);
}

// --- start-up and shutdown -------------------------------------------------------------------

void TCHEQ::FormCreate()
{
    // A missing background is reported and start-up goes on: the window works without it.
    const QString path = backgroundPath(workingFolder());
    QImage background = m_backgroundAhead.take(path);
    if (background.isNull()) {
        const QString reason = QFileInfo::exists(path)
                                   ? QStringLiteral("Not a readable bitmap")
                                   : QStringLiteral("The system cannot find the file specified");
        Messages::ShowError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    } else {
        Image1->setPixmap(QPixmap::fromImage(std::move(background)));
    }
    Store.PrepareDataFolder();
}

void TCHEQ::FormShow()
{
    Store.StartNewCalculation();
    const std::optional<bool> simple =
        ReadSimpleInterestSetting(QDir(workingFolder()).filePath(kSettingsFileName));
    if (simple.has_value()) {
        if (*simple)
            RadioButton1->setChecked(true);
        else
            RadioButton2->setChecked(true);
    }
}

void TCHEQ::FormClose()
{
    // Whatever is still being typed is dropped by the tables' close rule.
    Table2.close();
    Table1.close();
    WriteSimpleInterestSetting(QDir(workingFolder()).filePath(kSettingsFileName),
                               RadioButton1->isChecked());
}

void TCHEQ::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void TCHEQ::closeEvent(QCloseEvent *event)
{
    // An open preview goes with the window: it would print from tables that are closed.
    if (m_report)
        if (PreviewWindow *preview = m_report->QuickRep1.previewWindow())
            preview->close();
    // The window closes even when the settings cannot be written; the failure is reported.
    try {
        FormClose();
    } catch (...) {
        Application::reportException(std::current_exception());
    }
    event->accept();
}

void TCHEQ::BitBtn3Click()
{
    close();
}

void TCHEQ::setUrlOpenerForTesting(std::function<void(const QString &)> opener)
{
    g_urlOpener = std::move(opener);
}

void TCHEQ::openMakerAddress()
{
    const QString address = QString::fromLatin1(kMakerAddress);
    if (g_urlOpener)
        g_urlOpener(address);
    else
        QDesktopServices::openUrl(QUrl(address)); // the result is not looked at
}

void TCHEQ::Label1Click()
{
    openMakerAddress();
}

void TCHEQ::Image2Click()
{
    openMakerAddress();
}

// --- CalculationHost -------------------------------------------------------------------------

void TCHEQ::setHeaderPanelEnabled(bool enabled)
{
    Panel2->setEnabled(enabled);
}

void TCHEQ::setLinePanelEnabled(bool enabled)
{
    Panel3->setEnabled(enabled);
}

void TCHEQ::setSaveEnabled(bool enabled)
{
    BT1->setEnabled(enabled);
}

bool TCHEQ::headerPending() const
{
    // Gravar's own enabled flag, whatever its panel's state.
    return !BT1->testAttribute(Qt::WA_ForceDisabled);
}

void TCHEQ::focusBaseDate()
{
    DATABASE->setFocus();
}

bool TCHEQ::simpleInterest() const
{
    return RadioButton1->isChecked();
}

void TCHEQ::showTotals(const QString &value, const QString &interest, const QString &net)
{
    lVALOR->setText(value);
    lJUROS->setText(interest);
    lVALORACUM->setText(net);
}

void TCHEQ::showMessage(const QString &text)
{
    Messages::ShowMessage(text);
}

void TCHEQ::lineStarted()
{
    DBGrid1->setSelectedIndex(0);
}
