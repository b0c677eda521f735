#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// Start-up as the user waits for it: from starting the process to the first
// painted frame of the loaded start page, each run a fresh process; against a
// program of the web engine alone (tessera_bench_bare) showing the same page
// text in a web view of the same size.
class StartupMeasure
{
public:
    explicit StartupMeasure(const BenchContext &context);
    MeasureResult startup();

    // The child side: the program's start on the bank in bankDir (with "/").
    // Prints "painted peak_rss_kb=N" once the start page is painted and
    // returns 0, or returns 1.
    static int runChild(const QString &bankDir);

private:
    double spawn(const QString &program, const QStringList &arguments);

    const BenchContext &m_context;
    long m_childPeakRssKb = 0;
};
