#pragma once

#include <QString>

// The page of "操作演示" on the candidate screen: a picture of the exam window
// with numbered marks, what each part does, and the keys.
class GuidePage
{
public:
    // fileBase is the "file:" base of the folder that holds images/.
    static QString html(const QString &fileBase);
};
