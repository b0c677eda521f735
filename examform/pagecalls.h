#pragma once

#include <QString>
#include <QStringList>

class ExamQuestion;

// The page-function calls the exam window runs in its question page and its
// answer card. Every value is escaped for a single-quoted script string, so no
// answer text can break a call. Card calls address the entry's own id (cardId).
class PageCalls
{
public:
    // Calls that restore a stored answer into a freshly built question page.
    static QStringList replay(const ExamQuestion &question);

    // The call that answers the question with the option of the given letter
    // index (0 for "A"); empty when the question takes no letter keys or has no
    // option with that letter.
    static QString keyAnswer(const ExamQuestion &question, int letterIndex);

    // Card entry shown as answered.
    static QString cardAnswered(const ExamQuestion &question);
    // Card entry flagged or unflagged by the user.
    static QString cardFlag(const ExamQuestion &question, bool flagged);
    // Card entry shown as current, answered or not answered.
    static QString cardCurrent(const ExamQuestion &question);
    static QString cardLeft(const ExamQuestion &question);
    // Card entry coloured by the marking status (0 right, 1 wrong, 2 not answered).
    static QString cardResult(const ExamQuestion &question);

    // Question page after marking: explanation shown and right/wrong mark set.
    static QStringList pageResult(const ExamQuestion &question);

    // The program's answer to a favourite button of the page: the button
    // changes only when the change was stored.
    static QString favouriteAnswer(const QString &questionId, int n, bool stored);

    // The calls run one after another by a single script.
    static QString sequence(const QStringList &calls);

    // name('a','b',...) with every argument escaped.
    static QString call(const QString &function, const QStringList &arguments);
};
