#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// Start-up, each run in a fresh process so that it pays what a user's start
// pays: the main window constructed and its start page shown, against an
// empty web view showing the same start page text.
class StartupMeasure
{
public:
    explicit StartupMeasure(const BenchContext &context);
    MeasureResult startup();

    // The child side: kind "program" or "floor", on the bank in bankDir (with
    // "/"). Prints "elapsed_ms=... peak_rss_kb=..." and returns 0, or returns 1.
    static int runChild(const QString &kind, const QString &bankDir);

private:
    double spawn(const QString &kind);

    const BenchContext &m_context;
    long m_childPeakRssKb = 0;
};
