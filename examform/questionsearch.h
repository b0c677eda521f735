#pragma once

#include "exampaper.h"
#include "subjectscope.h"

#include <QByteArray>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVector>
#include <memory>
#include <vector>

// One hit of a keyword search: the question's row and how the page labels it.
struct SearchHit
{
    qint64 rowid = 0;
    int number = 0;   // the top-level count, or for a part its composite's position
    int leafNo = 0;   // 0 for a top-level question, 1.. for the parts of a composite
    bool inNote = false; // the candidate's note on the question holds the keyword
};

// Keyword search over the question bank: the top-level questions whose title
// contains the keyword, in question-type order, each composite among them
// replaced by its parts.
//
// Questions whose note (in scope) holds the keyword are hits too: marked as
// found in a note, and after the others when the title does not hold it.
//
// The keyword is matched as typed: a substring of the title, ASCII letters in
// any case (SQLite's LIKE), and "%" and "_" stand for themselves, so "50%"
// finds "50%" and not "50 anything".
//
// Finding the hits and rendering them are separate: the hits are only row ids
// with their labels, found in slices of the table so that a large bank never
// holds the caller up for long; a caller renders the hits it shows. A hit
// once found keeps its place and label: when the title index names many
// candidates, they are read in type order and the first hits are known long
// before the last (found()).
class QuestionSearch
{
public:
    enum class Status { Running, Done, Failed };
    // How the candidates are found. WhenPossible takes the title index when
    // the bank has one, reading many candidates in type order (their first
    // hits early) and few at once, sorted after (no pass over the order):
    // either way the first block waits for a bounded share of the bank.
    // The other values fix one way, so that a test can compare them.
    enum class IndexUse { WhenPossible, Never, InTypeOrder, SortedAfter };

    // Longer keywords are refused: no stem needs them, and SQLite refuses
    // LIKE patterns of some 50,000 bytes.
    static constexpr int maxKeywordLength = 200;

    // The LIKE pattern (with "\" as escape character) of titles containing
    // keyword literally.
    static QString containsPattern(const QString &keyword);
    // Why keyword cannot be searched, in words for the user; empty when it can.
    // Control characters (SQLite would cut the pattern at a NUL) and text that
    // is not valid Unicode are refused, and so is an over-long keyword.
    static QString keywordProblem(const QString &keyword);

    // Prepares a search of the questions in scope. The title index serves
    // keywords of any length when the bank has it and this connection can
    // read it; the hits are the same either way.
    QuestionSearch(QSqlDatabase db, const QString &keyword, const SubjectScope &scope = SubjectScope(),
                   IndexUse indexUse = IndexUse::WhenPossible);

    // Goes on finding hits for about budgetMs (0: one slice of the bank, one
    // batch of the index's candidates or of composites listed as their
    // parts); Running while some are still to be found.
    Status step(int budgetMs);
    // Finds every hit at once.
    Status finish();
    Status status() const { return m_status; }
    // Why the search failed.
    QString error() const { return m_error; }
    bool usesIndex() const { return m_useIndex; }
    QString keyword() const { return m_keyword; }

    // The hits found so far in page order: every hit once Done; while
    // Running, the first found() of them, each already final in place, label
    // and note mark (later hits only follow).
    const QVector<SearchHit> &hits() const { return m_hits; }
    int found() const { return m_hits.size(); }
    // Hits from .. to - 1 filled from their rows and rendered for the result
    // page (renderSearch with the keyword as highlight, a hit found in a
    // note marked so); seq is the hit's
    // position in hits() plus one, so the element ids of one page never repeat.
    // A row gone meanwhile is left out.
    std::vector<std::unique_ptr<ExamQuestion>> render(int from, int to, int renderMode,
                                                      const QString &appDirSlash) const;

    // The whole search at once: every hit rendered, in a paper whose
    // questionCount and askCount count the hits. A keyword that cannot be
    // searched, or a failing statement, gives a paper without questions.
    static std::unique_ptr<ExamPaper> run(QSqlDatabase db, const QString &keyword, int renderMode,
                                          const QString &appDirSlash, const SubjectScope &scope = SubjectScope());

private:
    // A matching top-level question, with its questionTypeid as SQLite orders
    // it: storage class (NULL, number, text, blob), then value.
    struct TopLevelHit
    {
        qint64 rowid = 0;
        bool composite = false;
        int typeClass = 0;
        double typeNumber = 0;
        QByteArray typeText;
    };
    // A question whose note holds the keyword.
    struct NoteHit
    {
        qint64 rowid = 0;
        bool part = false;
    };
    bool prepare();
    // Whether the index names at least enough candidates, to be read in type order.
    bool manyCandidates(const QString &candidates, qint64 enough, bool &many);
    bool searchSlice();
    bool readInTypeOrder();
    void takeCandidate();
    bool expandHits();
    // Lists a top-level hit: itself, or a composite's parts.
    bool addTopLevel(qint64 rowid, bool composite);
    void addHit(const SearchHit &hit);
    Status fail(const QSqlQuery &query);
    // The questions whose note holds the keyword, newest note first; a bank
    // that cannot be asked has none.
    void findNoteHits();
    // Appends the questions found only by their note.
    void addNoteHits();

    QSqlDatabase m_db;
    QString m_keyword;
    SubjectScope m_scope;
    bool m_useIndex = false;
    IndexUse m_indexUse = IndexUse::WhenPossible;
    // The index's candidates come in type order: each row read is a final hit.
    bool m_inTypeOrder = false;
    Status m_status = Status::Running;
    QString m_error;
    bool m_prepared = false;
    QSqlQuery m_next;
    QSqlQuery m_slice;
    QSqlQuery m_parts;
    qint64 m_nextRowid = 0;
    qint64 m_endRowid = 0;
    std::vector<TopLevelHit> m_topLevel;
    size_t m_expanded = 0;
    int m_topLevelListed = 0;
    int m_nextNumber = 1;
    QVector<SearchHit> m_hits;
    QVector<NoteHit> m_noteHits;
    // Row of each question found by its note -> still to be appended.
    QHash<qint64, bool> m_noteRows;
};
