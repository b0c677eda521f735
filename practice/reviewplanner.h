#pragma once

#include "memorymodel.h"
#include "reviewcard.h"

#include <QDate>
#include <QStringList>
#include <QVector>

// Chooses and orders the questions of the wrong-question book to review on one
// day.
//
// Order ("what matters most first"): the questions most likely forgotten by
// today come first, that is lowest chance of recall first; a question never
// reviewed counts as chance 0. Ties go to more lapses, then the earlier due
// day, then the question id, so the order never depends on how rows were read.
//
// Without an exam date ahead the day's list is every question due by today.
// With one, the book is spread over the days left: at least
// ceil(book size / days left) questions a day, filled up after the due ones
// with those due soonest, so that every question of the book is seen before
// the exam; the reviews already done today count towards that share. Due
// questions are never held back. A question reviewed today is not listed
// again that day, however it was answered.
class ReviewPlanner
{
public:
    ReviewPlanner(const MemoryModel &model, const QDate &today, const QDate &examDate);

    // Days from today to the exam; -1 without an exam date today or later.
    int daysLeft() const;

    // The ids to review today, in order. book holds the cards of the questions
    // in the book that are not stubborn.
    QStringList todaysReviews(const QVector<ReviewCard> &book) const;

    bool isDue(const ReviewCard &card) const;
    bool reviewedToday(const ReviewCard &card) const;

private:
    bool moreUrgent(const ReviewCard &a, const ReviewCard &b) const;

    // A copy: callers pass a temporary model.
    const MemoryModel m_model;
    QDate m_today;
    QDate m_examDate;
};
