#pragma once

#include <QDate>

class ReviewCard;

// When a question leaves the wrong-question book and when it is stubborn.
class MasteryRule
{
public:
    // Without an exam date ahead a question is mastered when memory is expected
    // to hold for more than this many days.
    static constexpr int defaultHorizonDays = 30;
    // So many lapses make a question stubborn: guessing again does not help.
    static constexpr int stubbornLapses = 8;

    // The last day the memory has to hold: the exam date when it is today or
    // later, otherwise today plus the default horizon.
    static QDate horizon(const QDate &today, const QDate &examDate);
    // After a successful review: the next review falls after the horizon.
    static bool isMastered(const ReviewCard &card, const QDate &today, const QDate &examDate);
    static bool isStubborn(const ReviewCard &card);
};
