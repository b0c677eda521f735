#pragma once

#include <QString>
#include <QVector>

class ExamPaper;
class ExamQuestion;

// Stores the answers a question page reports into the paper's questions.
class AnswerRecorder
{
public:
    // Records value as the answer of every question whose answer field is
    // tname and returns the questions that count as answered for the first
    // time. A question counts once it has received a non-blank answer (for a
    // fill-in, at least one non-empty blank); changing or emptying it later
    // keeps it answered.
    static QVector<ExamQuestion *> record(ExamPaper &paper, const QString &tname,
                                          const QString &value);

    // Whether a reported value holds an answer for a question of this type.
    static bool holdsAnswer(int type, const QString &value);
};
