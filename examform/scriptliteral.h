#pragma once

#include <QString>
#include <QVariant>

// Reads a data literal written in script notation, as banks made by hand hold
// their question lists: [{qid:'a', leaf:[{qid:"b"}]}]. Objects (keys bare,
// single- or double-quoted, or numbers), arrays, strings in either quote with
// the script escapes, numbers (decimal or 0x hexadecimal), true, false, null
// and undefined, with trailing commas, comments and one closing ";" allowed.
// Nothing is ever evaluated: anything else (calls, operators, names as values)
// is an error with its position.
class ScriptLiteral
{
public:
    struct Result
    {
        // QVariantList, QVariantMap, QString, double or bool; an invalid
        // QVariant for null and undefined.
        QVariant value;
        bool ok = false;
        // Where reading stopped (a character index of the text) and why; -1
        // and empty when ok.
        int errorOffset = -1;
        QString error;
    };

    // Literals nested deeper than this are refused rather than read.
    static constexpr int maxDepth = 256;

    static Result read(const QString &text);
};
