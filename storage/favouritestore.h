#pragma once

#include "writeoutcome.h"

#include <QString>

// Favourites: exam_question.isCollect and the exam_Collect rows, kept in step.
class FavouriteStore
{
public:
    // Makes the question a favourite (one exam_Collect row with its category,
    // isCollect 1) or clears it (no row, isCollect 0), in one transaction.
    // Changes nothing when a statement fails.
    static WriteOutcome setFavourite(const QString &questionId, const QString &category, bool favourite);
};
