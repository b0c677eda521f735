#pragma once

#include <QString>
#include <QStringList>

// The joined form of a fill-in answer, as the page reports it, the answer
// sheet stores it and the bank's reference answer gives it: the texts of the
// blanks in order, separated by "|". Inside a text "\" is written "\\" and "|"
// is written "\|", so that a blank keeps any character typed into it. A "\"
// before any other character, or at the end, stands for itself: answers
// written before the escape existed read exactly as they did.
class BlankAnswer
{
public:
    static QString join(const QStringList &blanks);
    static QStringList split(const QString &joined);

    // The answer as a reader sees it: the blanks of "控制器|输出设备" become
    // "(1) 控制器 (2) 输出设备". An answer of one blank stays as it is.
    static QString readable(const QString &joined);
};
