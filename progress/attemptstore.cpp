#include "attemptstore.h"

#include "boundstatement.h"
#include "storedtime.h"

#include <QSqlQuery>
#include <QVariant>

bool AttemptStore::save(QSqlDatabase db, const AttemptSnapshot &snapshot, const QDateTime &savedAt)
{
    return execBound(db,
                     QStringLiteral("INSERT OR REPLACE INTO exam_attempt(paperId, mode, subjectid, startedAt, savedAt, snapshot) "
                                    "VALUES(:paperId, :mode, :subjectid, :startedAt, :savedAt, :snapshot)"),
                     {{QStringLiteral(":paperId"), snapshot.paperId},
                      {QStringLiteral(":mode"), snapshot.mode},
                      {QStringLiteral(":subjectid"), snapshot.subjectId},
                      {QStringLiteral(":startedAt"), snapshot.startedAt.toString(storedTimeFormat())},
                      {QStringLiteral(":savedAt"), savedAt.toString(storedTimeFormat())},
                      {QStringLiteral(":snapshot"), QString::fromUtf8(snapshot.toJson())}});
}

bool AttemptStore::load(QSqlDatabase db, const QString &paperId, int mode, AttemptSnapshot *out)
{
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("SELECT snapshot FROM exam_attempt WHERE paperId=:paperId AND mode=:mode")))
        return false;
    query.bindValue(QStringLiteral(":paperId"), paperId);
    query.bindValue(QStringLiteral(":mode"), mode);
    if (!query.exec() || !query.next())
        return false;
    AttemptSnapshot snapshot;
    if (!AttemptSnapshot::fromJson(query.value(0).toString().toUtf8(), &snapshot)
        || snapshot.paperId != paperId || snapshot.mode != mode)
        return false;
    *out = snapshot;
    return true;
}

bool AttemptStore::remove(QSqlDatabase db, const QString &paperId, int mode)
{
    return execBound(db, QStringLiteral("DELETE FROM exam_attempt WHERE paperId=:paperId AND mode=:mode"),
                     {{QStringLiteral(":paperId"), paperId}, {QStringLiteral(":mode"), mode}});
}

QSet<QString> AttemptStore::unfinishedPapers(QSqlDatabase db)
{
    QSet<QString> papers;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT paperId FROM exam_attempt WHERE mode=0")))
        return papers;
    while (query.next())
        papers.insert(query.value(0).toString());
    return papers;
}
