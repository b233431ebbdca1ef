// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class QWidget;

// The program: start-up, the main window's run, and the end. `shown`, when given, is called
// with the main window right after it was shown (the start-up benchmark watches it).
int RunCheques(int argc, char **argv, const std::function<void(QWidget &)> &shown = {});
