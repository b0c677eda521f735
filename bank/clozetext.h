#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The question text of Moodle's multi-answer (cloze) question as far as the
// bank has it: short-answer blanks, "{1:SHORTANSWER:=控制器~=CPU}", in
// place of the blank markers of a fill-in stem.
struct BankQuestion;

namespace ClozeText {

// Whether a question is written as cloze: a fill-in of several blanks whose
// stem marks where each goes with the bank's marker ("______").
bool fits(const BankQuestion &question);

// The stem with each blank marker replaced by its blank; blanks without a
// marker follow the stem.
QString write(const QString &stemHtml, const QList<QStringList> &blanks);

// Reads a cloze text: the stem with a marker for each blank, and the texts
// each blank accepts (full credit only). False, with reason, for a text
// with no blank or with a blank of another kind (choice, numerical).
bool read(const QString &html, QString *stemHtml, QList<QStringList> *blanks, QString *reason);

} // namespace ClozeText
