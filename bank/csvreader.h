#pragma once

#include "sheettable.h"

#include <QByteArray>

// Reads CSV as spreadsheet programs write it: UTF-8 with or without
// byte-order mark, UTF-16 with one, or GB18030; comma or tab separated (told
// from the first line); quoted fields with separators, doubled quotes and line
// breaks. A row's number is the line it starts on. A cell that begins with an
// apostrophe followed by = + - @ or another apostrophe loses the apostrophe:
// it is the protection write puts there.
class CsvReader
{
public:
    static SheetTable read(const QByteArray &bytes);
    // Writes rows back as UTF-8 CSV with a byte-order mark (so that spreadsheet
    // programs take it as UTF-8), quoting where needed, lines ended by CR LF.
    // A cell that begins with = + - @ (which a spreadsheet would run as a
    // formula) or with an apostrophe gets a leading apostrophe.
    static QByteArray write(const QVector<QStringList> &rows);
};
