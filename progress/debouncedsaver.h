#pragma once

#include "progressclock.h"

#include <QObject>
#include <QTimer>
#include <functional>

// Collects changes and saves them once, no later than the time each change
// allows: a stream of changes (a click every half second) is still saved
// within the first change's allowance instead of being put off for ever.
class DebouncedSaver : public QObject
{
    Q_OBJECT
public:
    explicit DebouncedSaver(std::function<void()> save, const ProgressClock *clock = ProgressClock::system(),
                            QObject *parent = nullptr);

    // Something changed: a save follows within withinMs.
    void changed(int withinMs = 1000);
    bool pending() const { return m_deadline >= 0; }

    // Saves when the pending save is due; the saver's timer calls it.
    void poll();
    // Forgets the pending save.
    void cancel();

private:
    void arm();
    void saveNow();

    std::function<void()> m_save;
    const ProgressClock *m_clock;
    QTimer m_timer;
    qint64 m_deadline = -1;
};
