#pragma once

#include "paperdrawer.h"

#include <QDate>
#include <QStringList>
#include <QVector>

// "每日一练": a short practice of today's questions. The day's due reviews come
// first; the rest are drawn at random from the subject's questions, the same
// ones all day long (the draw is seeded by the day and the subject).
class DailyPractice
{
public:
    static constexpr int size = 10;

    // Up to size question ids: due first, in their order, then drawn ones;
    // a question is never listed twice.
    static QStringList pick(const QStringList &due, const QVector<DrawCandidate> &bank, const QDate &today,
                            const QString &subjectId);
};
