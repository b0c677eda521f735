#pragma once

#include "parsedbank.h"

#include <QByteArray>
#include <QString>

// Reads Moodle XML: multichoice (single and multiple), truefalse,
// shortanswer, multianswer (cloze) of short-answer blanks as a fill-in of
// several blanks, essay, category elements, texts in html, plain_text, markdown
// and moodle_auto_format, general feedback, default grade, CDATA and base64
// files. A description is skipped with a note, unless it is the stem of a
// case study: a description whose idnumber (or name) is T, followed by
// questions whose idnumber is "T/1", "T/2", ... Other types are reported.
class MoodleXmlParser
{
public:
    static ParsedBank parse(const QByteArray &bytes, const QString &baseDir = QString());
};
