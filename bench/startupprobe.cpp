// SPDX-License-Identifier: MIT
// Starts either the program or a bare window of the main window's size, built with the same
// libraries, and quits as soon as the first frame has been painted.
//   startupprobe cheques | bare
#include "controls/application.h"
#include "ui/startup.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <memory>

namespace
{

// Quits the application once the watched window has been painted.
class QuitOnPaint : public QObject
{
public:
    explicit QuitOnPaint(QWidget &window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "bare") == 0) {
        Application app(argc, argv);
        QWidget window;
        window.resize(514, 528);
        QuitOnPaint quit(window);
        window.show();
        return app.exec();
    }
    std::unique_ptr<QuitOnPaint> quit;
    return RunCheques(argc, argv,
                      [&quit](QWidget &window) { quit = std::make_unique<QuitOnPaint>(window); });
}
