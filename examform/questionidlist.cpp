#include "questionidlist.h"

#include "scriptliteral.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariantList>
#include <QVariantMap>

namespace {

// Ids may be written as strings or as numbers ({"qid":12}).
QString idText(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(value.toDouble(), 'g', 17);
    default:
        return QString();
    }
}

// The list as data: strict JSON first (the usual case, and fast), then the
// script notation; an invalid QVariant when it is neither.
QVariant listValue(const QString &text)
{
    const QString trimmed = text.trimmed();
    const QJsonDocument document = QJsonDocument::fromJson(trimmed.toUtf8());
    if (document.isArray())
        return document.toVariant();
    if (!document.isNull() || trimmed.isEmpty())
        return QVariant();
    const ScriptLiteral::Result literal = ScriptLiteral::read(trimmed);
    return literal.ok ? literal.value : QVariant();
}

} // namespace

QVector<QuestionIdEntry> QuestionIdList::parse(const QString &text)
{
    QVector<QuestionIdEntry> entries;
    const QVariant list = listValue(text);
    if (list.type() != QVariant::List)
        return entries;
    const QVariantList items = list.toList();
    entries.reserve(items.size());
    for (const QVariant &item : items) {
        QuestionIdEntry entry;
        const QVariantMap object = item.type() == QVariant::Map ? item.toMap() : QVariantMap();
        entry.qid = idText(object.value(QStringLiteral("qid")));
        const QVariant leaves = object.value(QStringLiteral("leaf"));
        if (leaves.type() == QVariant::List) {
            for (const QVariant &leaf : leaves.toList())
                entry.leafIds << idText(leaf.type() == QVariant::Map ? leaf.toMap().value(QStringLiteral("qid")) : QVariant());
        }
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
