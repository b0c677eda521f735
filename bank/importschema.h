#pragma once

#include <QSqlDatabase>

// The tables that remember where imported papers and questions came from, so
// that importing an updated file updates its paper in place:
//   import_paper(paperId, subjectId, sourceName, format, importedAt): one row
//     per imported paper; sourceName is the file's name, which with the
//     subject recognises the paper again;
//   import_question(paperId, questionKey, questionId, contentHash): the stable
//     key of each of the paper's questions (see QuestionKeys), the row it is
//     stored in, and a digest of what was stored.
// Additive: new tables only, created when missing.
namespace ImportSchema {

bool apply(QSqlDatabase db);

} // namespace ImportSchema
