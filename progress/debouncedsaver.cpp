#include "debouncedsaver.h"

DebouncedSaver::DebouncedSaver(std::function<void()> save, const ProgressClock *clock, QObject *parent)
    : QObject(parent)
    , m_save(std::move(save))
    , m_clock(clock)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DebouncedSaver::poll);
}

void DebouncedSaver::changed(int withinMs)
{
    const qint64 due = m_clock->msecs() + qMax(0, withinMs);
    // A later change never puts off a save an earlier one is owed.
    if (m_deadline < 0 || due < m_deadline) {
        m_deadline = due;
        arm();
    }
}

void DebouncedSaver::poll()
{
    if (!pending())
        return;
    if (m_clock->msecs() >= m_deadline)
        saveNow();
    else
        arm();
}

void DebouncedSaver::cancel()
{
    m_deadline = -1;
    m_timer.stop();
}

void DebouncedSaver::arm()
{
    m_timer.start(int(qBound<qint64>(0, m_deadline - m_clock->msecs(), 24 * 3600 * 1000)));
}

void DebouncedSaver::saveNow()
{
    cancel();
    m_save();
}
