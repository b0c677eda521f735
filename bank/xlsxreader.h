#pragma once

#include "sheettable.h"

#include <QByteArray>

// Reads the first sheet of an XLSX workbook: finds it through workbook.xml
// and the workbook's relations, reads the shared strings (phonetic runs left
// out) and the cells, shared or inline strings and numbers alike.
class XlsxReader
{
public:
    static SheetTable read(const QByteArray &bytes);
};
