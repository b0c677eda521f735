#pragma once

#include <QSqlDatabase>
#include <QString>

// The index of the question titles for the keyword search: an FTS5 table over
// exam_question's own titles (external content, nothing copied) whose tokens
// are pairs of characters (BigramTokenizer), so that keywords of any length
// find their candidates in it; the search still checks each with its LIKE.
//
// The index is kept by this program only. Triggers on exam_question merely
// note each changed row in a plain queue (with the title the index holds for
// it), so any connection may write questions, with or without the tokenizer.
// The search takes the queued rows as candidates too, so hits never wait for
// the index; catchUp brings the index up to date and empties the queue, once
// per group of writes (an import), which keeps an import's cost to its own rows.
class TitleIndex
{
public:
    static const QString table;   // the FTS5 table
    static const QString queue;   // rows changed since the index last caught up

    // The schema step: replaces the trigram index of version 4 (table and
    // triggers) with this one and builds it from the titles. Without FTS5
    // there is no index and the search scans the titles.
    static bool create(QSqlDatabase db);

    // Whether the search can use the index on db: it is there, and the
    // tokenizer is known to this connection (installed here if not).
    static bool usable(QSqlDatabase db);

    // Applies the queued changes to the index in one transaction and empties
    // the queue; true when there was nothing to do. On failure the queue stays
    // and the search remains right.
    static bool catchUp(QSqlDatabase db);

    // The FTS5 query whose matches include every title holding keyword: all
    // its pairs of characters (a few for a long keyword), or the tokens
    // starting with its one character.
    static QString matchQuery(const QString &keyword);
};
