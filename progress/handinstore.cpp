#include "handinstore.h"

#include "dbconnection.h"
#include "exampaper.h"
#include "resultstore.h"
#include "sqltransaction.h"
#include "wrongbook.h"

WriteOutcome HandInStore::save(const ExamPaper &paper, int examStatus, const QString &paperId,
                               const QDate &date, const QDate &examDate)
{
    SqlTransaction group(DbConnection::instance(QStringLiteral("data.db"), true)->database());
    WrongBook::apply(group, paper, examStatus, paperId, date, examDate);
    if (examStatus == ExamQuestion::FormalPaper)
        ResultStore::replace(group, paper, paperId, date);
    return group.finish();
}
