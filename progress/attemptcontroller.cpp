#include "attemptcontroller.h"

#include "attemptstore.h"
#include "attemptwriter.h"
#include "debouncedsaver.h"

AttemptController::AttemptController(QSqlDatabase db, const QString &dbPath, const ProgressClock *clock,
                                     QObject *parent)
    : QObject(parent)
    , m_db(db)
    , m_clock(clock)
    , m_writer(new AttemptWriter(dbPath, this))
    , m_saver(new DebouncedSaver([this]() { save(); }, clock, this))
{
    connect(m_writer, &AttemptWriter::written, this, &AttemptController::written);
}

AttemptController::~AttemptController()
{
    // A run still kept when its window goes keeps its last state.
    if (active())
        keepForLater();
}

bool AttemptController::unfinished(const QString &paperId, int mode, AttemptSnapshot *out) const
{
    return AttemptStore::load(m_db, paperId, mode, out);
}

void AttemptController::begin(const QString &paperId, int mode, std::function<AttemptSnapshot()> capture)
{
    stop();
    m_capture = std::move(capture);
    m_paperId = paperId;
    m_mode = mode;
    m_saver->changed(0);
}

void AttemptController::changed()
{
    if (active())
        m_saver->changed(changeDelayMs);
}

void AttemptController::clockTicked()
{
    if (active())
        m_saver->changed(clockDelayMs);
}

void AttemptController::keepForLater()
{
    if (!active())
        return;
    m_saver->cancel();
    save();
    stop();
}

void AttemptController::discard()
{
    if (!active())
        return;
    stop();
    AttemptStore::remove(m_db, m_paperId, m_mode);
}

void AttemptController::stop()
{
    m_saver->cancel();
    m_capture = nullptr;
    m_writer->waitIdle();
}

void AttemptController::save()
{
    if (!active())
        return;
    const AttemptSnapshot snapshot = m_capture();
    // A run whose paper is gone has nothing to keep.
    if (!snapshot.paperId.isEmpty())
        m_writer->write(snapshot, m_clock->now());
}

QString AttemptController::saveProblem() const
{
    return m_lastError.isEmpty() ? QString()
                                 : QStringLiteral("答案暂时无法保存：%1。程序会继续尝试。").arg(m_lastError);
}

void AttemptController::written(bool saved, const QString &reason)
{
    const QString before = saveProblem();
    m_lastError = saved ? QString() : reason;
    if (saved)
        m_retries.succeeded();
    else if (active())
        m_saver->changed(m_retries.failed()); // a fresh capture, with or without a new answer
    if (saveProblem() != before)
        emit saveProblemChanged(saveProblem());
}
