// SPDX-License-Identifier: MIT
#pragma once

#include "controls/messages.h"
#include "support/tempfolder.h"
#include "ui/bitmapfile.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class TCHEQ;

// A main window started in temporary folders: a working folder with the templates (written by
// the engine) and the background, and a data folder through CHEQUES_WINDIR. Every message box
// goes into `boxes` ("error: ...", "info: ...", "confirm: ...") and confirmations answer
// `confirmAnswer`.
class WindowFixture
{
public:
    WindowFixture();
    ~WindowFixture();

    // Creates the window, runs its creation handler and shows it; `background` is handed to the
    // window before its creation handler, as start-up hands over the picture it read ahead.
    TCHEQ &start(BitmapReadAhead background = {});
    TCHEQ *window() const { return m_window.get(); }
    // Closes the window the way the close box does.
    void closeWindow();

    QString workFolder() const { return m_work.path(); }
    QString dataFolder() const;

    QStringList boxes;
    bool confirmAnswer = true;

private:
    TempFolder m_work;
    TempFolder m_windows;
    std::unique_ptr<TCHEQ> m_window;
};
