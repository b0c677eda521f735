#include "resultstore.h"

#include "answersheet.h"
#include "dbconnection.h"
#include "exampaper.h"
#include "papergrader.h"
#include "sqltransaction.h"

#include <QUuid>

bool ResultStore::replace(SqlTransaction &group, const ExamPaper &paper, const QString &paperId,
                          const QDate &date)
{
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
    return remove(group, paperId)
        && group.exec(QStringLiteral("insert into exam_answer(id,subjectid,paperId,rightCount,worngCount,scoreCuont,allCount,anserDate,score,useSecond,answers)values(:id,:subjectid,:paperId,:rightCount,:worngCount,:scoreCuont,:allCount,:anserDate,:score,:useSecond,:answers)"),
                      values);
}

bool ResultStore::remove(SqlTransaction &group, const QString &paperId)
{
    // Past the paper index: a damaged index must not leave a second row.
    return group.exec(QStringLiteral("delete from exam_answer not indexed where paperid=:paperId"),
                      {{QStringLiteral(":paperId"), paperId}});
}

WriteOutcome ResultStore::store(const ExamPaper &paper, const QString &paperId, const QDate &date)
{
    SqlTransaction group(DbConnection::instance(QStringLiteral("data.db"), true)->database());
    replace(group, paper, paperId, date);
    return group.finish();
}
