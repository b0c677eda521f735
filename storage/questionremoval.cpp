#include "questionremoval.h"

#include "questionidlist.h"
#include "sqltransaction.h"
#include "wrongbook.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>

namespace {

QString jsonList(const QStringList &ids)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(ids)).toJson(QJsonDocument::Compact));
}

} // namespace

bool QuestionRemoval::unlisted(SqlTransaction &group, const QStringList &ids, const QString &exceptPaperId,
                               QStringList *result)
{
    result->clear();
    if (ids.isEmpty())
        return true;
    QSqlQuery *sections = group.run(QStringLiteral("select questionIds from exam_paper_static where paperId<>:paper"),
                                    {{QStringLiteral(":paper"), exceptPaperId}});
    if (!sections)
        return false;
    QSet<QString> listed;
    while (sections->next()) {
        for (const QuestionIdEntry &entry : QuestionIdList::parse(sections->value(0).toString())) {
            listed.insert(entry.qid);
            for (const QString &leaf : entry.leafIds)
                listed.insert(leaf);
        }
    }
    sections->finish();
    for (const QString &id : ids)
        if (!listed.contains(id))
            result->append(id);
    return true;
}

bool QuestionRemoval::remove(SqlTransaction &group, const QStringList &ids)
{
    if (ids.isEmpty())
        return true;
    if (!WrongBook::removeQuestions(group, ids))
        return false;
    const QVariantMap values{{QStringLiteral(":ids"), jsonList(ids)}};
    for (const char *statement : {
             "delete from mastered_question where questionId in (select value from json_each(:ids))",
             "delete from exam_Collect where questionid in (select value from json_each(:ids))",
             "delete from review_card where questionId in (select value from json_each(:ids))",
             "delete from review_log where questionId in (select value from json_each(:ids))",
             "delete from question_note where questionId in (select value from json_each(:ids))",
             "delete from import_question where questionId in (select value from json_each(:ids))",
             "delete from exam_question where id in (select value from json_each(:ids))"}) {
        if (!group.exec(QLatin1String(statement), values))
            return false;
    }
    return true;
}
