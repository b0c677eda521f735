#pragma once

#include "attemptsnapshot.h"
#include "progressclock.h"
#include "retrybackoff.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <functional>

class AttemptWriter;
class DebouncedSaver;

// Keeps the unfinished run of an exam window in data.db. The window tells it
// what happens (answers, flags, moves, clock ticks) and hands it a function
// that captures the run; the controller writes the capture on its writer
// thread at most one second after a change, so a killed program loses at most
// the last second. A failed save is tried again, sooner or later, until one
// succeeds; meanwhile saveProblem() says so. It never shows anything itself.
class AttemptController : public QObject
{
    Q_OBJECT
public:
    // Saves at most this long after an answer, flag or move.
    static const int changeDelayMs = 1000;
    // The time left alone is saved this often while the candidate thinks.
    static const int clockDelayMs = 5000;
    // After a failed save the next try follows this late, the delay doubling
    // with each failure up to the longest.
    static const int firstRetryDelayMs = 1000;
    static const int longestRetryDelayMs = 16000;

    // db is the program's connection (reads and the closing writes), dbPath the
    // file the writer opens for itself.
    AttemptController(QSqlDatabase db, const QString &dbPath, const ProgressClock *clock = ProgressClock::system(),
                      QObject *parent = nullptr);
    ~AttemptController() override;

    // The stored unfinished run of paperId in mode, if there is one.
    bool unfinished(const QString &paperId, int mode, AttemptSnapshot *out) const;

    // Starts keeping the run of paperId in mode: capture() returns its state
    // whenever a save is due (a snapshot without paper id when there is
    // nothing to keep). The first save follows at once, so that the start
    // time is kept.
    void begin(const QString &paperId, int mode, std::function<AttemptSnapshot()> capture);
    bool active() const { return static_cast<bool>(m_capture); }

    // An answer, flag, move or section choice.
    void changed();
    // The countdown ticked.
    void clockTicked();

    // The candidate keeps the run for later: its state is written now, and
    // nothing more after.
    void keepForLater();
    // The candidate gives the run up: its row is removed.
    void discard();
    // Stops saving without touching the row: the hand-in closes it in its own
    // transaction (AttemptStore::remove). Returns once no write is under way.
    void stop();

    // The last write failed: the reason, else empty.
    QString lastError() const { return m_lastError; }
    // While saves fail, the sentence the window shows; else empty.
    QString saveProblem() const;

signals:
    // Saves began to fail, failed for another reason, or work again (empty).
    void saveProblemChanged(const QString &problem);

private:
    void save();
    void written(bool saved, const QString &reason);

    QSqlDatabase m_db;
    const ProgressClock *m_clock;
    AttemptWriter *m_writer = nullptr;
    DebouncedSaver *m_saver = nullptr;
    std::function<AttemptSnapshot()> m_capture;
    QString m_paperId;
    int m_mode = 0;
    QString m_lastError;
    RetryBackoff m_retries{firstRetryDelayMs, longestRetryDelayMs};
};
