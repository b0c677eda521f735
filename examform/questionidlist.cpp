#include "questionidlist.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

// Ids may be written as strings or as numbers ({"qid":12}).
static QString idText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 17);
    return QString();
}

QVector<QuestionIdEntry> QuestionIdList::parse(const QString &json)
{
    QVector<QuestionIdEntry> entries;
    const QJsonDocument document = QJsonDocument::fromJson(json.trimmed().toUtf8());
    if (!document.isArray())
        return entries;
    const QJsonArray items = document.array();
    entries.reserve(items.size());
    for (const QJsonValue &item : items) {
        QuestionIdEntry entry;
        const QJsonObject object = item.toObject();
        entry.qid = idText(object.value(QStringLiteral("qid")));
        const QJsonArray leaves = object.value(QStringLiteral("leaf")).toArray();
        for (const QJsonValue &leaf : leaves)
            entry.leafIds << idText(leaf.toObject().value(QStringLiteral("qid")));
        entries << entry;
    }
    return entries;
}
