#pragma once

#include <QString>

class ExamPaper;

// The results popup of a marked paper: score, time, and a table with one row
// per section.
class ResultsPage
{
public:
    // The HTML of the popup. examStatus 3 (wrong-question practice) shows an
    // unlimited exam length and offers no "answer again".
    static QString build(const ExamPaper &paper, int examStatus);

    // Page calls that open the popups, with their text escaped for the
    // single-quoted script string it travels in.
    static QString resultsCall(const QString &html);
    static QString waitingCall();

    // Seconds as "hh:mm:ss" on a 24-hour clock (3725 -> "01:02:05").
    static QString clockText(int seconds);

    // Whole percent of right answers; 0 for a section without questions.
    static int ratePercent(int rightCount, int quantity);

    // The countdown label for the seconds left.
    static QString countdownLabel(int remainingSeconds);
};
