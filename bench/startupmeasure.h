#pragma once

#include "benchcontext.h"
#include "measureresult.h"

#include <QSize>
#include <QTemporaryDir>

// Start-up as the user waits for it: from starting the process to the first
// painted frame of the loaded start page, each run a fresh process; against a
// program of the web engine alone (tessera_bench_bare) showing the same page
// text in a web view of the same size. Memory is taken once the page is
// painted, in each process and its floor; once more after the exam window has
// opened the paper, which on Qt WebEngine shows whether its views share the
// start page's renderer.
class StartupMeasure
{
public:
    explicit StartupMeasure(const BenchContext &context);
    MeasureResult startup();
    // The first start of a day, as the program makes it: the data file's
    // check before the window, the page, then (after the paint, untimed) the
    // whole-file check and the day's backup, which are removed again so that
    // every run is a day's first. Its floor adds to the bare engine's start
    // the check that must come before the window, run alone.
    MeasureResult startupFirstOfDay();

    // The word that, given instead of a paper, makes the child start as on
    // the first start of a day.
    static QString firstOfDayWord() { return QStringLiteral("--first-of-day"); }

    // The child side: the program's start on the bank in bankDir (with "/").
    // Prints "painted peak_rss_kb=N processes=P" once the start page is
    // painted; given a paper, then opens it in the exam window and prints
    // "exam peak_rss_kb=N processes=P" once its pages are painted. Given
    // firstOfDayWord() instead, checks the data file before the window and,
    // after the paint, waits for the whole-file check and the day's backup
    // and prints "checked after_paint_ms=N sound=0|1". Returns 0, or 1 when
    // a page was not painted or the file not checked.
    static int runChild(const QString &bankDir, const QString &paperId = QString());

private:
    // The start page's view size and a file holding its text, for the bare
    // program, made once; false when the page could not be shown.
    bool prepareFloorPage();

    // Milliseconds until the child's first line, or -1; its output in output.
    double spawn(const QString &program, const QStringList &arguments, QByteArray *output);
    // The floor: the bare program of the same engine painting that page.
    double paintBare(QByteArray *output);

    const BenchContext &m_context;
    QTemporaryDir m_floorPageDir;
    QString m_floorPagePath;
    QSize m_floorViewSize;
};
