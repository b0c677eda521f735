#pragma once

#include "homeaction.h"
#include "notestore.h"

#include <QString>
#include <QVector>

// The HTML of the home form's five pages, read fresh from the question bank on
// every call. Each builder returns a null text when the database is not open,
// so that the form keeps the page it shows.
class HomePages
{
public:
    // The current subject's name (or the "no subject chosen" line) with a
    // "切换科目" link when the bank holds several, the four tiles and the row
    // of actions (none: no row).
    static QString startPage(const HomeActions &actions = HomeActions());
    // Every paper with its right and wrong counts.
    static QString paperList();
    // The papers whose type has dtype 1, in their sort order.
    static QString mockPaperList();
    // The papers of type "sjlx" that have wrongly answered questions.
    static QString wrongAnswerList();
    // The question categories that have favourites, with their number.
    static QString favouritesList();

    // The papers drawn by the program, with their counts and a delete link,
    // under a link that draws a new one.
    static QString generatedPaperList();
    // The papers imported from question files, with their counts and a
    // delete link, under a link that imports another.
    static QString importedPaperList();
    // The stubborn questions of the book with their answers and
    // explanations, and a link to practise them.
    static QString stubbornList();
    // The mastered questions with the day each was mastered and its next
    // review, and a link to practise them.
    static QString masteredList();

    // 我的笔记: the subject's notes holding every word of words (all of
    // them for none).
    static QString notesList(const QString &words = QString());
    // The page of those entries: a search box holding words, then per note
    // the starts of its question and of its text and its date, each opening
    // its question in practice. Notes are the user's plain text.
    static QString notesPage(const QVector<NoteEntry> &entries, const QString &words);

    // The id that opens the wrong-question practice of one paper: a one-element
    // JSON list, e.g. [{"itype":"2","paperid":"7"}].
    static QString wrongPracticeId(const QString &paperId);

private:
    static QString removablePaperList(const QString &idsQuery, const QString &removeSlot, const QString &tools);
};
