#include "importedpaperstore.h"

#include "backupstore.h"
#include "markedpapers.h"
#include "papertitle.h"
#include "questionremoval.h"
#include "resultstore.h"
#include "sqltransaction.h"
#include "wrongbook.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

const QString markerTable = QStringLiteral("import_paper");

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

} // namespace

int ImportedPaperStore::count(QSqlDatabase db, const QString &subjectId)
{
    return MarkedPapers::count(db, markerTable, subjectId);
}

ImportedPaperStore::Summary ImportedPaperStore::summary(QSqlDatabase db, const QString &paperId)
{
    Summary summary;
    summary.name = PaperTitle::of(db, paperId);
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select count(*) from import_question where paperId=:id"));
    query.bindValue(QStringLiteral(":id"), paperId);
    if (query.exec() && query.next())
        summary.questions = query.value(0).toInt();
    return summary;
}

WriteOutcome ImportedPaperStore::remove(QSqlDatabase db, const QString &paperId)
{
    if (!MarkedPapers::marks(db, markerTable, paperId))
        return WriteOutcome::failed(QStringLiteral("这套试卷不是从文件导入的"));
    const WriteOutcome backup = BackupStore::quickBackup(db, db.databaseName(), QStringLiteral("delete"));
    if (!backup)
        return WriteOutcome::failed(QStringLiteral("删除前的备份没有完成（%1）").arg(backup.reason()));
    SqlTransaction group(db);
    // The questions no other paper lists go; the book rows of the others move
    // to a paper that lists them.
    QStringList questions, unlisted;
    if (!questionsOf(group, paperId, &questions) || !QuestionRemoval::unlisted(group, questions, paperId, &unlisted)
        || !QuestionRemoval::remove(group, unlisted) || !WrongBook::moveRows(group, paperId, false)
        || !ResultStore::remove(group, paperId))
        return group.finish();
    const QVariantMap id{{QStringLiteral(":id"), paperId}};
    group.exec(QStringLiteral("delete from exam_attempt where paperId=:id"), id);
    group.exec(QStringLiteral("delete from exam_history where paperId=:id"), id);
    group.exec(QStringLiteral("delete from import_question where paperId=:id"), id);
    group.exec(QStringLiteral("delete from import_paper where paperId=:id"), id);
    group.exec(QStringLiteral("delete from exam_paper_static where paperId=:id"), id);
    group.exec(QStringLiteral("delete from exam_paper where id=:id"), id);
    return group.finish();
}
