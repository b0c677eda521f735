#pragma once

#include "memorymodel.h"

#include <optional>

class ExamQuestion;

// How one marked question counts as a review of its memory: answered wrong is
// a lapse (Again); answered right is Good, or Hard when the candidate changed
// the chosen answer before getting it right. A composite stem, a question
// left unanswered and one "right" without any answer (a bank question without
// a reference answer) are no review.
class AnswerGrade
{
public:
    static std::optional<ReviewGrade> of(const ExamQuestion &question);
};
