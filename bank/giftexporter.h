#pragma once

#include "bankquestion.h"

#include <QString>
#include <QVector>

// Writes questions as GIFT that GiftParser reads back to the same questions:
// texts in [html] with every special character escaped, "$CATEGORY:" when the
// chapter changes, "// 分值: N" before a question not worth 1, case studies as
// a titled text followed by their parts titled "KEY/PART".
class GiftExporter
{
public:
    static QString write(const QVector<BankQuestion> &questions);
};
