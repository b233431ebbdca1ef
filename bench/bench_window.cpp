// SPDX-License-Identifier: MIT
// The main window: start-up, as a process, to its first painted frame against a bare window of
// the same size built with the same libraries; and typing cheques through the grid, where a
// late line must cost what an early one does.
#include "controls/application.h"
#include "controls/messages.h"
#include "core/clock.h"
#include "support/linetables.h"
#include "support/tempfolder.h"
#include "tools/artwork.h"
#include "ui/tcheq.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{

// The working folder with the templates and the background, and the data folder.
struct Folders {
    TempFolder work, windows;
    Folders()
    {
        qputenv("CHEQUES_WINDIR", windows.path().toLocal8Bit());
        WriteEmptyTables(work.path());
        Artwork::Background().save(QDir(work.path()).filePath(QStringLiteral("fundo.bmp")), "BMP");
        Messages::setSinkForTesting([](Messages::Kind, const QString &text) {
            std::fprintf(stderr, "box: %s\n", qPrintable(text));
            return true;
        });
    }
};

Folders &folders()
{
    static Folders f;
    return f;
}

// Runs the start-up probe as its own process, from process start to the first painted frame
// and the exit, in the working folder with the templates; the wall time in nanoseconds, or -1
// when the probe failed.
qint64 runProbe(const char *what)
{
    Folders &f = folders();
    QProcess probe;
    probe.setWorkingDirectory(f.work.path());
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    probe.start(QStringLiteral(CHEQUES_STARTUP_PROBE), {QString::fromLatin1(what)});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        return -1;
    return timer.nsecsElapsed();
}

void press(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

void type(const char *text)
{
    for (const char *c = text; *c; ++c)
        QTest::keyClick(QApplication::focusWidget(), *c);
}

// Enters a header, base date 01/03/2024 and rate 3,5, saves it and opens the first line: the
// focus is then on the grid, ready for a value.
void startCalculation()
{
    type("01032024");
    press(Qt::Key_Return);
    type("3,5");
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    press(Qt::Key_Return); // Gravar: the focus is on the grid
    press(Qt::Key_Return); // the first line
}

// Types one cheque through the grid, value, Enter, date, Enter; its time in nanoseconds.
qint64 typeLine(int i)
{
    static const char *const values[] = {"600", "1000", "250,5", "75,25", "1234,56"};
    static const char *const dates[] = {"15042024", "13042024", "01052024", "20032024", "02022025"};
    QElapsedTimer timer;
    timer.start();
    type(values[i % 5]);
    press(Qt::Key_Return);
    type(dates[i % 5]);
    press(Qt::Key_Return);
    QCoreApplication::processEvents();
    return timer.nsecsElapsed();
}

// A started main window on a data folder of its own.
struct TypingWindow {
    TempFolder windows;
    TCHEQ window;

    TypingWindow()
    {
        const QByteArray shared = qgetenv("CHEQUES_WINDIR");
        qputenv("CHEQUES_WINDIR", windows.path().toLocal8Bit());
        window.setWorkingFolder(folders().work.path());
        window.FormCreate(); // the data folder is taken here
        qputenv("CHEQUES_WINDIR", shared);
        window.show();
        activate();
        startCalculation();
    }
    ~TypingWindow() { window.close(); }

    void activate()
    {
        QApplication::setActiveWindow(&window);
        (void)QTest::qWaitForWindowActive(&window, 2000);
    }
    int lines() const { return window.Table2.recordCount(); }
};

struct TypingTimes {
    std::vector<qint64> first, late, early;
};

// Types a long calculation of `lines` cheques in one window while a second window types a new
// one: the first `stretch` lines of the long calculation are `first`, and its last `stretch`
// are typed in turns with the new calculation's first `stretch` (`late` and `early`). A late
// line and the early line after it are typed within milliseconds of each other, so whatever
// the machine is doing then weighs on both alike.
TypingTimes typeCheques(int lines, int stretch)
{
    TypingTimes times;
    TypingWindow grown, fresh;
    grown.activate();
    for (int i = 0; i < lines - stretch; ++i) {
        const qint64 t = typeLine(i);
        if (i < stretch)
            times.first.push_back(t);
    }
    for (int i = 0; i < stretch; ++i) {
        grown.activate();
        times.late.push_back(typeLine(lines - stretch + i));
        fresh.activate();
        times.early.push_back(typeLine(i));
    }
    if (grown.lines() != lines || fresh.lines() != stretch)
        std::fprintf(stderr, "typed %d and %d lines, %d and %d stored\n", lines, stretch,
                     grown.lines(), fresh.lines());
    return times;
}

// The median of a stretch of times: one slow run (a cache, the allocator, the disk) is no trend.
double median(std::vector<qint64> stretch)
{
    std::sort(stretch.begin(), stretch.end());
    return double(stretch[stretch.size() / 2]);
}

// Start-up against the bare window, run in turns: each run of the program is paired with the
// bare window's run that follows it, and the two share whatever the machine is doing then. The
// ratio is the median of the pairs' ratios; the machine's slow and fast stretches, which move
// both runs of a pair alike, cancel in each pair instead of shifting either median.
void compareStartUp(int pairs)
{
    std::vector<qint64> program, bare;
    std::vector<double> ratios;
    for (int i = 0; i < pairs; ++i) {
        const qint64 a = runProbe("cheques"), b = runProbe("bare");
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "the start-up probe failed\n");
            return;
        }
        program.push_back(a);
        bare.push_back(b);
        ratios.push_back(double(a) / double(b));
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("start-up: program %.2f ms, bare window %.2f ms (medians of %d runs each)\n",
                median(program) / 1e6, median(bare) / 1e6, pairs);
    std::printf("RATIO startup_vs_bare_window = %.3f\n", ratios[ratios.size() / 2]);
}

} // namespace

int main(int argc, char **argv)
{
    Application app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); // "250,5" is a value
    setTodayForTesting(QDate(2024, 3, 5));
    folders();

    constexpr int kCheques = 2000, kStretch = 200;
    const TypingTimes times = typeCheques(kCheques, kStretch);
    const double first = median(times.first), late = median(times.late);
    const double early = median(times.early);
    std::printf("typing: lines 1-%d %.3f ms per line; lines %d-%d %.3f ms per line, in turns with "
                "a new calculation's lines 1-%d %.3f ms per line\n",
                kStretch, first / 1e6, kCheques - kStretch + 1, kCheques, late / 1e6, kStretch,
                early / 1e6);
    std::printf("RATIO late_vs_early_line = %.3f\n", late / early);

    compareStartUp(81);
    return 0;
}
