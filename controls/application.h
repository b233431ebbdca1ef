// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <exception>

// The application object. Every error raised in a window handler ends up here: it ends that
// handler and is shown in the error box; Abort is silent. The event loop goes on.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    // Shows an exception the way notify() does; for code that catches on its own.
    static void reportException(std::exception_ptr error);
    // Runs one user action for code that handles its own events: what the action throws is
    // shown as notify() shows it, and the caller goes on.
    template <typename Action> static void runGuarded(Action &&action)
    {
        try {
            action();
        } catch (...) {
            reportException(std::current_exception());
        }
    }
};
