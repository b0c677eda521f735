#include "dailypractice.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <random>

QStringList DailyPractice::pick(const QStringList &due, const QVector<DrawCandidate> &bank, const QDate &today,
                                const QString &subjectId)
{
    QStringList picked;
    QSet<QString> taken;
    for (const QString &id : due) {
        if (picked.size() == size)
            return picked;
        if (!taken.contains(id)) {
            taken.insert(id);
            picked.append(id);
        }
    }

    // Sorted first, so that the day's draw does not depend on the order the
    // database returns the rows in.
    QStringList pool;
    for (const DrawCandidate &candidate : bank) {
        if (!taken.contains(candidate.id))
            pool.append(candidate.id);
    }
    pool.sort();
    pool.removeDuplicates();
    std::mt19937 random(static_cast<quint32>(qHash(subjectId)) ^ static_cast<quint32>(today.toJulianDay()));
    std::shuffle(pool.begin(), pool.end(), random);
    for (const QString &id : pool) {
        if (picked.size() == size)
            break;
        picked.append(id);
    }
    return picked;
}
