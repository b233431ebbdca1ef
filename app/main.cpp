// SPDX-License-Identifier: MIT
#include "ui/startup.h"

int main(int argc, char **argv)
{
    return RunCheques(argc, argv);
}
