#pragma once

#include "bankquestion.h"

#include <QString>
#include <QVector>

// The pictures of an export whose format does not embed them (GIFT, CSV,
// XLSX): copied into a folder beside the file and named after it
// ("题库.gift" → "题库_img/"), the questions pointing at them there, so that
// the file and its folder travel together and import finds the pictures again.
class ExportPictures
{
public:
    static QString folderOf(const QString &path);
    // Copies every picture the questions show ("<img src=\"/NAME\"") from
    // imgDir into the folder and points the questions at the copies; a
    // picture missing from imgDir is left as it was. False when a copy
    // cannot be written.
    static bool carry(const QString &path, const QString &imgDir, QVector<BankQuestion> *questions);
};
