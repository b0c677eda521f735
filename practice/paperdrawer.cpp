#include "paperdrawer.h"

#include <QHash>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

const double newQuestionWeight = 4;
const int maxCountedLapses = 8;
const int recencyDays = 30;
const double sameDayRecency = 0.1;

} // namespace

PaperDrawer::PaperDrawer(const QVector<DrawCandidate> &bank)
{
    for (const DrawCandidate &candidate : bank) {
        // A case study without parts asks nothing.
        if (candidate.id.isEmpty() || (candidate.caseStudy && candidate.partIds.isEmpty()))
            continue;
        m_bank << candidate;
    }
    // The draw must not depend on the order the rows were read in.
    std::sort(m_bank.begin(), m_bank.end(),
              [](const DrawCandidate &a, const DrawCandidate &b) { return a.id < b.id; });
    m_bank.erase(std::unique(m_bank.begin(), m_bank.end(),
                             [](const DrawCandidate &a, const DrawCandidate &b) { return a.id == b.id; }),
                 m_bank.end());
}

QVector<DrawCandidate> PaperDrawer::eligible(const QString &categoryId, const QStringList &chapterIds) const
{
    QVector<DrawCandidate> result;
    for (const DrawCandidate &candidate : m_bank) {
        if (candidate.categoryId == categoryId
            && (chapterIds.isEmpty() || chapterIds.contains(candidate.chapterId)))
            result << candidate;
    }
    return result;
}

int PaperDrawer::available(const QString &categoryId, const QStringList &chapterIds) const
{
    return eligible(categoryId, chapterIds).size();
}

QVector<DrawShortage> PaperDrawer::shortages(const DrawRequest &request) const
{
    // Two sections of one category draw from the same questions.
    QVector<DrawShortage> byCategory;
    QHash<QString, int> index;
    for (const BlueprintSection &section : request.sections) {
        if (section.count < 1)
            continue;
        if (!index.contains(section.categoryId)) {
            index.insert(section.categoryId, byCategory.size());
            byCategory << DrawShortage{section.categoryId, section.categoryName, 0,
                                       available(section.categoryId, request.chapterIds)};
        }
        byCategory[index.value(section.categoryId)].wanted += section.count;
    }
    QVector<DrawShortage> shortages;
    for (const DrawShortage &entry : byCategory) {
        if (entry.wanted > entry.available)
            shortages << entry;
    }
    return shortages;
}

double PaperDrawer::weight(const DrawCandidate &candidate, const QDate &today)
{
    if (!candidate.lastSeen.isValid())
        return newQuestionWeight;
    const double days = std::clamp<double>(candidate.lastSeen.daysTo(today), 0, recencyDays);
    const double recency = sameDayRecency + (1.0 - sameDayRecency) * days / recencyDays;
    return (1 + std::clamp(candidate.lapses, 0, maxCountedLapses)) * recency;
}

QVector<DrawnSection> PaperDrawer::draw(const DrawRequest &request) const
{
    QRandomGenerator random(request.seed);
    QSet<QString> used;
    QVector<DrawnSection> drawn;
    for (const BlueprintSection &section : request.sections) {
        if (section.count < 1)
            continue;
        // Weighted sampling without replacement: each question gets the key
        // -ln(u) / weight and the smallest keys win.
        QVector<QPair<double, DrawCandidate>> keyed;
        for (const DrawCandidate &candidate : eligible(section.categoryId, request.chapterIds)) {
            const double u = 1.0 - random.generateDouble(); // in (0, 1]
            if (used.contains(candidate.id))
                continue;
            const double w = request.preferWeakAndNew ? weight(candidate, request.today) : 1.0;
            keyed.append({-std::log(u) / w, candidate});
        }
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        DrawnSection result{section, {}};
        for (int i = 0; i < keyed.size() && result.questions.size() < section.count; ++i) {
            result.questions << keyed.at(i).second;
            used.insert(keyed.at(i).second.id);
        }
        if (!result.questions.isEmpty())
            drawn << result;
    }
    return drawn;
}
