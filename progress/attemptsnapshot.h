#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

class ExamPaper;

// Everything needed to take up an unfinished run again: the paper and mode,
// the answers, flags, position, time used and chosen optional sections. It is
// stored in exam_attempt.snapshot as one JSON object:
//
//   {"format":1,"paperId":"p1","mode":0,"subjectId":"s1",
//    "startedAt":"2026-03-01T09:30:00","elapsed":754,"current":12,
//    "chosen":["sec-3"],
//    "entries":[{"seq":3,"qid":"q7","answer":"AC","answered":true,"flagged":false},
//               {"seq":9,"qid":"q12","answer":"","answered":false,"flagged":false,
//                "essay":["text typed into the first box"]}]}
//
// "elapsed" is the time used in seconds (the time left is the paper's time
// minus it), "current" the 0-based entry shown, "entries" only the entries
// with an answer, a flag or essay text, "seq" their 1-based position in the
// paper, "essay" (only when some box holds text) the texts of an essay's boxes.
class AttemptSnapshot
{
public:
    struct Entry
    {
        int seq = 0;
        QString qid;
        QString answer;
        bool answered = false;
        bool flagged = false;
        QStringList essay;
    };

    static const int format = 1;

    QString paperId;
    int mode = 0;
    QString subjectId;
    QDateTime startedAt;
    int elapsedSeconds = 0;
    int currentIndex = 0;
    QStringList chosenSections;
    QVector<Entry> entries;

    // The state of a run of paper shown at currentIndex after elapsedSeconds.
    static AttemptSnapshot capture(const ExamPaper &paper, const QString &paperId, int mode,
                                   const QDateTime &startedAt, int elapsedSeconds, int currentIndex);

    QByteArray toJson() const;
    // Reads a stored snapshot; false (and out untouched) for text that is not
    // one, with the reason in error.
    static bool fromJson(const QByteArray &json, AttemptSnapshot *out, QString *error = nullptr);

    // Puts the answers, flags and chosen sections back into a freshly loaded
    // paper and returns the entry to show. An entry is found by its position
    // and id, else by its id alone (the bank moved it); entries the paper no
    // longer holds are dropped.
    int applyTo(ExamPaper &paper) const;

    // Answerable entries that hold an answer.
    int answeredCount() const;
};
