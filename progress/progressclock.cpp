#include "progressclock.h"

const ProgressClock *ProgressClock::system()
{
    static const ProgressClock wallClock;
    return &wallClock;
}
