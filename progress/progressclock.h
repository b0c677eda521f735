#pragma once

#include <QDateTime>

// The time the attempt and statistics code reads, injected so that tests step
// it instead of sleeping.
class ProgressClock
{
public:
    virtual ~ProgressClock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
    qint64 msecs() const { return now().toMSecsSinceEpoch(); }

    // The wall clock, for the program.
    static const ProgressClock *system();
};
