#pragma once

#include <array>

// How a review went, on the model's four-point scale.
enum class ReviewGrade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// What the model knows of one question's memory: stability S (days until the
// chance of recall falls to 90%) and difficulty D in [1, 10].
struct MemoryState
{
    double stability = 0;
    double difficulty = 0;
};

// The FSRS-6 memory model with its published default parameters: the state
// after each review, the chance of recall after some days and the interval at
// which that chance falls to the desired retention.
class MemoryModel
{
public:
    using Weights = std::array<double, 21>;
    static const Weights defaultWeights;
    static constexpr int maxInterval = 36500;

    explicit MemoryModel(double desiredRetention = 0.9, const Weights &weights = defaultWeights);

    // The state after the first review of a question.
    MemoryState initial(ReviewGrade grade) const;
    // The state after a review elapsedDays after the previous one; 0 days is a
    // review on the same day. An unusable state (from odd stored data) is taken
    // as no state: the review counts as the first.
    MemoryState next(const MemoryState &state, int elapsedDays, ReviewGrade grade) const;
    // Chance of recall after elapsedDays at the given stability.
    double retrievability(double elapsedDays, double stability) const;
    // Days until the chance of recall falls to the desired retention, rounded,
    // between 1 and maxInterval.
    int intervalDays(double stability) const;

    static bool usable(const MemoryState &state);

private:
    double initialDifficulty(ReviewGrade grade) const;
    double nextDifficulty(double difficulty, ReviewGrade grade) const;
    double recallStability(const MemoryState &state, double recall, ReviewGrade grade) const;
    double forgetStability(const MemoryState &state, double recall) const;
    double sameDayStability(double stability, ReviewGrade grade) const;

    Weights m_w;
    double m_retention;
    double m_decay;
    double m_factor;
};
