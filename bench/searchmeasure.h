#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// The keyword search end to end in a real search window (query, renders and
// result page shown) against the same LIKE query in SQLite.
class SearchMeasure
{
public:
    explicit SearchMeasure(const BenchContext &context);
    MeasureResult search();

private:
    double likeQuery() const;

    const BenchContext &m_context;
};
