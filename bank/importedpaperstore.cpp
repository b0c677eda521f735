#include "importedpaperstore.h"

#include "backupstore.h"
#include "questionremoval.h"
#include "sqltransaction.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

bool isImported(QSqlDatabase db, const QString &paperId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select count(*) from import_paper where paperId=:id"));
    query.bindValue(QStringLiteral(":id"), paperId);
    return query.exec() && query.next() && query.value(0).toInt() == 1;
}

bool questionsOf(SqlTransaction &group, const QString &paperId, QStringList *ids)
{
    QSqlQuery *query = group.run(QStringLiteral("select questionId from import_question where paperId=:id"),
                                 {{QStringLiteral(":id"), paperId}});
    if (!query)
        return false;
    while (query->next())
        ids->append(query->value(0).toString());
    query->finish();
    return true;
}

// Deletes the questions no other paper lists; the book rows of the others
// move to a paper that lists them.
bool removeQuestions(SqlTransaction &group, const QString &paperId, const QStringList &ids)
{
    QStringList unlisted;
    if (!QuestionRemoval::unlisted(group, ids, paperId, &unlisted) || !QuestionRemoval::remove(group, unlisted))
        return false;
    const QString listing = QStringLiteral(
        "(select s.paperId from exam_paper_static s where s.paperId<>:paperId "
        "and instr(s.questionIds, %1.questionId) > 0 limit 1)");
    return group.exec(QStringLiteral("update error_answer set examid=ifnull(%1, examid) where examid=:paperId")
                          .arg(listing.arg(QStringLiteral("error_answer"))),
                      {{QStringLiteral(":paperId"), paperId}})
        && group.exec(QStringLiteral("update mastered_question set examid=ifnull(%1, examid) where examid=:paperId")
                          .arg(listing.arg(QStringLiteral("mastered_question"))),
                      {{QStringLiteral(":paperId"), paperId}});
}

} // namespace

int ImportedPaperStore::count(QSqlDatabase db, const QString &subjectId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select count(*) from import_paper i join exam_paper p on p.id=i.paperId "
                                 "where ifnull(:all,'')='' or p.subjectId=:subject"));
    query.bindValue(QStringLiteral(":all"), subjectId);
    query.bindValue(QStringLiteral(":subject"), subjectId);
    return query.exec() && query.next() ? query.value(0).toInt() : 0;
}

WriteOutcome ImportedPaperStore::remove(QSqlDatabase db, const QString &paperId)
{
    if (!isImported(db, paperId))
        return WriteOutcome::failed(QStringLiteral("这套试卷不是从文件导入的"));
    const WriteOutcome backup = BackupStore::backup(db, db.databaseName(), QStringLiteral("delete"));
    if (!backup)
        return WriteOutcome::failed(QStringLiteral("删除前的备份没有完成（%1）").arg(backup.reason()));
    SqlTransaction group(db);
    QStringList questions;
    if (!questionsOf(group, paperId, &questions) || !removeQuestions(group, paperId, questions))
        return group.finish();
    const QVariantMap id{{QStringLiteral(":id"), paperId}};
    group.exec(QStringLiteral("delete from exam_answer not indexed where paperId=:id"), id);
    group.exec(QStringLiteral("delete from exam_attempt where paperId=:id"), id);
    group.exec(QStringLiteral("delete from exam_history where paperId=:id"), id);
    group.exec(QStringLiteral("delete from import_question where paperId=:id"), id);
    group.exec(QStringLiteral("delete from import_paper where paperId=:id"), id);
    group.exec(QStringLiteral("delete from exam_paper_static where paperId=:id"), id);
    group.exec(QStringLiteral("delete from exam_paper where id=:id"), id);
    return group.finish();
}
