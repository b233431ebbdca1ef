// SPDX-License-Identifier: MIT
#include "report/previewwindow.h"

#include "controls/application.h"
#include "report/laidoutpages.h"
#include "report/reportfile.h"
#include "report/reportprinting.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>

const QString PreviewWindow::kCaption = QStringLiteral("Previsão de Relatório");

namespace
{

std::function<void(PreviewWindow &)> g_openedHook;

enum class Item { Action, ZoomAction, Separator, PageBox, DuplexBox };

constexpr QStyle::StandardPixmap kNoIcon = QStyle::SP_CustomBase;

struct ToolRow {
    Item item;
    const char *objectName;
    const char *text;
    const char *toolTip;
    const char *shortcut; // portable key text
    QStyle::StandardPixmap icon;
    void (PreviewWindow::*slot)();
};

// clang-format off
const ToolRow kToolRows[] = {
    {Item::ZoomAction, "zoomWholePage", "Página inteira",    "Mostrar a página inteira",            "",          kNoIcon, &PreviewWindow::zoomWholePage},
    {Item::ZoomAction, "zoomActualSize", "100 %",            "Mostrar a página em tamanho real",    "",          kNoIcon, &PreviewWindow::zoomActualSize},
    {Item::ZoomAction, "zoomPageWidth", "Largura da página", "Ajustar a página à largura da janela", "",         kNoIcon, &PreviewWindow::zoomPageWidth},
    {Item::Separator,  "", "", "", "", kNoIcon, nullptr},
    {Item::Action,     "firstPage",    "Primeira",  "Primeira página", "Ctrl+Home", QStyle::SP_MediaSkipBackward, &PreviewWindow::firstPage},
    {Item::Action,     "previousPage", "Anterior",  "Página anterior", "PgUp",      QStyle::SP_MediaSeekBackward, &PreviewWindow::previousPage},
    {Item::PageBox,    "", "", "", "", kNoIcon, nullptr},
    {Item::Action,     "nextPage",     "Próxima",   "Próxima página",  "PgDown",    QStyle::SP_MediaSeekForward,  &PreviewWindow::nextPage},
    {Item::Action,     "lastPage",     "Última",    "Última página",   "Ctrl+End",  QStyle::SP_MediaSkipForward,  &PreviewWindow::lastPage},
    {Item::Separator,  "", "", "", "", kNoIcon, nullptr},
    {Item::Action,     "setupPrinter", "Configurar", "Configurar a impressora", "",     QStyle::SP_FileDialogDetailedView, &PreviewWindow::setupPrinter},
    {Item::Action,     "print",        "Imprimir",   "Imprimir o relatório",    "Ctrl+P", QStyle::SP_DialogYesButton,      &PreviewWindow::printReport},
    {Item::DuplexBox,  "", "", "", "", kNoIcon, nullptr},
    {Item::Separator,  "", "", "", "", kNoIcon, nullptr},
    {Item::Action,     "save",         "Salvar",    "Salvar o relatório em arquivo (relatório ou PDF)", "Ctrl+S", QStyle::SP_DialogSaveButton, &PreviewWindow::saveReport},
    {Item::Action,     "open",         "Abrir",     "Abrir um relatório salvo", "Ctrl+O", QStyle::SP_DialogOpenButton, &PreviewWindow::openReport},
    {Item::Separator,  "", "", "", "", kNoIcon, nullptr},
    {Item::Action,     "close",        "Fechar",    "Fechar a previsão",        "Esc",    QStyle::SP_DialogCloseButton, nullptr},
};
// clang-format on

bool isPdfPath(const QString &path)
{
    return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

// A name typed without extension takes the one of the chosen file type.
QString completedSavePath(const QString &path, const QString &selectedFilter)
{
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path + (selectedFilter == PreviewDialogs::kPdfFilter ? QStringLiteral(".pdf")
                                                                : QStringLiteral(".rel"));
}

} // namespace

PreviewWindow::PreviewWindow(Generator generate, QWidget *parent)
    : QMainWindow(parent), m_generate(std::move(generate)),
      m_previewPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_dialogs(PreviewDialogs::standard())
{
    auto firstPages = std::make_unique<LaidOutPages>(m_generate());
    setWindowTitle(kCaption);
    setWindowModality(Qt::NonModal);
    // The preview printer only measures pages for the screen: never a real device.
    m_previewPrinter->setOutputFormat(QPrinter::PdfFormat);
    // As the report leaves them: one copy, all pages, single-sided.
    m_printer->setCopyCount(1);
    m_printer->setPrintRange(QPrinter::AllPages);
    m_printer->setDuplex(QPrinter::DuplexNone);

    m_preview = new QPrintPreviewWidget(m_previewPrinter.get(), this);
    m_preview->setViewMode(QPrintPreviewWidget::SinglePageView);
    m_preview->setOrientation(QPageLayout::Portrait);
    setCentralWidget(m_preview);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &PreviewWindow::paintPreview);
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &PreviewWindow::updatePageBox);

    buildToolBar();
    showPages(std::move(firstPages), false);
    zoomPageWidth();
    m_preview->setFocus();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::buildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Previsão"));
    bar->setObjectName(QStringLiteral("previewToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto *zoomGroup = new QActionGroup(this);

    for (const ToolRow &row : kToolRows) {
        switch (row.item) {
        case Item::Separator:
            bar->addSeparator();
            break;
        case Item::PageBox: {
            m_pageBox = new QSpinBox(bar);
            m_pageBox->setObjectName(QStringLiteral("pageBox"));
            m_pageBox->setToolTip(QStringLiteral("Ir para a página"));
            m_pageBox->setKeyboardTracking(false); // go when Enter confirms the number
            m_pageBox->setMinimum(1);
            connect(m_pageBox, &QSpinBox::valueChanged, this, &PreviewWindow::goToPage);
            bar->addWidget(m_pageBox);
            m_pageCountLabel = new QLabel(bar);
            m_pageCountLabel->setObjectName(QStringLiteral("pageCountLabel"));
            bar->addWidget(m_pageCountLabel);
            break;
        }
        case Item::DuplexBox:
            m_duplexBox = new QCheckBox(QStringLiteral("Frente e Verso"), bar);
            m_duplexBox->setObjectName(QStringLiteral("duplexBox"));
            m_duplexBox->setToolTip(QStringLiteral("Imprimir nos dois lados do papel"));
            connect(m_duplexBox, &QCheckBox::toggled, this, &PreviewWindow::setDoubleSided);
            bar->addWidget(m_duplexBox);
            break;
        case Item::Action:
        case Item::ZoomAction: {
            auto *action = new QAction(QString::fromUtf8(row.text), this);
            action->setObjectName(QString::fromLatin1(row.objectName));
            action->setToolTip(QString::fromUtf8(row.toolTip));
            if (row.icon != kNoIcon)
                action->setIcon(style()->standardIcon(row.icon));
            if (*row.shortcut)
                action->setShortcut(QKeySequence::fromString(QString::fromLatin1(row.shortcut),
                                                             QKeySequence::PortableText));
            if (row.item == Item::ZoomAction) {
                action->setCheckable(true);
                zoomGroup->addAction(action);
            }
            if (row.slot)
                connect(action, &QAction::triggered, this, row.slot);
            else
                connect(action, &QAction::triggered, this, &QWidget::close);
            bar->addAction(action);
            break;
        }
        }
    }
}

template <typename Operation> void PreviewWindow::guarded(Operation operation)
{
    try {
        operation();
    } catch (...) {
        Application::reportException(std::current_exception());
    }
}

void PreviewWindow::showPages(std::unique_ptr<ReportPages> pages, bool fromFile)
{
    m_pages = std::move(pages);
    m_pagesFromFile = fromFile;
    // Pages replayed from pictures keep their text size only at the resolution they were
    // recorded at, on screen as on paper.
    if (m_pages->requiredResolution() > 0)
        m_previewPrinter->setResolution(m_pages->requiredResolution());
    PreparePrinter(*m_previewPrinter, *m_pages, kCaption);
    PreparePrinter(*m_printer, *m_pages, kCaption);
    m_preview->updatePreview();
    updatePageBox();
}

void PreviewWindow::paintPreview(QPrinter *printer)
{
    guarded([&] {
        QVector<int> all;
        for (int i = 0; i < m_pages->pageCount(); ++i)
            all.append(i);
        PaintPages(*m_pages, *printer, all);
    });
}

void PreviewWindow::updatePageBox()
{
    const QSignalBlocker blocker(m_pageBox);
    m_pageBox->setMaximum(std::max(1, pageCount()));
    m_pageBox->setValue(std::max(1, currentPage()));
    m_pageCountLabel->setText(QStringLiteral(" de %1 ").arg(pageCount()));
}

int PreviewWindow::pageCount() const
{
    return m_pages->pageCount();
}

int PreviewWindow::currentPage() const
{
    return m_preview->currentPage();
}

void PreviewWindow::setDialogs(PreviewDialogs dialogs)
{
    const PreviewDialogs standard = PreviewDialogs::standard();
    m_dialogs.print = dialogs.print ? dialogs.print : standard.print;
    m_dialogs.pageSetup = dialogs.pageSetup ? dialogs.pageSetup : standard.pageSetup;
    m_dialogs.saveFileName = dialogs.saveFileName ? dialogs.saveFileName : standard.saveFileName;
    m_dialogs.openFileName = dialogs.openFileName ? dialogs.openFileName : standard.openFileName;
}

void PreviewWindow::zoomWholePage()
{
    m_preview->fitInView();
    findChild<QAction *>(QStringLiteral("zoomWholePage"))->setChecked(true);
}

void PreviewWindow::zoomActualSize()
{
    m_preview->setZoomFactor(1.0);
    findChild<QAction *>(QStringLiteral("zoomActualSize"))->setChecked(true);
}

void PreviewWindow::zoomPageWidth()
{
    m_preview->fitToWidth();
    findChild<QAction *>(QStringLiteral("zoomPageWidth"))->setChecked(true);
}

void PreviewWindow::firstPage()
{
    goToPage(1);
}

void PreviewWindow::previousPage()
{
    goToPage(currentPage() - 1);
}

void PreviewWindow::nextPage()
{
    goToPage(currentPage() + 1);
}

void PreviewWindow::lastPage()
{
    goToPage(pageCount());
}

void PreviewWindow::goToPage(int page)
{
    m_preview->setCurrentPage(std::clamp(page, 1, std::max(1, pageCount())));
    updatePageBox();
}

void PreviewWindow::setupPrinter()
{
    guarded([this] { m_dialogs.pageSetup(*m_printer, this); });
}

void PreviewWindow::setDoubleSided(bool on)
{
    m_printer->setDuplex(on ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
    const QSignalBlocker blocker(m_duplexBox);
    m_duplexBox->setChecked(on);
}

void PreviewWindow::printReport()
{
    guarded([this] {
        if (!m_dialogs.print(*m_printer, pageCount(), this))
            return;
        // The print dialog has its own two-sided choice; the box follows it.
        {
            const QSignalBlocker blocker(m_duplexBox);
            m_duplexBox->setChecked(m_printer->duplex() != QPrinter::DuplexNone);
        }
        m_printer->setDocName(kCaption);
        m_printer->setFullPage(true);
        if (m_pagesFromFile) {
            PrintPages(*m_pages, *m_printer);
            return;
        }
        const LaidOutPages fresh(m_generate());
        PrintPages(fresh, *m_printer);
    });
}

void PreviewWindow::saveReport()
{
    guarded([this] {
        QString filter;
        QString path = m_dialogs.saveFileName(this, &filter);
        if (path.isEmpty())
            return;
        path = completedSavePath(path, filter);
        if (isPdfPath(path))
            WritePdf(*m_pages, path, kCaption);
        else
            SaveReportFile(*m_pages, path);
    });
}

void PreviewWindow::openReport()
{
    guarded([this] {
        const QString path = m_dialogs.openFileName(this);
        if (path.isEmpty())
            return;
        auto loaded = std::make_unique<PicturePages>(LoadReportFile(path));
        showPages(std::move(loaded), true);
        goToPage(1);
    });
}

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

void PreviewWindow::exec()
{
    showMaximized();
    raise();
    activateWindow();
    QPointer<PreviewWindow> self(this);
    if (g_openedHook)
        g_openedHook(*this);
    if (!self || isHidden())
        return;
    QEventLoop loop;
    connect(this, &PreviewWindow::closed, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

void PreviewWindow::showAndWait(Generator generate, QWidget *parent, QPointer<PreviewWindow> *shown)
{
    // On the heap: a parent that goes away during the wait takes the window with it.
    QPointer<PreviewWindow> window = new PreviewWindow(std::move(generate), parent);
    if (shown)
        *shown = window;
    window->exec();
    delete window.data();
}

void PreviewWindow::setOpenedHookForTesting(std::function<void(PreviewWindow &)> hook)
{
    g_openedHook = std::move(hook);
}
