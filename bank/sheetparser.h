#pragma once

#include "sheettable.h"

#include <QString>
#include <QStringList>

// Reads the question template of a spreadsheet: a header row (its usual
// synonyms accepted), then one question per row. Case studies (题型 案例 or
// 材料) take the rows that name them in 所属案例, or whose 题号 starts with
// theirs ("5-1", "5.1", "5(1)"), as their parts.
class SheetParser
{
public:
    static ParsedBank parse(const SheetTable &table, const QString &format, const QString &baseDir = QString());

    // Whether a line of text, split at commas or tabs, is a header row that
    // names a 题干 column.
    static bool looksLikeHeader(const QString &line);

    // The template's columns, in order: the header row the exporter writes.
    static QStringList templateHeader();
};
