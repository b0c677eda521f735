#include "retrybackoff.h"

#include <algorithm>

RetryBackoff::RetryBackoff(int firstMs, int longestMs)
    : m_firstMs(std::max(1, firstMs))
    , m_longestMs(std::max(m_firstMs, longestMs))
{
}

int RetryBackoff::failed()
{
    m_lastMs = m_lastMs == 0 ? m_firstMs : std::min(2 * m_lastMs, m_longestMs);
    return m_lastMs;
}
