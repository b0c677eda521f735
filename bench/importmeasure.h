#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// Importing a question file: 5,000 single choices, already parsed, written as
// a new paper (the backup before it included) into a bank of their own,
// against the same number of bare inserts into exam_question in one
// transaction.
class ImportMeasure
{
public:
    explicit ImportMeasure(const BenchContext &context);
    MeasureResult import();

private:
    const BenchContext &m_context;
};
