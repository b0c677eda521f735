#pragma once

#include <QString>

class ExamPaper;

// The results popup of a marked paper: score, time, and a table with one row
// per section.
class ResultsPage
{
public:
    // The HTML of the popup. A formal paper (examStatus 0) with a pass mark
    // says whether it is passed; examStatus 3 (wrong-question practice) offers
    // no "answer again".
    static QString build(const ExamPaper &paper, int examStatus);

    // Page calls that open the popups, with their text escaped for the
    // single-quoted script string it travels in.
    static QString resultsCall(const QString &html);
    static QString waitingCall();

    // Seconds as "hh:mm:ss" (3725 -> "01:02:05"; a whole day -> "24:00:00").
    static QString clockText(int seconds);

    // The time allowed as "hh:mm:ss", or "不限时" for an untimed paper.
    static QString examLength(const ExamPaper &paper);

    // Percent of right answers, rounded; 0 for a section without questions.
    static int ratePercent(int rightCount, int quantity);

    // "合格" or "不合格" against the paper's pass mark, with the mark; empty
    // for a paper without one.
    static QString passLine(const ExamPaper &paper);

    // The countdown label for the seconds left.
    static QString countdownLabel(int remainingSeconds);
};
