#pragma once

#include <QString>

class ExamQuestion;

// One question laid out for paper, from its bank fields rather than from the
// screen's markup: the number and stem, options as "A. …" lines, blanks as
// underlines, ruled lines for an essay; no buttons, boxes or self-assessment.
// The answer reads as a person writes it: "(1) 32 或 thirty-two (2) …".
namespace PrintQuestion {

// appDirSlash: the folder of the question pictures (img/) followed by "/".
QString question(const ExamQuestion &question, const QString &appDirSlash);
// The reference answer and, when there is one, the explanation.
QString answer(const ExamQuestion &question, const QString &appDirSlash);
// The label the question is printed under: "12." or, for a case-study part, "(3)".
QString label(const ExamQuestion &question);
// The answer as text: the letters of a choice, the blanks of a fill-in
// numbered with their accepted forms joined by "或".
QString answerText(const ExamQuestion &question);

} // namespace PrintQuestion
