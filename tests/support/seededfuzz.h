#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <random>

namespace TestSupport {

// Seeded random inputs for fuzz tests. The seed is TESSERA_FUZZ_SEED when set,
// else a fixed one, so every run of the suite tries the same inputs and a
// failure names the seed and the input number that repeat it. A run is
// bounded: it stops after a number of inputs or a time budget, whichever
// comes first.
class SeededFuzz
{
public:
    SeededFuzz(int inputs, int budgetMs);

    // Whether another input is due; counts it.
    bool next();
    // Inputs run so far.
    int count() const { return m_count; }
    quint32 seed() const { return m_seed; }

    int number(int low, int high);
    bool chance(int percent);
    QString pick(const QStringList &choices);

    // Text of up to maxLength parts, each a token, a printable character or
    // an odd code unit (NUL, control characters, a lone surrogate, U+FFFF).
    QString text(int maxLength, const QStringList &tokens);
    // original after one to four random edits: a token inserted, a span
    // deleted, doubled or cut off, a character replaced by an odd one.
    QString mutate(const QString &original, const QStringList &tokens);

    // Seed, input number and the input in quotes, every odd code unit written
    // \uXXXX, for a failure message that repeats the case.
    QString describe(const QString &input) const;

private:
    QChar oddCharacter();

    quint32 m_seed;
    std::mt19937 m_random;
    int m_inputs;
    int m_budgetMs;
    int m_count = 0;
    QElapsedTimer m_clock;
};

} // namespace TestSupport
