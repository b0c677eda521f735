#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

class ExamPaper;
class SubjectScope;

// One handed-in formal paper, as kept in exam_history (one row per hand-in,
// never replaced; exam_answer keeps only each paper's last one):
//
//   id INTEGER PRIMARY KEY, paperId, subjectid, paperName,
//   handedInAt TEXT      local ISO time of the hand-in ("2026-03-01T10:12:40")
//   score, totalCent, passCent REAL     marks obtained, full marks, pass mark
//   useSecond, allowedSecond INTEGER    time used, time allowed (0: untimed)
//   rightCount, wrongCount, unansweredCount INTEGER   over all questions
//   bookCount INTEGER    questions of the subject in the wrong-question book
//                        after this hand-in (NULL for results kept from
//                        before the table existed)
//   chosenSections TEXT  JSON array of the chosen optional sections' ids
//   sections TEXT        JSON array, one object per section with questions:
//                        {"id","name","quantity","right","wrong","unanswered",
//                         "score","mark"}
//   answers TEXT         the answer sheet, as exam_answer.answers: an array of
//                        {"qid","cent","status","answer"}; status 0 right,
//                        1 wrong, 2 unanswered
//
// A question's own history reads the sheets, e.g. every answer to q7:
//   SELECT h.handedInAt, json_extract(j.value,'$.status') FROM exam_history h,
//     json_each(h.answers) j WHERE json_extract(j.value,'$.qid') = 'q7'
struct HistoryRecord
{
    qint64 id = 0;
    QString paperId;
    QString subjectId;
    QString paperName;
    QDateTime handedInAt;
    double score = 0;
    double totalCent = 0;
    double passCent = 0;
    int useSecond = 0;
    int allowedSecond = 0;
    int rightCount = 0;
    int wrongCount = 0;
    int unansweredCount = 0;
    int bookCount = -1;             // -1: not known
    QStringList chosenSections;
    QString sections;               // JSON, see above
    QString answers;                // JSON, see above

    // The record of a marked paper handed in at handedInAt.
    static HistoryRecord ofPaper(const ExamPaper &paper, const QString &paperId, const QDateTime &handedInAt,
                                 int useSecond);
};

class HistoryStore
{
public:
    // Adds a hand-in, as part of the hand-in's transaction and after its
    // wrong-question book update: the row's bookCount is the book as that
    // update left it. False when the statement fails.
    static bool add(QSqlDatabase db, const HistoryRecord &record);

    // The hand-ins in scope, newest first, without their sheets.
    static QVector<HistoryRecord> list(QSqlDatabase db, const SubjectScope &scope);
    // One hand-in with its sheet; false when there is none with that id.
    static bool find(QSqlDatabase db, qint64 id, HistoryRecord *out);
};
