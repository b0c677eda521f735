#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QVector>

// The title index's tokenizer: a text is cut into overlapping pairs of
// characters, so that any text of two characters or more that a title holds
// is a run of its pairs, whatever the script (Chinese has no spaces between
// words). The last character of a text is also a token of its own, so that a
// single character is the prefix of some token wherever it stands.
//
// ASCII letters are folded to lower case, and only they, as SQLite's LIKE
// does. Text that is not valid UTF-8 is cut byte by byte where it is invalid.
class BigramTokenizer
{
public:
    // The name an FTS5 table gives as its tokenize option.
    static const char *name();

    enum class Purpose { Document, Query };
    // The tokens of utf8: for a document, every pair and the last character;
    // for a query, the pairs, or the one character a one-character text is.
    static QVector<QByteArray> tokens(const QByteArray &utf8, Purpose purpose);

    // Makes the tokenizer known to db's connection; false when that SQLite
    // has no FTS5. Cheap enough to call before each use.
    static bool installOn(QSqlDatabase db);
    // Makes it known to every connection the process opens from now on, so
    // that whatever reads the whole file (its check, a newer SQLite's
    // integrity check of the index) can read the index too. Called first
    // thing by each program.
    static void installOnEveryConnection();
};
