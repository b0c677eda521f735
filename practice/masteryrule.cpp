#include "masteryrule.h"

#include "reviewcard.h"

QDate MasteryRule::horizon(const QDate &today, const QDate &examDate)
{
    if (examDate.isValid() && examDate >= today)
        return examDate;
    return today.addDays(defaultHorizonDays);
}

bool MasteryRule::isMastered(const ReviewCard &card, const QDate &today, const QDate &examDate)
{
    return !card.isNew() && card.due.isValid() && card.due > horizon(today, examDate);
}

bool MasteryRule::isStubborn(const ReviewCard &card)
{
    return card.lapses >= stubbornLapses;
}
