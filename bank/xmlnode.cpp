#include "xmlnode.h"

#include <QXmlStreamReader>

const XmlNode *XmlNode::child(const QString &childName) const
{
    for (const XmlNode &node : children) {
        if (node.name == childName)
            return &node;
    }
    return nullptr;
}

QVector<const XmlNode *> XmlNode::childrenNamed(const QString &childName) const
{
    QVector<const XmlNode *> found;
    for (const XmlNode &node : children) {
        if (node.name == childName)
            found.append(&node);
    }
    return found;
}

QString XmlNode::childText(const QString &childName) const
{
    const XmlNode *node = child(childName);
    return node ? node->text.trimmed() : QString();
}

XmlNode XmlNode::parse(const QByteArray &bytes, int *errorLine, QString *errorText, QVector<int> *unread)
{
    XmlNode document;
    QVector<XmlNode *> path{&document};
    QXmlStreamReader reader(bytes);
    QList<QByteArray> external;    // "&name;" of each external entity the document declares
    int dtdLine = 0;
    // Nesting deeper than any bank file needs is refused rather than followed.
    constexpr int deepest = 256;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (path.size() > deepest) {
                reader.raiseError(QStringLiteral("elements nested too deeply"));
                break;
            }
            XmlNode node;
            node.name = reader.name().toString();
            node.line = int(reader.lineNumber());
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                node.attributes.insert(attribute.name().toString(), attribute.value().toString());
            path.last()->children.append(node);
            path.append(&path.last()->children.last());
        } else if (reader.isEndElement()) {
            if (path.size() > 1)
                path.removeLast();
        } else if (reader.isCharacters()) {
            path.last()->text += reader.text();
        } else if (reader.isEntityReference() && unread) {
            unread->append(int(reader.lineNumber()));
        } else if (reader.isDTD() && unread) {
            // The reader passes over references to external entities without
            // a word: they are found in the text, each line once.
            for (const QXmlStreamEntityDeclaration &entity : reader.entityDeclarations()) {
                if (!entity.systemId().isEmpty() || !entity.publicId().isEmpty())
                    external << QByteArray("&") + entity.name().toUtf8() + ';';
            }
            if (!external.isEmpty())
                dtdLine = int(reader.lineNumber());
        }
    }
    if (unread && !external.isEmpty()) {
        const QList<QByteArray> lines = bytes.split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            for (const QByteArray &reference : qAsConst(external)) {
                if (lines.at(i).contains(reference)) {
                    unread->append(i + 1);
                    break;
                }
            }
        }
        if (unread->isEmpty())
            unread->append(dtdLine);
    }
    if (errorLine)
        *errorLine = reader.hasError() ? int(reader.lineNumber()) : 0;
    if (errorText)
        *errorText = reader.hasError() ? reader.errorString() : QString();
    return document;
}
