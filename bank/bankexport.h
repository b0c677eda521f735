#pragma once

#include "bankquestion.h"

#include <QString>
#include <QVector>

// Writes questions to a file in the format its name's suffix names: .gift or
// .txt (GIFT), .xml (Moodle XML), .csv or .xlsx (the spreadsheet template).
class BankExport
{
public:
    // "" when the suffix names no format the bank writes.
    static QString formatOfPath(const QString &path);
    // imgDir: where the pictures the questions show are. Moodle XML embeds
    // them; the other formats copy them into a folder beside the file named
    // after it ("x.gift" → "x_img/") and point at them there.
    // ownForm, when given, gets the opening of each question that the format
    // has no form for and that is written in the bank's own: a fill-in of
    // several blanks in GIFT ("=控制器|输出设备"), or in Moodle XML when its
    // stem does not mark where each blank goes.
    static bool write(const QString &path, const QVector<BankQuestion> &questions, const QString &imgDir,
                      QStringList *ownForm = nullptr);
    // The export summary's line about them; "" when there are none.
    static QString ownFormText(const QStringList &ownForm);
    // The blank spreadsheet template with an example of every type.
    static bool writeTemplate(const QString &path);
};
