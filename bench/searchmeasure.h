#pragma once

#include "benchcontext.h"
#include "measureresult.h"

class SoQuestion;

// The keyword search in a real search window, timed as the user waits: from
// the search started to the first results (or the message) painted. Besides
// the median, each line gives all_hits_ms, from the start until the search
// has found every hit (the first results show while it goes on),
// longest_freeze_ms, the longest turn of the event loop from the start until
// every hit is found and the results have settled (the worst wait of a click,
// the freeze before the first results included), and rss_growth_kb, how far
// resident memory rose over the runs. Floors: the designed LIKE query in
// SQLite, and show_first_floor_ms, a bare web view showing the page of the
// first block.
class SearchMeasure
{
public:
    explicit SearchMeasure(const BenchContext &context);
    // One search of keyword, labelled by what it finds; targetMs 0 for none.
    MeasureResult search(const QString &label, const QString &keyword, double targetMs);

private:
    double likeQuery(const QString &keyword) const;
    double showInBareView(const QString &page) const;

    const BenchContext &m_context;
};
