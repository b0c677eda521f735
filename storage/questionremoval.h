#pragma once

#include <QString>
#include <QStringList>

class SqlTransaction;

// Takes questions out of the bank with everything the user's records hold
// about them, so that no list shows a row whose question is gone. Works in
// sets: an imported paper may hold tens of thousands of questions.
class QuestionRemoval
{
public:
    // The questions among ids that no paper but exceptPaperId lists (a drawn
    // paper may hold imported questions: those must stay).
    static bool unlisted(SqlTransaction &group, const QStringList &ids, const QString &exceptPaperId,
                         QStringList *result);
    // Deletes the questions, their book and mastered rows, favourites, review
    // cards and log, notes and import keys.
    static bool remove(SqlTransaction &group, const QStringList &ids);
};
