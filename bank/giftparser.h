#pragma once

#include "parsedbank.h"

#include <QString>

// Reads Moodle's GIFT text format: questions separated by blank lines, "//"
// comments, "::title::", "[html]" "[plain]" "[markdown]" "[moodle]" text
// formats, "$CATEGORY:" lines, the escapes \~ \= \# \{ \} \: \\ \n, and the
// answer part in braces (choice, true/false, short answer, essay, a blank in
// the middle of the text). Matching and numerical questions are reported.
//
// Two forms of the bank's own that GIFT has no word for, written by the
// exporter and read back here: a comment "// 分值: N" (or "// marks: N") sets
// the marks of the question after it; a text without answer part titled T,
// followed by questions titled "T/1", "T/2", ..., is a case study and its parts.
// A short answer "a|b" fills two blanks, as the bank writes several blanks.
class GiftParser
{
public:
    // baseDir: the file's folder, where pictures the text names are looked for.
    static ParsedBank parse(const QString &text, const QString &baseDir = QString());
};
