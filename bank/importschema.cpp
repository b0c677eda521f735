#include "importschema.h"

#include <QSqlQuery>

namespace ImportSchema {

bool apply(QSqlDatabase db)
{
    static const char *const statements[] = {
        "CREATE TABLE IF NOT EXISTS import_paper (paperId TEXT PRIMARY KEY, subjectId TEXT, "
        "sourceName TEXT, format TEXT, importedAt TEXT)",
        "CREATE TABLE IF NOT EXISTS import_question (paperId TEXT, questionKey TEXT, questionId TEXT, "
        "contentHash TEXT, PRIMARY KEY (paperId, questionKey))",
        "CREATE INDEX IF NOT EXISTS idx_import_paper_source ON import_paper(subjectId, sourceName)",
    };
    QSqlQuery query(db);
    for (const char *statement : statements) {
        if (!query.exec(QLatin1String(statement)))
            return false;
    }
    return true;
}

} // namespace ImportSchema
