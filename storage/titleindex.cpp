#include "titleindex.h"

#include "bigramtokenizer.h"
#include "schemasteps.h"
#include "sqltransaction.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

const QString TitleIndex::table = QStringLiteral("question_title_pairs");
const QString TitleIndex::queue = QStringLiteral("question_title_queue");

namespace {

// A long keyword's pairs narrow the candidates little after the first few;
// each one more costs a list to read.
constexpr int pairsAsked = 6;

bool hasFts5(QSqlDatabase db)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral("select sqlite_compileoption_used('ENABLE_FTS5')")) && query.next()
        && query.value(0).toBool();
}

QString quoted(QString text)
{
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

bool TitleIndex::create(QSqlDatabase db)
{
    if (!hasFts5(db) || !BigramTokenizer::installOn(db))
        return true;
    // The queue holds a row once, with the title the index has for it
    // (indexed 0: the index has nothing for the row); later changes of the
    // same row before the index catches up keep that first record.
    const QString note = QStringLiteral("INSERT OR IGNORE INTO ") + queue
        + QStringLiteral("(questionRowid, indexedTitle, indexed) VALUES ");
    const QStringList statements{
        QStringLiteral("DROP TRIGGER IF EXISTS question_title_index_insert"),
        QStringLiteral("DROP TRIGGER IF EXISTS question_title_index_update"),
        QStringLiteral("DROP TRIGGER IF EXISTS question_title_index_delete"),
        QStringLiteral("DROP TABLE IF EXISTS question_title_index"),
        QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS %1 USING fts5(title, content='exam_question', "
                       "content_rowid='rowid', tokenize='%2', detail=none, columnsize=0)")
            .arg(table, QLatin1String(BigramTokenizer::name())),
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (questionRowid INTEGER PRIMARY KEY, indexedTitle, "
                       "indexed INTEGER NOT NULL)")
            .arg(queue),
        // One pass over the table in row order: the build is linear in rows.
        // (Merging the result into one segment would leave the file a copy
        // of the index bigger, in free pages.)
        QStringLiteral("INSERT INTO %1(%1) VALUES('rebuild')").arg(table),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS question_title_queue_insert AFTER INSERT ON exam_question "
                       "BEGIN %1(new.rowid, NULL, 0); END")
            .arg(note),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS question_title_queue_update AFTER UPDATE ON exam_question "
                       "WHEN old.title IS NOT new.title OR old.rowid <> new.rowid "
                       "BEGIN %1(old.rowid, old.title, 1); %1(new.rowid, NULL, 0); END")
            .arg(note),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS question_title_queue_delete AFTER DELETE ON exam_question "
                       "BEGIN %1(old.rowid, old.title, 1); END")
            .arg(note),
    };
    for (const QString &statement : statements) {
        if (!SchemaSteps::exec(db, statement))
            return false;
    }
    return true;
}

bool TitleIndex::usable(QSqlDatabase db)
{
    if (!BigramTokenizer::installOn(db))
        return false;
    // Preparing reads the table's definition and finds its tokenizer.
    QSqlQuery probe(db);
    return probe.prepare(QStringLiteral("select f.rowid from %1 f, %2 q where %1 match 'x' limit 0")
                             .arg(table, queue));
}

bool TitleIndex::catchUp(QSqlDatabase db)
{
    if (!usable(db))
        return false;
    {
        QSqlQuery pending(db);
        if (!pending.exec(QStringLiteral("select exists(select 1 from %1)").arg(queue)) || !pending.next())
            return false;
        if (!pending.value(0).toBool())
            return true;
    }
    SqlTransaction transaction(db);
    transaction.exec(QStringLiteral("INSERT INTO %1(%1, rowid, title) SELECT 'delete', questionRowid, indexedTitle "
                                    "FROM %2 WHERE indexed = 1 ORDER BY questionRowid")
                         .arg(table, queue));
    transaction.exec(QStringLiteral("INSERT INTO %1(rowid, title) SELECT q.rowid, q.title FROM %2 p "
                                    "CROSS JOIN exam_question q ON q.rowid = p.questionRowid ORDER BY p.questionRowid")
                         .arg(table, queue));
    transaction.exec(QStringLiteral("DELETE FROM %1").arg(queue));
    return transaction.commit();
}

QString TitleIndex::matchQuery(const QString &keyword)
{
    const QVector<uint> characters = keyword.toUcs4();
    if (characters.size() == 1)
        return quoted(keyword) + QLatin1Char('*');
    QStringList pairs;
    for (int i = 0; i + 1 < characters.size() && pairs.size() < pairsAsked; ++i) {
        const QString pair = quoted(QString::fromUcs4(characters.constData() + i, 2));
        if (!pairs.contains(pair))
            pairs << pair;
    }
    return pairs.join(QLatin1String(" AND "));
}
