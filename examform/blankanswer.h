#pragma once

#include <QString>

// A fill-in answer as a reader sees it: the blanks of "控制器|输出设备" become
// "(1) 控制器 (2) 输出设备". An answer of one blank stays as it is.
class BlankAnswer
{
public:
    static QString readable(const QString &joined);
};
