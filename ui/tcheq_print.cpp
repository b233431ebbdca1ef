// SPDX-License-Identifier: MIT
// The print command.
#include "ui/tcheq.h"

#include "controls/messages.h"

void TCHEQ::BitBtn2Click()
{
    if (headerPending()) {
        Messages::ShowMessage(kHeaderPendingMessage);
        return;
    }
}
