#pragma once

#include "parsedbank.h"

#include <QStringList>
#include <QVector>

// The cells of a spreadsheet, row by row, as read from CSV or XLSX.
struct SheetRow
{
    int line = 0;                  // the row's number as the user sees it
    QStringList cells;
};

struct SheetTable
{
    QVector<SheetRow> rows;
    QVector<BankProblem> problems; // faults of the file itself
};
