#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

// A small element tree read with QXmlStreamReader, with the line of each
// element, for formats that are easier to walk than to stream.
struct XmlNode
{
    QString name;
    QHash<QString, QString> attributes;
    QString text;                  // the element's own text and CDATA
    QVector<XmlNode> children;
    int line = 0;

    const XmlNode *child(const QString &childName) const;
    QVector<const XmlNode *> childrenNamed(const QString &childName) const;
    // The text of a child element, trimmed; "" when there is none.
    QString childText(const QString &childName) const;

    // Reads a document. On malformed XML the tree holds what came before the
    // fault and errorLine/errorText say where and what. References to
    // entities that are not read (external ones) are left out of the text;
    // unread, when given, gets the line of each.
    static XmlNode parse(const QByteArray &bytes, int *errorLine, QString *errorText,
                         QVector<int> *unread = nullptr);
};
