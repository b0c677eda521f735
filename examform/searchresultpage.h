#pragma once

#include <QString>

class ExamPaper;

// The page of the search window: the common head (style sheets and scripts),
// then every hit's question and answer HTML in result order; more than a
// hundred hits are grouped in plain blocks of a hundred, for the layout's sake.
class SearchResultPage
{
public:
    // appDirSlash is the application directory followed by "/"; the files
    // beside the program are addressed from it.
    static QString build(const ExamPaper &results, const QString &appDirSlash);
};
