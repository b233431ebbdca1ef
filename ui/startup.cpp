// SPDX-License-Identifier: MIT
#include "ui/startup.h"

#include "controls/application.h"
#include "ui/fonts.h"
#include "ui/tcheq.h"

#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

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

} // namespace

int RunCheques(int argc, char **argv, const std::function<void(QWidget &)> &shown)
{
    if (!hasDisplay()) {
        std::fprintf(stderr, "Cheques: não há tela disponível (DISPLAY não definido); "
                             "rode em uma sessão gráfica ou com xvfb-run.\n");
        return 1;
    }
    Application app(argc, argv);
    // The background is decoded on a thread of its own while the window is built.
    BitmapReadAhead background(TCHEQ::backgroundPath(QDir::currentPath()));

    // Qt's own dialogs in Portuguese.
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);

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
