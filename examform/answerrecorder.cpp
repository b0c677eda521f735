#include "answerrecorder.h"

#include "blankanswer.h"
#include "exampaper.h"

bool AnswerRecorder::holdsAnswer(int type, const QString &value)
{
    if (type == 4) {
        const QStringList blanks = BlankAnswer::split(value);
        for (const QString &blank : blanks) {
            if (!blank.trimmed().isEmpty())
                return true;
        }
        return false;
    }
    return !value.isEmpty();
}

bool AnswerRecorder::changesChoice(int type, const QString &previous, const QString &value)
{
    const bool oneLetter = type == ExamQuestion::SingleChoice || type == ExamQuestion::TrueFalse
        || type == ExamQuestion::Essay;
    return oneLetter && !previous.trimmed().isEmpty() && !value.trimmed().isEmpty()
        && previous.trimmed().compare(value.trimmed(), Qt::CaseInsensitive) != 0;
}

QVector<ExamQuestion *> AnswerRecorder::record(ExamPaper &paper, const QString &tname,
                                               const QString &value)
{
    QVector<ExamQuestion *> firstAnswers;
    if (tname.isEmpty())
        return firstAnswers;
    for (const auto &question : paper.questions) {
        if (question->tname != tname)
            continue;
        if (changesChoice(question->type, question->userAnswer, value))
            question->revised = true;
        question->userAnswer = value;
        if (!question->answered && holdsAnswer(question->type, value)) {
            question->answered = true;
            paper.answeredCount += 1;
            firstAnswers << question.get();
        }
    }
    return firstAnswers;
}

QVector<ExamQuestion *> AnswerRecorder::recordEssayText(ExamPaper &paper, const QString &tname, int box,
                                                        const QString &text, bool *changed)
{
    QVector<ExamQuestion *> firstAnswers;
    *changed = false;
    if (tname.isEmpty() || box < 0)
        return firstAnswers;
    for (const auto &question : paper.questions) {
        if (question->type != ExamQuestion::Essay || question->tname != tname
            || box >= question->optionIds.size())
            continue;
        while (question->essayTexts.size() <= box)
            question->essayTexts << QString();
        *changed = *changed || question->essayTexts[box] != text;
        question->essayTexts[box] = text;
        if (!question->answered && !text.trimmed().isEmpty()) {
            question->answered = true;
            paper.answeredCount += 1;
            firstAnswers << question.get();
        }
    }
    return firstAnswers;
}
