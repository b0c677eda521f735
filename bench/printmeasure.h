#pragma once

#include "benchcontext.h"
#include "measureresult.h"

// Printing the paper to a PDF file as the program does once the print dialog
// is accepted: its printable page built, laid out in a page view of its own
// and written through the engine's PDF output, until the file is written.
// Against a bare page view, already shown, given the same page and printing
// it to a PDF file.
class PrintMeasure
{
public:
    explicit PrintMeasure(const BenchContext &context);
    MeasureResult printPdf();

private:
    const BenchContext &m_context;
};
