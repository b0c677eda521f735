#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// The automatic save of an unfinished run of the fully answered paper.
class AutosaveMeasure
{
public:
    explicit AutosaveMeasure(const BenchContext &context);

    // What a save costs the window (the run captured and handed to the writer
    // thread), which is what it adds to a move, against one bare insert of the
    // same snapshot in a transaction. write_ms adds the writer's own time until
    // the row is committed.
    MeasureResult autosave();

private:
    const BenchContext &m_context;
};
