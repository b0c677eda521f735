#include "clock.h"

namespace {

class SystemClock : public Clock
{
public:
    QDate today() const override { return QDate::currentDate(); }
};

} // namespace

const Clock &Clock::system()
{
    static const SystemClock clock;
    return clock;
}
