#pragma once

#include <QString>

class ExamPaper;

// The page of the search window: the common head (style sheets and scripts),
// then every hit's question and answer HTML in result order; more than a
// hundred hits are grouped in plain blocks of a hundred, for the layout's sake.
//
// A large page can also be shown in steps: the page with its first block, then
// each further block appended at the end of the text box. The document reached
// that way is the one the whole page gives.
class SearchResultPage
{
public:
    // appDirSlash is the folder of the page files followed by "/"; the files
    // that the page loads are addressed from it.
    static QString build(const ExamPaper &results, const QString &appDirSlash);

    // The page holding only the first block of hits; for a hundred hits or
    // fewer, the whole page.
    static QString buildFirstBlock(const ExamPaper &results, const QString &appDirSlash);
    // How many blocks the page has (one when the hits are not grouped).
    static int blockCount(const ExamPaper &results);
    // The HTML of block index, its plain wrapper included (index from 1 up to
    // blockCount - 1: the blocks after the first).
    static QString block(const ExamPaper &results, int index);
    // Script appending blockHtml at the end of the page's text box; evaluates
    // to false, appending nothing, while the page is still loading.
    static QString appendScript(const QString &blockHtml);
};
