#include "resultstore.h"

#include "answersheet.h"
#include "boundstatement.h"
#include "dbconnection.h"
#include "exampaper.h"
#include "papergrader.h"
#include "sqltransaction.h"

#include <QUuid>

namespace {

QSqlDatabase database()
{
    return DbConnection::instance(QStringLiteral("data.db"), true)->database();
}

bool deleteResult(QSqlDatabase db, const QString &paperId)
{
    return execBound(db, QStringLiteral("delete from exam_answer where paperid=:paperId"),
                     {{QStringLiteral(":paperId"), paperId}});
}

} // namespace

bool ResultStore::store(const ExamPaper &paper, const QString &paperId, const QDate &date)
{
    QSqlDatabase db = database();
    SqlTransaction transaction(db);
    if (!transaction.started() || !deleteResult(db, paperId))
        return false;
    const QVariantMap values{
        {QStringLiteral(":id"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
        {QStringLiteral(":subjectid"), paper.subjectId},
        {QStringLiteral(":paperId"), paperId},
        {QStringLiteral(":rightCount"), paper.rightCount},
        {QStringLiteral(":worngCount"), paper.wrongCount},
        {QStringLiteral(":scoreCuont"), paper.score},
        {QStringLiteral(":allCount"), paper.allCount},
        {QStringLiteral(":anserDate"), date},
        {QStringLiteral(":score"), paper.totalCent},
        {QStringLiteral(":useSecond"), PaperGrader::secondsUsed(paper)},
        {QStringLiteral(":answers"), AnswerSheet::stored(paper.answerSheet)},
    };
    return execBound(db, QStringLiteral("insert into exam_answer(id,subjectid,paperId,rightCount,worngCount,scoreCuont,allCount,anserDate,score,useSecond,answers)values(:id,:subjectid,:paperId,:rightCount,:worngCount,:scoreCuont,:allCount,:anserDate,:score,:useSecond,:answers)"),
                     values)
        && transaction.commit();
}

bool ResultStore::remove(const QString &paperId)
{
    return deleteResult(database(), paperId);
}
