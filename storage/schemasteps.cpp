#include "schemasteps.h"

#include "importedtexts.h"
#include "practiceschema.h"
#include "titleindex.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace SchemaSteps {

bool exec(QSqlDatabase db, const QString &sql)
{
    QSqlQuery query(db);
    return query.exec(sql);
}

bool hasColumn(QSqlDatabase db, const QString &table, const QString &column)
{
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("select count(*) from pragma_table_info(:table) where name=:column COLLATE NOCASE")))
        return false;
    query.bindValue(QStringLiteral(":table"), table);
    query.bindValue(QStringLiteral(":column"), column);
    return query.exec() && query.next() && query.value(0).toInt() > 0;
}

bool addColumn(QSqlDatabase db, const QString &table, const QString &columnDefinition)
{
    const QString column = columnDefinition.section(QLatin1Char(' '), 0, 0);
    if (hasColumn(db, table, column))
        return true;
    return exec(db, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(table, columnDefinition));
}

namespace {

// Version 1: subjects side by side. The chosen subject is a setting instead of
// a pruned bank, and every question knows its subject so that search and
// practice can keep to the current one. A question's subject comes from its
// chapter, else its category, else a paper that lists it, else its composite;
// one that none of them names keeps NULL and shows under every subject.
bool subjectsSideBySide(QSqlDatabase db)
{
    const QStringList statements{
        QStringLiteral("CREATE TABLE IF NOT EXISTS app_setting (key TEXT PRIMARY KEY, value TEXT)"),
        // Chapter and category in one pass over the bank: the chapter's
        // subject, else the category's.
        QStringLiteral(
            "UPDATE exam_question SET subjectid = coalesce("
            "(SELECT c.subjectid FROM exam_chapter c WHERE c.id = exam_question.chapterId "
            "AND ifnull(c.subjectid,'') <> ''), "
            "(SELECT f.subjectid FROM exam_dic_fuleixing f WHERE f.id = exam_question.fuleixingid "
            "AND ifnull(f.subjectid,'') <> ''), subjectid) "
            "WHERE ifnull(subjectid,'') = ''"),
        // Lists that are not valid JSON, and entries that are not objects, are
        // passed over here rather than failing the step.
        QStringLiteral(
            "UPDATE exam_question SET subjectid = listed.subjectid FROM ("
            " SELECT CASE WHEN j.type = 'object' THEN json_extract(j.value, '$.qid') END AS qid,"
            "  min(s.subjectid) AS subjectid"
            " FROM exam_paper_static s,"
            "  json_each(CASE WHEN json_valid(s.questionIds) THEN s.questionIds ELSE '[]' END) j"
            " WHERE ifnull(s.subjectid,'') <> '' GROUP BY 1) listed "
            "WHERE listed.qid = exam_question.id AND ifnull(exam_question.subjectid,'') = ''"),
        // Below and above '' is any value but NULL and '': the parts are
        // found by the index on relationship, not by reading every row.
        QStringLiteral(
            "UPDATE exam_question SET subjectid = p.subjectid FROM exam_question p "
            "WHERE (exam_question.relationship < '' OR exam_question.relationship > '') "
            "AND p.id = exam_question.relationship "
            "AND ifnull(p.subjectid,'') <> '' AND ifnull(exam_question.subjectid,'') = ''"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS idx_question_subject ON exam_question(subjectid)"),
    };
    if (!addColumn(db, QStringLiteral("exam_question"), QStringLiteral("subjectid TEXT")))
        return false;
    for (const QString &statement : statements) {
        if (!exec(db, statement))
            return false;
    }
    return true;
}

// Version 2: where imported papers and questions came from, so that importing
// an updated file updates its paper in place. import_paper: one row per
// imported paper; its file's name (sourceName) and subject find it again.
// import_question: each of the paper's questions by the stable key the file
// gives it, the row it is stored in, and a digest of what was stored.
bool importSources(QSqlDatabase db)
{
    return exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS import_paper (paperId TEXT PRIMARY KEY, "
                                   "subjectId TEXT, sourceName TEXT, format TEXT, importedAt TEXT)"))
        && exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS import_question (paperId TEXT, questionKey TEXT, "
                                   "questionId TEXT, contentHash TEXT, PRIMARY KEY (paperId, questionKey))"))
        && exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS idx_import_paper_source "
                                   "ON import_paper(subjectId, sourceName)"))
        && exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS idx_import_question_id ON import_question(questionId)"));
}

// Version 4 built a trigram index of the titles, with a copy of them. Version
// 8 replaces it in the same migration for every file that still lacks
// version 4, so the step builds nothing now (building it only to drop it
// left the file its size in free pages); files past version 4 keep their
// index until version 8 drops it.
bool formerTitleIndex(QSqlDatabase)
{
    return true;
}

// Version 5: no attempt is lost. exam_attempt keeps each unfinished run (one
// per paper and mode) while the candidate works; exam_history keeps every
// handed-in formal paper, seeded with the result each paper already has.
bool attemptsKept(QSqlDatabase db)
{
    const QStringList statements{
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS exam_attempt (paperId TEXT NOT NULL, mode INTEGER NOT NULL DEFAULT 0, "
            "subjectid TEXT, startedAt TEXT, savedAt TEXT, snapshot TEXT NOT NULL, PRIMARY KEY (paperId, mode))"),
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS exam_history (id INTEGER PRIMARY KEY AUTOINCREMENT, "
            "paperId TEXT NOT NULL, subjectid TEXT, paperName TEXT, handedInAt TEXT NOT NULL, "
            "score REAL NOT NULL DEFAULT 0, totalCent REAL NOT NULL DEFAULT 0, passCent REAL NOT NULL DEFAULT 0, "
            "useSecond INTEGER NOT NULL DEFAULT 0, allowedSecond INTEGER NOT NULL DEFAULT 0, "
            "rightCount INTEGER NOT NULL DEFAULT 0, wrongCount INTEGER NOT NULL DEFAULT 0, "
            "unansweredCount INTEGER NOT NULL DEFAULT 0, bookCount INTEGER, "
            "chosenSections TEXT NOT NULL DEFAULT '[]', sections TEXT NOT NULL DEFAULT '[]', "
            "answers TEXT NOT NULL DEFAULT '[]')"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS idx_history_paper ON exam_history(paperId, handedInAt)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS idx_history_subject ON exam_history(subjectid, handedInAt)"),
        // The hand-in time of an old result is its day at noon; its book size
        // is not known.
        QStringLiteral(
            "INSERT INTO exam_history(paperId, subjectid, paperName, handedInAt, score, totalCent, passCent, "
            "useSecond, allowedSecond, rightCount, wrongCount, unansweredCount, answers) "
            "SELECT a.paperId, a.subjectid, p.name, substr(ifnull(a.anserDate,''),1,10) || 'T12:00:00', "
            "ifnull(a.scoreCuont,0), ifnull(a.score,0), ifnull(p.passCent,0), ifnull(a.useSecond,0), "
            "ifnull(p.examTime,0)*60, ifnull(a.rightCount,0), ifnull(a.worngCount,0), "
            "max(0, ifnull(a.allCount,0)-ifnull(a.rightCount,0)-ifnull(a.worngCount,0)), "
            "CASE WHEN json_valid(a.answers) THEN a.answers ELSE '[]' END "
            "FROM exam_answer a LEFT JOIN exam_paper p ON p.id = a.paperId "
            "WHERE ifnull(a.paperId,'') <> '' ORDER BY a.anserDate"),
    };
    for (const QString &statement : statements) {
        if (!exec(db, statement))
            return false;
    }
    return true;
}

// Version 7: the candidate's notes on questions, one per question and subject
// (the subject chosen when it was written; '' when the bank had one). Keyed by
// the question's id: a re-import updates its questions in place, so the note
// follows its question.
bool questionNotes(QSqlDatabase db)
{
    return exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS question_note (questionId TEXT NOT NULL, "
                                   "subjectid TEXT NOT NULL DEFAULT '', note TEXT NOT NULL, changedAt TEXT NOT NULL, "
                                   "PRIMARY KEY (questionId, subjectid))"))
        && exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS idx_question_note_changed "
                                   "ON question_note(subjectid, changedAt)"));
}

// Version 9: the top-level questions in the search's order (type, then row),
// so that a keyword found in many stems shows its first hits without reading
// every one of them first.
bool topLevelInTypeOrder(QSqlDatabase db)
{
    return exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS idx_question_toplevel_type "
                                   "ON exam_question(relationship, questionTypeid)"));
}

} // namespace

const QVector<SchemaMigration::Step> &all()
{
    static const QVector<SchemaMigration::Step> steps{
        {1, QStringLiteral("科目并存"), subjectsSideBySide},
        {2, QStringLiteral("导入题库的来源"), importSources},
        {3, QStringLiteral("错题复习与随机组卷"), PracticeSchema::apply},
        {4, QStringLiteral("试题检索索引"), formerTitleIndex},
        {5, QStringLiteral("作答保存与成绩记录"), attemptsKept},
        // Version 6: rows that earlier imports wrote lose their scripts.
        {6, QStringLiteral("清理导入题目中的脚本"), ImportedTexts::sanitise},
        {7, QStringLiteral("试题笔记"), questionNotes},
        // Version 8: the title index serves keywords of any length and holds
        // no copy of the titles; it replaces version 4's.
        {8, QStringLiteral("试题检索索引（任意长度关键字）"), TitleIndex::create},
        {9, QStringLiteral("按题型排列的检索"), topLevelInTypeOrder},
    };
    return steps;
}

} // namespace SchemaSteps
