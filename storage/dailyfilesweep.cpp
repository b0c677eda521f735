#include "dailyfilesweep.h"

#include "backgroundbackup.h"
#include "backupstore.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

DailyFileSweep::DailyFileSweep(const QString &dbPath, Found found, BackedUp backedUp)
    : m_dbPath(dbPath), m_found(std::move(found)), m_backedUp(std::move(backedUp)), m_receiver(new QObject)
{
    QObject *receiver = m_receiver.get();
    m_thread.reset(QThread::create([this, dbPath, receiver] {
        const DataFileCheck::Result result = DataFileCheck::examine(dbPath, DataFileCheck::Depth::Pages);
        QMetaObject::invokeMethod(receiver, [this, result] { checked(result); }, Qt::QueuedConnection);
    }));
    m_thread->start(QThread::LowPriority);
}

DailyFileSweep::~DailyFileSweep()
{
    m_thread->wait();
    m_backup.reset();
}

bool DailyFileSweep::due(const QString &dbPath, const QDate &today)
{
    return !BackupStore::backedUpOn(dbPath, today);
}

void DailyFileSweep::checked(const DataFileCheck::Result &result)
{
    if (result.state != DataFileCheck::State::Usable) {
        if (m_found)
            m_found(result);
        m_finished = true;
        return;
    }
    m_backup = std::make_unique<BackgroundBackup>(m_dbPath, QStringLiteral("daily"), m_receiver.get(),
                                                  [this](const WriteOutcome &outcome) {
                                                      m_finished = true;
                                                      if (m_backedUp)
                                                          m_backedUp(outcome);
                                                  });
}
