#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// The keyword search end to end in a real search window (query, renders and
// result page shown) against the same LIKE query in SQLite. Two further figures
// split the time: code_ms, the query, renders and page text without showing
// them, and show_floor_ms, a bare web view showing the identical page text.
class SearchMeasure
{
public:
    explicit SearchMeasure(const BenchContext &context);
    MeasureResult search();

private:
    double likeQuery() const;
    double codeOnly() const;
    static double showInBareView(const QString &page);

    const BenchContext &m_context;
};
