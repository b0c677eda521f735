#pragma once

#include "parsedbank.h"
#include "richline.h"

#include <QString>
#include <QVector>

// Reads a question book as people write one, in Word or as plain text:
// section headings that set the type ("一、单项选择题（每题2分，共20分）"),
// numbered questions ("1．", "1、", "（1）", "第1题"), options A–E on lines of
// their own or several on one line, answers after the question, in the
// stem's brackets or in a key at the end ("参考答案", "1-5 ACBDA"),
// explanations, fill-in blanks and case studies (a material and its numbered
// questions). Every line is matched against a table of rules, first match
// wins. A question whose type, options or answer cannot be told is a problem
// at its line, never guessed; lines that belong to no question are notes.
class BookRecogniser
{
public:
    // lines in reading order; format names the file kind ("book", "docx", "pdf", ...).
    static ParsedBank recognise(const QVector<RichLine> &lines, const QString &format);
    // Plain text, one line a line.
    static ParsedBank recogniseText(const QString &text, const QString &format = QStringLiteral("book"));
    // Whether a text reads like a question book (numbered questions with
    // options or answers, or type headings), for telling it from other formats.
    static bool looksLikeBook(const QString &text);
};
