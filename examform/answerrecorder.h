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
    // keeps it answered. A one-letter answer replaced by another is marked
    // revised.
    static QVector<ExamQuestion *> record(ExamPaper &paper, const QString &tname,
                                          const QString &value);

    // Keeps the text typed into essay box number box (0 for the first) of the
    // essay whose answer field is tname; changed tells whether a text changed.
    // Text answers an essay as the self-assessment does. Returns the essays
    // answered for the first time.
    static QVector<ExamQuestion *> recordEssayText(ExamPaper &paper, const QString &tname, int box,
                                                   const QString &text, bool *changed);

    // Whether a reported value holds an answer for a question of this type.
    static bool holdsAnswer(int type, const QString &value);

    // Whether value changes the choice of a single choice, true/false or
    // self-assessment from one given letter to another. Multiple choice is
    // left out: its page reports every step of building the answer, and the
    // replay of a restored answer too; typed answers are left out as well.
    static bool changesChoice(int type, const QString &previous, const QString &value);
};
