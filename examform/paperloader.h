#pragma once

#include "exampaper.h"
#include "subjectscope.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>
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
    // status and for a formal paper without id. Status 3 takes either a
    // wrong-question practice key or a question-list key.
    std::unique_ptr<ExamPaper> load(const QString &id);

    std::unique_ptr<ExamPaper> loadFormalPaper(const QString &paperId);
    std::unique_ptr<ExamPaper> loadWrongPractice(const QString &paperId);
    std::unique_ptr<ExamPaper> loadFavourites(const QString &categoryId);
    // A practice of the given questions under the given title: one section per
    // category, categories in the order of their first question, questions in
    // list order. Unknown ids and repeats are passed over; a case-study stem
    // brings its parts.
    std::unique_ptr<ExamPaper> loadQuestionList(const QString &title, const QStringList &ids);

    // The paper id inside the key the home page hands over for a wrong-question
    // practice ([{"itype":"2","paperid":"7"}]). Text that is not such a JSON
    // array is taken as the paper id itself.
    static QString practicePaperId(const QString &practiceKey);

    // The key that opens a practice of a list of questions (status 3): a JSON
    // object {"title":"今日复习","ids":["q1","q2"]}.
    static QString questionListKey(const QString &title, const QStringList &ids);
    // Reads such a key; false for any other text.
    static bool readQuestionListKey(const QString &key, QString *title, QStringList *ids);

private:
    enum class RowKind { FormalTop, FormalLeaf, Practice };

    bool selectQuestion(const QString &qid);
    void fillQuestion(ExamQuestion &question, const QSqlRecord &row, RowKind kind) const;
    QString relatedTitle(const QString &relatedId);
    // Fills a practice section from the questions sql selects; a query that
    // fails leaves the section empty.
    void loadPracticeQuestions(ExamPaper &paper, PaperSection &section, const QString &sql,
                               const QVariantMap &values, int &seq, int &number);
    void appendPracticeQuestion(ExamPaper &paper, PaperSection &section, const QSqlRecord &row,
                                int &seq, int &number);
    // The rows of the listed questions in order, stems replaced by their parts.
    QVector<QSqlRecord> questionListRows(const QStringList &ids);

    QSqlDatabase m_db;
    int m_mode;
    QString m_appDirSlash;
    SubjectScope m_scope;
    QSqlQuery m_questionById;
    QSqlQuery m_relatedById;
    bool m_questionPrepared = false;
    bool m_relatedPrepared = false;
};
