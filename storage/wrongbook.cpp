#include "wrongbook.h"

#include "boundstatement.h"
#include "dbconnection.h"
#include "exampaper.h"
#include "sqltransaction.h"

namespace {

const int formalPaper = 0;
const int wrongPractice = 3;

QSqlDatabase database()
{
    return DbConnection::instance(QStringLiteral("data.db"), true)->database();
}

bool deleteQuestion(QSqlDatabase db, const QString &questionId)
{
    return execBound(db, QStringLiteral("delete from error_answer where questionId=:questionId"),
                     {{QStringLiteral(":questionId"), questionId}});
}

bool insertQuestion(QSqlDatabase db, const ExamQuestion &question, const QString &subjectId,
                    const QString &paperId)
{
    return execBound(db, QStringLiteral("insert into error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid)values(:questionId,:subjectId,:chapterId,:parentId,:examid,:sequence,:fuleixingid)"),
                     {{QStringLiteral(":questionId"), question.id},
                      {QStringLiteral(":subjectId"), subjectId},
                      {QStringLiteral(":chapterId"), question.chapterId},
                      {QStringLiteral(":parentId"), question.parentId},
                      {QStringLiteral(":examid"), paperId},
                      {QStringLiteral(":sequence"), question.seq},
                      {QStringLiteral(":fuleixingid"), question.fuleixingid}});
}

} // namespace

bool WrongBook::update(const ExamPaper &paper, int examStatus, const QString &paperId)
{
    if (examStatus != formalPaper && examStatus != wrongPractice)
        return true;
    QSqlDatabase db = database();
    SqlTransaction transaction(db);
    if (!transaction.started())
        return false;
    for (const auto &question : paper.questions) {
        if (question->type == ExamQuestion::Composite)
            continue;
        bool ok = true;
        if (examStatus == formalPaper && question->status == 1)
            ok = deleteQuestion(db, question->id) && insertQuestion(db, *question, paper.subjectId, paperId);
        else if (examStatus == wrongPractice && question->status == 0)
            ok = deleteQuestion(db, question->id);
        if (!ok)
            return false;
    }
    return transaction.commit();
}

bool WrongBook::remove(const QString &questionId)
{
    return deleteQuestion(database(), questionId);
}
