#pragma once

#include <QDate>

// Where the scheduling logic learns the day. Logic takes a Clock instead of
// asking the system, so that a test can put it on any day.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;

    // The system's local calendar.
    static const Clock &system();
};

// A clock that stays on the day it is given.
class FixedClock : public Clock
{
public:
    explicit FixedClock(const QDate &day) : m_day(day) {}
    QDate today() const override { return m_day; }
    void setToday(const QDate &day) { m_day = day; }

private:
    QDate m_day;
};
