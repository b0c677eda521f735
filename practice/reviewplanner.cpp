#include "reviewplanner.h"

#include <algorithm>

ReviewPlanner::ReviewPlanner(const MemoryModel &model, const QDate &today, const QDate &examDate)
    : m_model(model)
    , m_today(today)
    , m_examDate(examDate)
{
}

int ReviewPlanner::daysLeft() const
{
    if (!m_examDate.isValid() || m_examDate < m_today)
        return -1;
    return static_cast<int>(m_today.daysTo(m_examDate));
}

bool ReviewPlanner::isDue(const ReviewCard &card) const
{
    return card.isNew() || !card.due.isValid() || card.due <= m_today;
}

bool ReviewPlanner::moreUrgent(const ReviewCard &a, const ReviewCard &b) const
{
    const double recallA = a.recallOn(m_model, m_today);
    const double recallB = b.recallOn(m_model, m_today);
    if (recallA != recallB)
        return recallA < recallB;
    if (a.lapses != b.lapses)
        return a.lapses > b.lapses;
    if (a.due != b.due)
        return a.due < b.due;
    return a.questionId < b.questionId;
}

bool ReviewPlanner::reviewedToday(const ReviewCard &card) const
{
    return !card.isNew() && card.lastReview == m_today;
}

QStringList ReviewPlanner::todaysReviews(const QVector<ReviewCard> &book) const
{
    QVector<ReviewCard> due;
    QVector<ReviewCard> later;
    int doneToday = 0;
    for (const ReviewCard &card : book) {
        if (reviewedToday(card))
            ++doneToday;
        else
            (isDue(card) ? due : later).append(card);
    }
    std::sort(due.begin(), due.end(), [this](const ReviewCard &a, const ReviewCard &b) { return moreUrgent(a, b); });

    // The day's share counts the reviews already done today.
    int count = due.size();
    const int days = daysLeft();
    if (days > 0) {
        const int quota = (book.size() + days - 1) / days;
        count = qMax(count, qMin(quota, book.size()) - doneToday);
    }
    // Pulled forward: the soonest due first, then as the urgency order says.
    std::sort(later.begin(), later.end(), [this](const ReviewCard &a, const ReviewCard &b) {
        return a.due != b.due ? a.due < b.due : moreUrgent(a, b);
    });

    QStringList ids;
    for (const ReviewCard &card : due)
        ids << card.questionId;
    for (int i = 0; ids.size() < count && i < later.size(); ++i)
        ids << later.at(i).questionId;
    return ids;
}
