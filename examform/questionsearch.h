#pragma once

#include "exampaper.h"
#include "subjectscope.h"

#include <QSqlDatabase>
#include <QString>
#include <memory>

// Keyword search over the question bank: the top-level questions whose title
// contains the keyword, each composite among them replaced by its parts, every
// hit rendered for the result page.
//
// The keyword is matched as typed: a substring of the title, ASCII letters in
// any case (SQLite's LIKE), and "%" and "_" stand for themselves, so "50%"
// finds "50%" and not "50 anything".
class QuestionSearch
{
public:
    // The LIKE pattern (with "\" as escape character) of titles containing
    // keyword literally.
    static QString containsPattern(const QString &keyword);

    // Runs the search and returns the hits in a new paper: its questions in
    // result order, each already rendered with renderSearch(renderMode,
    // appDirSlash, keyword), and questionCount/askCount one per hit. Only
    // questions in scope are searched. A failing statement yields a paper
    // without questions.
    static std::unique_ptr<ExamPaper> run(QSqlDatabase db, const QString &keyword, int renderMode,
                                          const QString &appDirSlash,
                                          const SubjectScope &scope = SubjectScope());
};
