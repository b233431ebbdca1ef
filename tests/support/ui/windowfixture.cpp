// SPDX-License-Identifier: MIT
#include "windowfixture.h"

#include "support/linetables.h"
#include "tools/artwork.h"
#include "ui/tcheq.h"

#include <QDir>
#include <QTest>

WindowFixture::WindowFixture()
{
    qputenv("CHEQUES_WINDIR", m_windows.path().toLocal8Bit());
    WriteEmptyTables(m_work.path());
    Artwork::Background().save(QDir(m_work.path()).filePath(QStringLiteral("fundo.bmp")), "BMP");
    TCHEQ::setUrlOpenerForTesting([this](const QString &url) { boxes << "open: " + url; });
    Messages::setSinkForTesting([this](Messages::Kind kind, const QString &text) {
        static const char *const names[] = {"error: ", "info: ", "confirm: "};
        boxes << QLatin1String(names[int(kind)]) + text;
        return confirmAnswer;
    });
}

WindowFixture::~WindowFixture()
{
    m_window.reset();
    Messages::setSinkForTesting({});
    TCHEQ::setUrlOpenerForTesting({});
    TCHEQ::setDatePickerForTesting({});
    qunsetenv("CHEQUES_WINDIR");
}

QString WindowFixture::dataFolder() const
{
    return QDir(m_windows.path()).filePath(QStringLiteral("temp"));
}

TCHEQ &WindowFixture::start(BitmapReadAhead background)
{
    m_window = std::make_unique<TCHEQ>();
    m_window->setWorkingFolder(m_work.path());
    m_window->setBackgroundReadAhead(std::move(background));
    m_window->FormCreate();
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    if (!QTest::qWaitForWindowActive(m_window.get(), 2000))
        qWarning("the main window did not become active");
    return *m_window;
}

void WindowFixture::closeWindow()
{
    if (m_window)
        m_window->close();
}
