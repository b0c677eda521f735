#include "questionremoval.h"

#include "boundstatement.h"

#include <QSqlQuery>
#include <QVariant>

bool QuestionRemoval::usedByAnotherPaper(QSqlDatabase db, const QString &questionId, const QString &exceptPaperId,
                                         bool *used)
{
    // Question ids that files bring in are UUIDs: one inside a section's list
    // is that question, whatever notation the list is written in.
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select count(*) from exam_paper_static "
                                 "where paperId<>:paper and instr(questionIds, :id) > 0"));
    query.bindValue(QStringLiteral(":paper"), exceptPaperId);
    query.bindValue(QStringLiteral(":id"), questionId);
    if (!query.exec() || !query.next())
        return false;
    *used = query.value(0).toInt() > 0;
    return true;
}

bool QuestionRemoval::remove(QSqlDatabase db, const QString &questionId)
{
    const QVariantMap id{{QStringLiteral(":id"), questionId}};
    for (const char *statement : {"delete from error_answer not indexed where questionId=:id",
                                  "delete from mastered_question where questionId=:id",
                                  "delete from exam_Collect where questionid=:id",
                                  "delete from review_card where questionId=:id",
                                  "delete from review_log where questionId=:id",
                                  "delete from import_question where questionId=:id",
                                  "delete from exam_question where id=:id"}) {
        if (!execBound(db, QLatin1String(statement), id))
            return false;
    }
    return true;
}
