// SPDX-License-Identifier: MIT
#include "ui/startup.h"

#include "controls/application.h"
#include "ui/fonts.h"
#include "ui/tcheq.h"

#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <system_error>
#include <thread>

#ifdef CHEQUES_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace
{

bool hasDisplay()
{
#if defined(Q_OS_LINUX)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

// Fontconfig reads its configuration, a few dozen XML files, the first time any text is laid
// out: some milliseconds before the window can be built. It is read on a thread of its own while
// the application object starts, and the thread is joined before the first font is asked for,
// so that Qt finds the configuration in place and the two never read it at once.
class FontConfigurationReadAhead
{
public:
    FontConfigurationReadAhead()
    {
#ifdef CHEQUES_FONTCONFIG
        try {
            m_thread = std::thread([] { FcInit(); });
        } catch (const std::system_error &) {
            // no thread: Qt reads the configuration itself when it first needs it
        }
#endif
    }
    ~FontConfigurationReadAhead()
    {
        join();
    }
    FontConfigurationReadAhead(const FontConfigurationReadAhead &) = delete;
    FontConfigurationReadAhead &operator=(const FontConfigurationReadAhead &) = delete;

    void join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::thread m_thread;
};

} // namespace

int RunCheques(int argc, char **argv, const std::function<void(QWidget &)> &shown)
{
    if (!hasDisplay()) {
        std::fprintf(stderr, "Cheques: não há tela disponível (DISPLAY não definido); "
                             "rode em uma sessão gráfica ou com xvfb-run.\n");
        return 1;
    }
    FontConfigurationReadAhead fontConfiguration;
    Application app(argc, argv);
    // The background is decoded on a thread of its own while the window is built.
    BitmapReadAhead background(TCHEQ::backgroundPath(QDir::currentPath()));

    // Qt's own dialogs in Portuguese.
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
    fontConfiguration.join(); // the window's first text is laid out from here on

    // Message boxes and dialogs in MS Sans Serif 8 (11 px), the face Windows gives them; the
    // window's controls set fonts of their own. It is one of the faces the window uses anyway,
    // so no other face is loaded for the first text laid out.
    QApplication::setFont(MakeFont({"MS Sans Serif", 11, false, false}));
    TCHEQ window;
    window.setBackgroundReadAhead(std::move(background));
    try {
        window.FormCreate();
    } catch (...) {
        Application::reportException(std::current_exception());
    }
    window.show();
    if (shown)
        shown(window);
    return app.exec();
}
