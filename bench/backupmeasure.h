#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// Seven days of the daily backup of the bank, taken by the program's own
// backup code with the clock set a day on each time and a record added
// between days, as a candidate practising every day leaves them. Each run is
// one day's backup; its floor a plain copy of data.db. The line adds the room
// the seven take against the data file's size (size_ratio, held to below 1.5)
// and the time to restore the newest of them.
class BackupMeasure
{
public:
    explicit BackupMeasure(const BenchContext &context);
    MeasureResult backups();

private:
    const BenchContext &m_context;
};
