#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// One top-level entry of a section's question list: the question's id and, for
// a composite, the ids of its leaves in order.
struct QuestionIdEntry
{
    QString qid;
    QStringList leafIds;
};

// Reads a section's question list, a JSON array of objects such as
// [{"qid":"q1"},{"qid":"q2","leaf":[{"qid":"q3"},{"qid":"q4"}]}], or the same
// list in script notation ([{qid:'q1'}]). Bank data is parsed, never
// evaluated: text that is neither gives an empty list, and entries that are
// not objects give entries with an empty id.
class QuestionIdList
{
public:
    static QVector<QuestionIdEntry> parse(const QString &text);
    // The list as a section stores it; "leaf" only for entries with leaves.
    static QString write(const QVector<QuestionIdEntry> &entries);
};
