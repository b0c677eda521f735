#include "seededfuzz.h"

namespace TestSupport {

namespace {

quint32 chosenSeed()
{
    bool set = false;
    const quint32 seed = qEnvironmentVariable("TESSERA_FUZZ_SEED").toUInt(&set);
    return set ? seed : 20240611u;
}

} // namespace

SeededFuzz::SeededFuzz(int inputs, int budgetMs)
    : m_seed(chosenSeed())
    , m_random(m_seed)
    , m_inputs(inputs)
    , m_budgetMs(budgetMs)
{
    m_clock.start();
}

bool SeededFuzz::next()
{
    if (m_count >= m_inputs || m_clock.elapsed() > m_budgetMs)
        return false;
    ++m_count;
    return true;
}

int SeededFuzz::number(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(m_random);
}

bool SeededFuzz::chance(int percent)
{
    return number(0, 99) < percent;
}

QString SeededFuzz::pick(const QStringList &choices)
{
    return choices.isEmpty() ? QString() : choices.at(number(0, choices.size() - 1));
}

QChar SeededFuzz::oddCharacter()
{
    static const ushort odd[] = {0x0000, 0x0001, 0x0008, 0x001f, 0x007f, 0x00a0, 0x2028,
                                 0xd800, 0xdc00, 0xfeff, 0xffff, '"', '\\', '\'', '<', '|'};
    if (chance(50))
        return QChar(odd[number(0, int(sizeof odd / sizeof *odd) - 1)]);
    return QChar(ushort(number(0x20, 0x7e)));
}

QString SeededFuzz::text(int maxLength, const QStringList &tokens)
{
    QString result;
    const int parts = number(0, maxLength);
    for (int i = 0; i < parts; ++i) {
        if (!tokens.isEmpty() && chance(40))
            result += pick(tokens);
        else if (chance(20))
            result += QChar(ushort(number(0x4e00, 0x9fa5)));
        else
            result += oddCharacter();
    }
    return result;
}

QString SeededFuzz::mutate(const QString &original, const QStringList &tokens)
{
    QString result = original;
    const int edits = number(1, 4);
    for (int i = 0; i < edits; ++i) {
        const int at = number(0, result.size());
        const int span = number(0, qMax(0, result.size() - at));
        switch (number(0, 4)) {
        case 0:
            result.insert(at, pick(tokens));
            break;
        case 1:
            result.remove(at, span);
            break;
        case 2:
            result.insert(at, result.mid(at, span));
            break;
        case 3:
            result.truncate(at);
            break;
        default:
            if (at < result.size())
                result[at] = oddCharacter();
            break;
        }
    }
    return result;
}

QString SeededFuzz::describe(const QString &input) const
{
    // Every code unit outside printable ASCII as \uXXXX: the input can be
    // pasted back into a test row as it stands.
    QString quoted;
    for (const QChar c : input) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f && c != QLatin1Char('\\'))
            quoted += c;
        else
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return QStringLiteral("seed %1, input %2: \"%3\"").arg(m_seed).arg(m_count).arg(quoted);
}

} // namespace TestSupport
