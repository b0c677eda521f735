#include "practiceschema.h"

#include <QSqlQuery>
#include <QStringList>

bool PracticeSchema::apply(QSqlDatabase db)
{
    const QStringList statements{
        QStringLiteral("CREATE TABLE IF NOT EXISTS review_card (questionId TEXT PRIMARY KEY, "
                       "stability REAL NOT NULL DEFAULT 0, difficulty REAL NOT NULL DEFAULT 0, "
                       "lastReview TEXT, due TEXT, reviews INTEGER NOT NULL DEFAULT 0, "
                       "lapses INTEGER NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS idx_review_card_due ON review_card(due)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS review_log (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "questionId TEXT NOT NULL, reviewDate TEXT NOT NULL, grade INTEGER NOT NULL, "
                       "elapsedDays INTEGER, stability REAL, difficulty REAL, due TEXT)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS idx_review_log_question ON review_log(questionId)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS mastered_question (questionId TEXT PRIMARY KEY, "
                       "subjectId TEXT, chapterId TEXT, parentId TEXT, examid TEXT, sequence INTEGER, "
                       "fuleixingid TEXT, masteredOn TEXT)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS generated_paper (paperId TEXT PRIMARY KEY, "
                       "createdOn TEXT, seed INTEGER)"),
    };
    for (const QString &statement : statements) {
        QSqlQuery query(db);
        if (!query.exec(statement))
            return false;
    }
    return true;
}
