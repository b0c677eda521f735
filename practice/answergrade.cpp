#include "answergrade.h"

#include "answerrecorder.h"
#include "examquestion.h"

std::optional<ReviewGrade> AnswerGrade::of(const ExamQuestion &question)
{
    if (question.type == ExamQuestion::Composite)
        return std::nullopt;
    if (question.status == 1)
        return ReviewGrade::Again;
    if (question.status != 0 || !AnswerRecorder::holdsAnswer(question.type, question.userAnswer))
        return std::nullopt;
    return question.revised ? ReviewGrade::Hard : ReviewGrade::Good;
}
