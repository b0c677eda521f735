#pragma once

#include <QString>
#include <memory>
#include <vector>

class ExamPaper;
class ExamQuestion;

// The page of the search window. Its head is the designed one (style sheets
// and scripts); its text box holds every hit's question and answer HTML in
// result order.
//
// The window keeps one page for all its searches: the head with an empty text
// box, into which page functions put a search's count line and first block of
// hits, and append further blocks as the reader nears the end.
class SearchResultPage
{
public:
    // Hits rendered and shown at a time.
    static const int hitsPerBlock;

    // The whole page of results at once, more than a hundred hits grouped in
    // plain blocks of a hundred. appDirSlash is the folder of the page files
    // followed by "/"; the files that the page loads are addressed from it.
    static QString build(const ExamPaper &results, const QString &appDirSlash);
    // The page the window keeps: the designed head and an empty text box.
    static QString shell(const QString &appDirSlash);

    // A block of hits: their HTML in a plain div.
    static QString block(const std::vector<std::unique_ptr<ExamQuestion>> &questions);
    // The line above the hits: "共 N 题", or for no hit the message naming the
    // keyword (escaped: the user typed it).
    static QString countLine(int hits, const QString &keyword);
    // The line above the hits while the search goes on: how many it has found.
    static QString runningCountLine(int found);
    // A line saying why there are no results (a refused keyword, a failed query).
    static QString messageLine(const QString &message);

    // Script replacing the text box's content with the line and the first
    // block; more tells whether further blocks wait. Evaluates to false when
    // the page cannot take it yet.
    static QString showScript(const QString &line, const QString &blockHtml, bool more);
    // Script appending a block after the hits shown.
    static QString appendScript(const QString &blockHtml, bool more);
    // Script replacing the count line above the hits shown (the running
    // count by a later one, or by the final one).
    static QString countScript(const QString &line, bool more);
    // Script evaluating to true while the end of the hits is within about a
    // screen of the view.
    static QString nearEndScript();
};
