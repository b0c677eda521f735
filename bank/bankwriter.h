#pragma once

#include "parsedbank.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>

// Where and how a parsed file goes into the bank.
struct ImportRequest
{
    QString subjectId;        // an existing subject, or
    QString newSubjectName;   // a subject to create (or the one of that name)
    QString paperName;
    int minutes = 60;
    QString sourceName;       // the file's name, kept with the paper
    bool skipBad = false;     // import the sound questions of a file with problems
    QString imageDir;         // where the pictures go: img/ beside data.db
};

// What an import does (or would do) to the paper's questions.
struct ImportCounts
{
    int added = 0;
    int changed = 0;
    int unchanged = 0;
    int gone = 0;
    QString paperId;          // the paper updated in place; "" for a new one
    QString refusal;          // why the paper's name cannot be written to; "" when it can
};

struct ImportOutcome
{
    bool ok = false;
    QString error;
    QString subjectId;
    QString paperId;
    ImportCounts counts;
};

// Stores a parsed file as one paper with the bank's own conventions: fresh
// UUID ids, sections by question type (single, multiple, true/false,
// fill-in, essay, case study) with their quantity, marks and questionIds
// JSON, the paper's full marks from its sections, categories of the subject
// for each type and chapters from the file's categories. A paper is known by
// its subject and name: importing into the name of a paper imported before
// updates it in place (whatever the file is called), matching questions by
// their stable keys, so that results, the wrong-question book and favourites
// stay attached; the name of a paper that was not imported is refused, so
// that one subject never holds two papers of one name. Every text of the file
// (stems, options, answers, explanations, chapters, the paper's name) is
// stored as HtmlSanitiser leaves it: opening a bank file never runs its code.
// All rows of one file are written in one transaction.
class BankWriter
{
public:
    explicit BankWriter(QSqlDatabase db);

    // What write would do, writing nothing.
    ImportCounts plan(const ParsedBank &bank, const ImportRequest &request) const;

    // progress(done, total) is called as questions are stored.
    ImportOutcome write(const ParsedBank &bank, const ImportRequest &request,
                        const std::function<void(int, int)> &progress = {});

    // Where the pictures of a bank file go: img/ beside it.
    static QString imageDirOf(const QString &databasePath);

    // The subject of the given name, "" when there is none.
    QString subjectNamed(const QString &name) const;
    // The existing subject the request names, "" for one still to be made.
    QString subjectOf(const ImportRequest &request) const;

private:
    struct Entry;
    struct Stored;
    QVector<Entry> flatten(const ParsedBank &bank) const;
    // The imported paper of that name to update ("" for a new one); refusal
    // says why the name cannot be used.
    QString existingPaper(const QString &subjectId, const QString &paperName, QString *refusal) const;
    QHash<QString, Stored> storedKeys(const QString &paperId) const;
    ImportCounts count(const QVector<Entry> &entries, const QString &paperId, QHash<QString, Stored> stored) const;

    QSqlDatabase m_db;
};
