#pragma once

#include "bankquestion.h"
#include "subjectscope.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVector>

// Reads papers of the bank back into the format-neutral model, for export:
// the questions in paper order, case studies with their parts, chapters by
// name, and each question's stable key (the one it was imported with, else
// its id).
class BankReader
{
public:
    explicit BankReader(QSqlDatabase db);

    QVector<BankQuestion> paper(const QString &paperId);
    // Every question of a subject: its papers' in list order (a question in
    // two papers once), then those no paper lists.
    QVector<BankQuestion> subject(const QString &subjectId);
    // The wrong-question book of the scope: its papers in list order, each
    // one's wrong questions in book order, a wrong part under its case (with
    // the case's other wrong parts), each with the candidate's note.
    QVector<BankQuestion> wrongBook(const SubjectScope &scope);

private:
    void appendPaper(const QString &paperId, QVector<BankQuestion> &questions, QSet<QString> &seen);
    void appendUnlisted(const QString &subjectId, QVector<BankQuestion> &questions, QSet<QString> &seen);
    // notes: the notes the parts carry, by id.
    void appendQuestion(BankQuestion &question, const QStringList &partIds, QVector<BankQuestion> &questions,
                        const QHash<QString, QString> &notes = {});
    bool readQuestion(const QString &id, bool leaf, BankQuestion *question);

    QSqlDatabase m_db;
    QSqlQuery m_question;      // one question's row, prepared once for all
};
