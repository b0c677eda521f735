#pragma once

#include "debouncedsaver.h"
#include "writeoutcome.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <functional>

// Holds the notes typed on a page until they are stored: each change replaces
// its question's waiting text, and what waits is stored a moment after the
// first change (as answers are), when asked (leaving the page, closing) and
// when the keeper goes. A text that could not be stored keeps waiting and is
// tried again; nothing typed is dropped.
class NoteKeeper : public QObject
{
    Q_OBJECT
public:
    using Store = std::function<WriteOutcome(const QString &questionId, const QString &text)>;
    explicit NoteKeeper(Store store, const ProgressClock *clock = ProgressClock::system(), QObject *parent = nullptr);
    ~NoteKeeper() override;

    // How soon a change is stored, and how soon a failed store is tried again.
    static constexpr int saveWithinMs = 800;
    static constexpr int retryWithinMs = 5000;

    void edit(const QString &questionId, const QString &text);
    // Stores every waiting text now; false when one could not be stored.
    bool storeNow();
    bool waiting() const { return !m_waiting.isEmpty(); }
    // Why the last store failed; empty once everything is stored.
    QString problem() const { return m_problem; }

    // Called by the debounced saver; public for a test's poll.
    DebouncedSaver *saver() { return &m_saver; }

signals:
    void problemChanged(const QString &problem);

private:
    Store m_store;
    QMap<QString, QString> m_waiting;
    DebouncedSaver m_saver;
    QString m_problem;
};
