#pragma once

#include "historystore.h"

#include <QString>
#include <QVector>

class StatisticsFigures;

// The home form's 成绩记录 and 学习统计 pages. Both call the home form through
// "myjstest": openHistoryAttempt(id) opens a hand-in for review, zhentiJS()
// the paper list (from the empty pages).
class ProgressPages
{
public:
    // Every hand-in, newest first, each with its review link.
    static QString historyPage(const QVector<HistoryRecord> &records);
    // The charts of figures, drawn in the page by flot (js/jquery.flot.js
    // beside the program); the figures travel as one JSON object.
    static QString statisticsPage(const StatisticsFigures &figures);

    // The text that says there is nothing to show yet.
    static QString emptyText();
};
