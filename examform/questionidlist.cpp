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

QString QuestionIdList::write(const QVector<QuestionIdEntry> &entries)
{
    QJsonArray items;
    for (const QuestionIdEntry &entry : entries) {
        QJsonObject object{{QStringLiteral("qid"), entry.qid}};
        if (!entry.leafIds.isEmpty()) {
            QJsonArray leaves;
            for (const QString &leaf : entry.leafIds)
                leaves.append(QJsonObject{{QStringLiteral("qid"), leaf}});
            object.insert(QStringLiteral("leaf"), leaves);
        }
        items.append(object);
    }
    return QString::fromUtf8(QJsonDocument(items).toJson(QJsonDocument::Compact));
}
