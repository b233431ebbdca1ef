// SPDX-License-Identifier: MIT
#pragma once

#include "controls/application.h"

#include <QTest>

// A test main with the program's own application object, so that errors thrown in handlers
// reach the error box as they do in the program.
#define CHEQUES_APP_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        Application app(argc, argv);                                                               \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
