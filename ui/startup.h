// SPDX-License-Identifier: MIT
#pragma once

// The program: start-up, the main window's run, and the end.
int RunCheques(int argc, char **argv);
