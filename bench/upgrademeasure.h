#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// The first start of a new version on a bank of the previous schema: the
// backup and the schema migration, run as the program runs them (on a worker
// thread, the notice showing how far it is) while a timer on the window thread
// asks to tick every 10 ms. max_freeze_ms is the longest the window thread
// went without a turn of its event loop, in any run. The floor does the same
// backup and migration on a plain connection on the window thread, as the
// program did before, which freezes the window for all of it.
class UpgradeMeasure
{
public:
    explicit UpgradeMeasure(const BenchContext &context);
    // previousFile: a data file at the previous schema, left as it is (each
    // run upgrades a copy); bankRows its question rows, for the target.
    MeasureResult upgrade(const QString &previousFile, int bankRows);

    static const int freezeTargetMs = 100;

private:
    const BenchContext &m_context;
};
