#pragma once

// The pauses between tries of something that keeps failing: the first pause
// is first, each next one twice the last, never more than longest; a success
// starts again from the first.
class RetryBackoff
{
public:
    RetryBackoff(int firstMs, int longestMs);

    // A try failed: the pause before the next one.
    int failed();
    // A try succeeded.
    void succeeded() { m_lastMs = 0; }
    bool failing() const { return m_lastMs > 0; }

private:
    int m_firstMs;
    int m_longestMs;
    int m_lastMs = 0;
};
