#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// A generated question bank for the benchmarks: one subject, one formal paper
// with six sections (composites of several parts among them), and a large pool
// of further questions of which a fixed share carries the search keyword.
class BenchBank
{
public:
    // How big the bank is.
    struct Shape
    {
        int singles = 70;          // paper sections by question type
        int multiples = 40;
        int trueFalse = 30;
        int fillIns = 20;
        int essays = 20;
        int composites = 20;
        int partsPerComposite = 4;
        int questionRows = 20000;  // exam_question rows in all, parts included
        int hitStride = 8;         // every n-th top-level title carries the common keyword
        int rareStride = 100;      // every n-th top-level title carries the rare keyword
        int sparseStride = 1000;   // every n-th top-level title carries the sparse word
        int bookRows = 5000;       // wrong-question book of a candidate months in, pool questions
    };
    static Shape fullShape();
    static Shape smokeShape();
    // The full shape with the pool grown to questionRows.
    static Shape ofSize(int questionRows);

    // Writes the bank into a new database file built from schemaPath. False
    // (with error() set) when anything fails.
    bool create(const QString &databasePath, const QString &schemaPath, const Shape &shape);

    QString error() const { return m_error; }
    static QString paperId();
    // A word in about one stem in eight, one in about one stem in a hundred,
    // and one in none.
    static QString keyword();
    static QString rareKeyword();
    static QString absentKeyword();
    // A word in one stem in a thousand; two characters in one stem in eight
    // (those of keyword()), in one in a thousand (those of sparseWord()), and
    // in none.
    static QString sparseWord();
    static QString commonPair();
    static QString sparsePair();
    static QString absentPair();
    int questionRows() const { return m_questionRows; }
    int keywordRows() const { return m_keywordRows; }      // top-level titles with the common keyword
    int searchResults() const { return m_searchResults; }  // its hits once composites are expanded
    int paperEntries() const { return m_paperEntries; }    // entries of the paper, parts included
    int bookRows() const { return m_bookRows; }

private:
    struct Pending;
    bool runSchema(QSqlDatabase &db, const QString &schemaPath);
    bool insertFixedRows(QSqlDatabase &db);
    bool insertQuestions(QSqlDatabase &db, const Shape &shape);
    bool insertPaper(QSqlDatabase &db, const Shape &shape);
    bool insertBook(QSqlDatabase &db, const Shape &shape);
    bool fail(const QString &what, const QString &detail);

    QString m_error;
    int m_questionRows = 0;
    int m_keywordRows = 0;
    int m_searchResults = 0;
    int m_bookRows = 0;
    int m_paperEntries = 0;
    // Top-level question ids by type (index 1..6), in bank order, for the paper.
    QStringList m_idsByType[7];
    QHash<QString, QStringList> m_partsOf;
};
