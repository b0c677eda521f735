#pragma once

#include "benchcontext.h"
#include "measureresult.h"

#include <QVector>

// Importing a question book in Word: a generated .docx of 3,000 questions of
// every type (about 300 pages). "import_docx" reads and recognises it and
// plans the paper as the preview does (target 3 s); "import_docx_write" does
// the whole import, writing included (target 5 s). Both against the floor of
// reading the same document's text alone (unzipping word/document.xml and
// walking its XML).
class BookImportMeasure
{
public:
    explicit BookImportMeasure(const BenchContext &context);
    QVector<MeasureResult> importDocx();

private:
    const BenchContext &m_context;
};
