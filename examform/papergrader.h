#pragma once

#include <QString>

class ExamPaper;
class ExamQuestion;

// Marks a handed-in paper: every question by the rules of its type, the paper's
// and the sections' tallies, and the answer sheet.
class PaperGrader
{
public:
    // Between the accepted texts of one blank in a fill-in reference answer
    // ("CPU¦中央处理器|输出设备"): a broken bar, which neither the "|" between
    // blanks nor the "\\" that escapes a typed "|" collides with, and which no
    // answer stored before it existed holds.
    static const QChar alternativeSeparator;

    // Whether a given answer is right for a question of the given type
    // (1 single choice, 2 multiple choice, 3 true/false, 4 fill-in, 5 essay
    // with self-assessment). Other types are never right.
    static bool isRightAnswer(int type, const QString &given, const QString &reference);

    // Whether a fill-in answer (blanks in the joined form) leaves every blank empty.
    static bool blanksAllEmpty(const QString &given);

    // Sets isRight, score and status of one non-composite question. A single
    // choice keeps its trimmed answer and reference.
    static void markQuestion(ExamQuestion &question);

    // Marks the whole paper once: statuses, tallies, scores, answer sheet, and
    // sets handedIn. Does nothing when the paper is already handed in.
    static void markPaper(ExamPaper &paper);

    // Card labels ("3", "17.2"), joined by ",", of the answerable entries not
    // answered yet, and of those the candidate flagged.
    static QString unansweredLabels(const ExamPaper &paper);
    static QString flaggedLabels(const ExamPaper &paper);

    // The question asked before the hand-in when entries are unanswered or
    // flagged, listing both; empty when there is nothing to remind of.
    static QString handInReminder(const ExamPaper &paper);

    // Seconds from the first question shown to the hand-in.
    static int secondsUsed(const ExamPaper &paper);
};
