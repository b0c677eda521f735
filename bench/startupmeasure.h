#pragma once

#include "benchcontext.h"
#include "measureresult.h"

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

    // The child side: the program's start on the bank in bankDir (with "/").
    // Prints "painted peak_rss_kb=N processes=P" once the start page is
    // painted; given a paper, then opens it in the exam window and prints
    // "exam peak_rss_kb=N processes=P" once its pages are painted. Returns 0,
    // or 1 when a page was not painted.
    static int runChild(const QString &bankDir, const QString &paperId = QString());

private:
    // Milliseconds until the child's first line, or -1; its output in output.
    double spawn(const QString &program, const QStringList &arguments, QByteArray *output);

    const BenchContext &m_context;
};
