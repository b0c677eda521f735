#pragma once

#include <QString>

class ExamQuestion;

// What an essay shows as its answer. The bank's answer field of an essay
// holds the self-assessment that counts as right ("A" 我会做, "B" 我不会), not
// an answer a reader can use: the reference answer then is the explanation.
// A bank that stores the reference text in the answer field keeps it there.
class EssayAnswer
{
public:
    // A stored answer that is only a self-assessment code (or nothing).
    static bool isSelfAssessment(const QString &answer);

    // The reference answer's markup, without a leading "参考答案：" label
    // (the page prints its own); empty when the bank gives none.
    static QString reference(const ExamQuestion &question);
    // The explanation shown after the reference answer: none when the
    // explanation is the reference itself.
    static QString explanation(const ExamQuestion &question);

    // The candidate's self-assessment as the buttons name it.
    static QString selfAssessment(const QString &userAnswer);

    // The candidate's own answer in review: the typed texts (escaped, one
    // paragraph per box) and the self-assessment, in a block of its own.
    static QString ownAnswerHtml(const ExamQuestion &question);
};
