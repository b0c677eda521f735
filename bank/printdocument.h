#pragma once

#include <QSqlDatabase>
#include <QString>

class ExamPaper;

// The printable page of a paper or of the wrong-question book, made of the
// question blocks the exam window shows: section headings, every question
// whole on one page (page breaks fall between questions, never inside one),
// and with answers the reference answer and explanation under each.
class PrintDocument
{
public:
    // appDirSlash: the application directory followed by "/", for the style
    // sheets and pictures beside the program.
    PrintDocument(QSqlDatabase db, const QString &appDirSlash);

    QString paper(const QString &paperId, bool withAnswers);
    // Every paper's wrong questions of the given subject ("" for all), under
    // the paper's name, with answers.
    QString wrongBook(const QString &subjectId);

    // The body of one loaded paper.
    static QString paperBody(const ExamPaper &paper, bool withAnswers);

private:
    QString page(const QString &title, const QString &body) const;

    QSqlDatabase m_db;
    QString m_appDirSlash;
};
