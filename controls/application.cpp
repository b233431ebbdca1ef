// SPDX-License-Identifier: MIT
#include "controls/application.h"

#include "controls/messages.h"
#include "core/errors.h"

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportException(std::current_exception());
    }
    return true;
}

void Application::reportException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Abort &) {
        // a silent refusal
    } catch (const Error &e) {
        Messages::ShowError(e.message());
    } catch (const std::exception &e) {
        Messages::ShowError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Messages::ShowError(QStringLiteral("Erro inesperado"));
    }
}
