// SPDX-License-Identifier: MIT
// The print command.
#include "ui/tcheq.h"

#include "controls/messages.h"
#include "report/previewwindow.h"
#include "ui/timp.h"

#include <QPointer>
#include <QScopeGuard>

void TCHEQ::BitBtn2Click()
{
    if (headerPending()) {
        Messages::ShowMessage(kHeaderPendingMessage);
        return;
    }
    // One report at a time: while its preview is open, the button brings that preview forward.
    if (m_report) {
        if (PreviewWindow *shown = m_report->QuickRep1.previewWindow()) {
            if (shown->isMinimized())
                shown->showMaximized();
            shown->raise();
            shown->activateWindow();
        }
        return;
    }

    const QPointer<TCHEQ> self(this);
    m_report = new TIMP(*this);
    // However the command ends, the form goes with it.
    const auto destroyForm = qScopeGuard([&] {
        if (!self)
            return; // the window took its form with it
        delete m_report;
        m_report = nullptr;
    });

    m_report->Table2.setDatabaseName(DataFolder());
    m_report->Table2.open();
    m_report->QuickRep1.preview(this);
    if (self && m_report)
        m_report->Table2.close();
}
