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
    // Writes the rows a hand-in of the marked paper writes, in one
    // transaction: each marked question's review card and log row, the
    // wrong-question book's and the mastered questions' rows, the result, the
    // close of the run and the history row. The rows carry ids of the floor's
    // own, so that they stay apart from the program's and the next run of the
    // floor replaces and moves them as the program's next hand-in does its
    // own. Milliseconds, or -1 on failure.
    double writeHandInRows(const ExamPaper &paper);
    // Removes every row the floor's hand-ins wrote.
    bool removeHandInRows();

private:
    const BenchContext &m_context;
    QStringList m_questionIds;
};
