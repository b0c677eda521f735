#include "notekeeper.h"

NoteKeeper::NoteKeeper(Store store, const ProgressClock *clock, QObject *parent)
    : QObject(parent)
    , m_store(std::move(store))
    , m_saver([this] { storeNow(); }, clock, this)
{
}

NoteKeeper::~NoteKeeper()
{
    storeNow();
}

void NoteKeeper::edit(const QString &questionId, const QString &text)
{
    m_waiting.insert(questionId, text);
    m_saver.changed(saveWithinMs);
}

bool NoteKeeper::storeNow()
{
    m_saver.cancel();
    QString problem;
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        const WriteOutcome outcome = m_store(it.key(), it.value());
        if (outcome.saved()) {
            it = m_waiting.erase(it);
        } else {
            problem = QStringLiteral("笔记未能保存：%1").arg(outcome.reason());
            ++it;
        }
    }
    if (waiting())
        m_saver.changed(retryWithinMs);
    if (problem != m_problem) {
        m_problem = problem;
        emit problemChanged(m_problem);
    }
    return !waiting();
}
