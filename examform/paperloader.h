#pragma once

#include "exampaper.h"
#include "subjectscope.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantMap>
#include <memory>

class QSqlRecord;

// Builds the in-memory paper of one practice run from the database and has
// every question rendered once. All ids are bound into the statements; the
// per-question look-ups reuse one prepared statement each.
class PaperLoader
{
public:
    // mode is the practice status (0 formal paper, 3 wrong-question practice,
    // 5 favourites practice) and the renderers' mode; appDirSlash the
    // folder of the question media (AppPaths::dataDir) followed by "/"; a
    // favourites practice keeps to the questions in scope.
    PaperLoader(QSqlDatabase db, int mode, const QString &appDirSlash,
                const SubjectScope &scope = SubjectScope());

    // The loader for the status given at construction; null for any other
    // status and for a formal paper without id.
    std::unique_ptr<ExamPaper> load(const QString &id);

    std::unique_ptr<ExamPaper> loadFormalPaper(const QString &paperId);
    std::unique_ptr<ExamPaper> loadWrongPractice(const QString &paperId);
    std::unique_ptr<ExamPaper> loadFavourites(const QString &categoryId);

    // The paper id inside the key the home page hands over for a wrong-question
    // practice ([{"itype":"2","paperid":"7"}]). Text that is not such a JSON
    // array is taken as the paper id itself.
    static QString practicePaperId(const QString &practiceKey);

private:
    enum class RowKind { FormalTop, FormalLeaf, Practice };

    bool selectQuestion(const QString &qid);
    void fillQuestion(ExamQuestion &question, const QSqlRecord &row, RowKind kind) const;
    QString relatedTitle(const QString &relatedId);
    // Fills a practice section from the questions sql selects; a query that
    // fails leaves the section empty.
    void loadPracticeQuestions(ExamPaper &paper, PaperSection &section, const QString &sql,
                               const QVariantMap &values, int &seq, int &number);

    QSqlDatabase m_db;
    int m_mode;
    QString m_appDirSlash;
    SubjectScope m_scope;
    QSqlQuery m_questionById;
    QSqlQuery m_relatedById;
    bool m_questionPrepared = false;
    bool m_relatedPrepared = false;
};
