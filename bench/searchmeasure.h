#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// The keyword search in a real search window against the same LIKE query in
// SQLite. The measured time runs until the first results are shown (query and
// renders of every hit, page with the first block loaded and laid out);
// search_complete_ms runs on until every block is appended and laid out, and
// longest_stall_ms is the longest turn of the event loop meanwhile (the worst
// wait of a click or key).
// Further figures split the time: code_ms, the query, renders and all page
// texts without showing them; show_first_floor_ms and show_floor_ms, a bare web
// view showing the identical first-block page and the identical whole page;
// rss_growth_kb, how much resident memory the repeated searches left behind.
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
