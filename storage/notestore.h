#pragma once

#include "subjectscope.h"
#include "writeoutcome.h"

#include <QDateTime>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

// One note as the lists show it: the question it is on, the starts of the
// question's stem and of the note as plain text, and when it last changed.
struct NoteEntry
{
    QString questionId;
    QString stemStart;
    QString noteStart;
    QDateTime changedAt;
};

// The candidate's notes on questions (question_note): plain text, one note per
// question in each subject. A note is written under the scope's subject; one
// written while the bank held a single subject ('') shows under every subject,
// as rows without a subject do elsewhere.
class NoteStore
{
public:
    // How much of a stem or note the lists show.
    static constexpr int startLength = 40;

    // The note on the question that the scope shows; empty when it has none.
    // Its own subject's note comes before one written for every subject.
    static QString note(QSqlDatabase db, const SubjectScope &scope, const QString &questionId);
    // The notes the scope shows on any of questionIds, by question id;
    // questions without a note are left out.
    static QHash<QString, QString> notesOf(QSqlDatabase db, const SubjectScope &scope, const QStringList &questionIds);
    // Replaces the question's note in the scope with text, changed at
    // changedAt; a text of nothing but blanks removes it. One transaction.
    static WriteOutcome save(QSqlDatabase db, const SubjectScope &scope, const QString &questionId,
                             const QString &text, const QDateTime &changedAt);
    // The notes the scope shows, on questions still in the bank, newest first.
    static QVector<NoteEntry> list(QSqlDatabase db, const SubjectScope &scope);
    // Those whose text holds every word of words (split at blanks), literally:
    // "%" and "_" are no wildcards. No words: the whole list.
    static QVector<NoteEntry> search(QSqlDatabase db, const SubjectScope &scope, const QString &words);
    // How many notes list gives; -1 when the table cannot be read.
    static int count(QSqlDatabase db, const SubjectScope &scope);

    // A LIKE pattern (escape character "\") of texts holding word literally.
    static QString containsPattern(const QString &word);
    // The first startLength characters of html as one line of plain text.
    static QString plainStart(const QString &html);
};
