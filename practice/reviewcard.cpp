#include "reviewcard.h"

int ReviewCard::review(const MemoryModel &model, ReviewGrade grade, const QDate &today)
{
    if (isNew())
        memory = model.initial(grade);
    else
        memory = model.next(memory, qMax<qint64>(0, lastReview.daysTo(today)), grade);
    const int interval = model.intervalDays(memory.stability);
    lastReview = today;
    due = today.addDays(interval);
    reviews += 1;
    if (grade == ReviewGrade::Again)
        lapses += 1;
    return interval;
}

double ReviewCard::recallOn(const MemoryModel &model, const QDate &day) const
{
    if (isNew() || !MemoryModel::usable(memory))
        return 0;
    return model.retrievability(qMax<qint64>(0, lastReview.daysTo(day)), memory.stability);
}
