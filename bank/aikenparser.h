#pragma once

#include "parsedbank.h"

#include <QString>

// Reads the Aiken text format: a question's text, its options "A." or "A)"
// on lines of their own, then "ANSWER: X". Two options True/False (or 对/错,
// 正确/错误) make a true/false question; several answer letters a multiple choice.
class AikenParser
{
public:
    static ParsedBank parse(const QString &text);
};
