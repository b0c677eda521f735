#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// Importing a question file: 5,000 single choices, already parsed, written as
// a new paper (the backup before it included) into a bank of their own, or
// into a copy of the benchmark's bank, against the same number of bare inserts
// into exam_question in one transaction.
class ImportMeasure
{
public:
    explicit ImportMeasure(const BenchContext &context);
    MeasureResult import();
    // "import_into_bank": the same into a copy of the bank of this size; adds
    // backup_ms, one backup of that copy alone, which the import also takes.
    MeasureResult importIntoBank();

private:
    MeasureResult importInto(MeasureResult result, const QString &path, const QString &imageDir);

    const BenchContext &m_context;
};
