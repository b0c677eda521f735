#include "memorymodel.h"

#include <algorithm>
#include <cmath>

namespace {

const double minStability = 0.001;
const double maxStability = 36500;

double clampDifficulty(double difficulty)
{
    return std::clamp(difficulty, 1.0, 10.0);
}

double clampStability(double stability)
{
    return std::clamp(stability, minStability, maxStability);
}

int gradeValue(ReviewGrade grade)
{
    return static_cast<int>(grade);
}

} // namespace

const MemoryModel::Weights MemoryModel::defaultWeights = {
    0.212, 1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001, 1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};

MemoryModel::MemoryModel(double desiredRetention, const Weights &weights)
    : m_w(weights)
    , m_retention(std::clamp(desiredRetention, 0.5, 0.99))
    , m_decay(weights[20])
    // Chosen so that the chance of recall is 90% after exactly S days.
    , m_factor(std::pow(0.9, -1.0 / weights[20]) - 1.0)
{
}

bool MemoryModel::usable(const MemoryState &state)
{
    return std::isfinite(state.stability) && std::isfinite(state.difficulty) && state.stability > 0
        && state.difficulty > 0;
}

double MemoryModel::initialDifficulty(ReviewGrade grade) const
{
    return m_w[4] - std::exp(m_w[5] * (gradeValue(grade) - 1)) + 1;
}

MemoryState MemoryModel::initial(ReviewGrade grade) const
{
    return {clampStability(m_w[static_cast<size_t>(gradeValue(grade) - 1)]),
            clampDifficulty(initialDifficulty(grade))};
}

double MemoryModel::retrievability(double elapsedDays, double stability) const
{
    if (stability <= 0)
        return 0;
    return std::pow(1.0 + m_factor * std::max(0.0, elapsedDays) / stability, -m_decay);
}

int MemoryModel::intervalDays(double stability) const
{
    const double days = stability / m_factor * (std::pow(m_retention, -1.0 / m_decay) - 1.0);
    if (!std::isfinite(days))
        return maxInterval;
    return static_cast<int>(std::clamp(std::round(days), 1.0, double(maxInterval)));
}

double MemoryModel::nextDifficulty(double difficulty, ReviewGrade grade) const
{
    const double change = -m_w[6] * (gradeValue(grade) - 3);
    // The change shrinks as difficulty nears 10, and the result is pulled a
    // little towards the difficulty of a first "Easy" (unclamped, as published).
    const double damped = difficulty + change * (10.0 - difficulty) / 9.0;
    return clampDifficulty(m_w[7] * initialDifficulty(ReviewGrade::Easy) + (1.0 - m_w[7]) * damped);
}

double MemoryModel::recallStability(const MemoryState &state, double recall, ReviewGrade grade) const
{
    const double hardPenalty = grade == ReviewGrade::Hard ? m_w[15] : 1.0;
    const double easyBonus = grade == ReviewGrade::Easy ? m_w[16] : 1.0;
    const double growth = std::exp(m_w[8]) * (11.0 - state.difficulty) * std::pow(state.stability, -m_w[9])
        * (std::exp(m_w[10] * (1.0 - recall)) - 1.0) * hardPenalty * easyBonus;
    return state.stability * (growth + 1.0);
}

double MemoryModel::forgetStability(const MemoryState &state, double recall) const
{
    const double afterLapse = m_w[11] * std::pow(state.difficulty, -m_w[12])
        * (std::pow(state.stability + 1.0, m_w[13]) - 1.0) * std::exp(m_w[14] * (1.0 - recall));
    // A lapse never leaves the memory stronger than a same-day "Again" would.
    return std::min(afterLapse, state.stability / std::exp(m_w[17] * m_w[18]));
}

double MemoryModel::sameDayStability(double stability, ReviewGrade grade) const
{
    double factor = std::exp(m_w[17] * (gradeValue(grade) - 3 + m_w[18])) * std::pow(stability, -m_w[19]);
    // A success on the same day never lowers stability; "Hard" (right after a
    // change of mind) is a success, only "Again" is a failure.
    if (grade >= ReviewGrade::Hard)
        factor = std::max(factor, 1.0);
    return stability * factor;
}

MemoryState MemoryModel::next(const MemoryState &state, int elapsedDays, ReviewGrade grade) const
{
    if (!usable(state))
        return initial(grade);
    const MemoryState current{clampStability(state.stability), clampDifficulty(state.difficulty)};
    double stability;
    if (elapsedDays <= 0) {
        stability = sameDayStability(current.stability, grade);
    } else {
        const double recall = retrievability(elapsedDays, current.stability);
        stability = grade == ReviewGrade::Again ? forgetStability(current, recall)
                                                : recallStability(current, recall, grade);
    }
    return {clampStability(stability), nextDifficulty(current.difficulty, grade)};
}
