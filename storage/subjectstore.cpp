#include "subjectstore.h"

#include "constants.h"
#include "dbconnection.h"
#include "settingsstore.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

const QString currentSubjectKey = QStringLiteral("currentSubject");

QSqlDatabase database()
{
    return DbConnection::instance(appDirPath, true)->database();
}

} // namespace

QList<QPair<QString, QString>> SubjectStore::subjects()
{
    return subjects(database());
}

QList<QPair<QString, QString>> SubjectStore::subjects(QSqlDatabase db)
{
    QList<QPair<QString, QString>> result;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select * from exam_subject")))
        return result;
    while (query.next())
        result.append({query.value(QStringLiteral("id")).toString(), query.value(QStringLiteral("name")).toString()});
    return result;
}

int SubjectStore::subjectCount()
{
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("select count(*) from exam_subject")) || !query.next())
        return 0;
    return query.value(0).toInt();
}

QString SubjectStore::currentSubjectId()
{
    return currentSubjectId(database());
}

QString SubjectStore::currentSubjectId(QSqlDatabase db)
{
    const QList<QPair<QString, QString>> all = subjects(db);
    if (all.size() == 1)
        return all.first().first;
    const QString chosen = SettingsStore::value(db, currentSubjectKey);
    for (const auto &subject : all) {
        if (subject.first == chosen)
            return chosen;
    }
    return QString();
}

QString SubjectStore::currentSubjectName()
{
    const QString id = currentSubjectId();
    for (const auto &subject : subjects()) {
        if (subject.first == id)
            return subject.second;
    }
    return QString();
}

bool SubjectStore::choose(const QString &subjectId)
{
    for (const auto &subject : subjects()) {
        if (subject.first == subjectId)
            return SettingsStore::setValue(currentSubjectKey, subjectId);
    }
    return false;
}

bool SubjectStore::choiceNeeded()
{
    return subjectCount() > 1 && currentSubjectId().isEmpty();
}
