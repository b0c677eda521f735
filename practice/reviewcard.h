#pragma once

#include "memorymodel.h"

#include <QDate>
#include <QString>

// The review record of one question: its memory state, when it was last
// reviewed, when it is due, and how often it was reviewed and forgotten.
class ReviewCard
{
public:
    QString questionId;
    MemoryState memory;
    QDate lastReview;           // null until the first review
    QDate due;                  // null until the first review
    int reviews = 0;
    int lapses = 0;

    // Never reviewed (a question that entered the book before it had a card).
    bool isNew() const { return reviews == 0 || !lastReview.isValid(); }

    // Applies one review made on day today and returns the new interval in days.
    int review(const MemoryModel &model, ReviewGrade grade, const QDate &today);

    // Chance of recall on day; 0 for a card never reviewed.
    double recallOn(const MemoryModel &model, const QDate &day) const;
};
