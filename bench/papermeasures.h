#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// Paper load and hand-in: the work of the exam window that needs no page.
class PaperMeasures
{
public:
    explicit PaperMeasures(const BenchContext &context);

    // The formal-paper load (loader and renderers) against fetching the same
    // rows with one prepared statement.
    MeasureResult paperLoad();
    // Marking, answer sheet, wrong-book update and result storage of the fully
    // answered paper against inserting the same rows in one transaction.
    MeasureResult handIn();

private:
    double fetchPaperRows(const QStringList &questionIds);

    const BenchContext &m_context;
};
