#pragma once

#include "benchcontext.h"

#include <QStringList>

class ExamPaper;

// The database part of the floors of opening and handing in a paper: the
// least the same reads and writes cost with prepared statements.
class PaperFloors
{
public:
    explicit PaperFloors(const BenchContext &context);

    // Fetches the paper, its sections and every question row; milliseconds, or
    // -1 when nothing was read.
    double fetchPaperRows();
    // Inserts the result and wrong-book rows that a hand-in of paper stores, in
    // one transaction (removed again, untimed); milliseconds, or -1 on failure.
    double writeHandInRows(const ExamPaper &paper);

private:
    const BenchContext &m_context;
    QStringList m_questionIds;
};
