#include "handinstore.h"

#include "attemptstore.h"
#include "dbconnection.h"
#include "exampaper.h"
#include "historystore.h"
#include "papergrader.h"
#include "resultstore.h"
#include "sqltransaction.h"
#include "wrongbook.h"

WriteOutcome HandInStore::save(const ExamPaper &paper, int examStatus, const QString &paperId,
                               const QDateTime &handedInAt, const QDate &examDate)
{
    SqlTransaction group(DbConnection::instance(QStringLiteral("data.db"), true)->database());
    const QDate date = handedInAt.date();
    WrongBook::apply(group, paper, examStatus, paperId, date, examDate);
    if (examStatus == ExamQuestion::FormalPaper)
        ResultStore::replace(group, paper, paperId, date);
    // After the book, so that the history row counts the book as it now is.
    group.require(recordRun(group.database(), paper, paperId, examStatus, handedInAt));
    return group.finish();
}

bool HandInStore::recordRun(QSqlDatabase db, const ExamPaper &paper, const QString &paperId, int mode,
                            const QDateTime &handedInAt)
{
    if (!AttemptStore::remove(db, paperId, mode))
        return false;
    return mode != ExamQuestion::FormalPaper
        || HistoryStore::add(db, HistoryRecord::ofPaper(paper, paperId, handedInAt, PaperGrader::secondsUsed(paper)));
}
