#pragma once

#include <QSqlDatabase>
#include <QString>

class ExamPaper;

// The printable page of a paper or of the wrong-question book, laid out for
// paper (PrintQuestion): white, compact, the paper's name on top, section
// headings, every question whole on one page (page breaks fall between
// questions, never inside one). Answers and explanations are left out,
// printed under each question, or gathered as a key at the end.
class PrintDocument
{
public:
    enum class Answers { None, AfterEach, KeyAtEnd };

    // appDirSlash: the application directory followed by "/", for the style
    // sheets and pictures beside the program.
    PrintDocument(QSqlDatabase db, const QString &appDirSlash);

    QString paper(const QString &paperId, Answers answers);
    QString paper(const QString &paperId, bool withAnswers)
    {
        return paper(paperId, withAnswers ? Answers::AfterEach : Answers::None);
    }
    // Every paper's wrong questions of the given subject ("" for all), under
    // the paper's name.
    QString wrongBook(const QString &subjectId, Answers answers = Answers::AfterEach);

    // The body of one loaded paper.
    static QString paperBody(const ExamPaper &paper, Answers answers, const QString &appDirSlash = QString());

private:
    QString page(const QString &title, const QString &body) const;

    QSqlDatabase m_db;
    QString m_appDirSlash;
};
