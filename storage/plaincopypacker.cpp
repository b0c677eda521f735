#include "plaincopypacker.h"

#include "backupstore.h"

#include <QThread>

namespace {

// Quick backups are taken on the threads of upgrades and imports too.
std::atomic<PlainCopyPacker *> &current()
{
    static std::atomic<PlainCopyPacker *> packer{nullptr};
    return packer;
}

} // namespace

PlainCopyPacker::PlainCopyPacker(const QString &dbPath) : m_dbPath(dbPath)
{
    m_pool.setMaxThreadCount(1);
    current() = this;
}

PlainCopyPacker::~PlainCopyPacker()
{
    current() = nullptr;
    m_pool.waitForDone();
}

void PlainCopyPacker::begin()
{
    m_begun = true;
    if (BackupStore::hasPlainCopies(m_dbPath))
        queueRun();
}

void PlainCopyPacker::request()
{
    PlainCopyPacker *packer = current();
    if (packer && packer->m_begun)
        packer->queueRun();
}

void PlainCopyPacker::queueRun()
{
    if (m_queued.exchange(true))
        return;
    m_pool.start([this] {
        m_queued = false;
        QThread::currentThread()->setPriority(QThread::LowPriority);
        BackupStore::packPlainCopies(m_dbPath);
    });
}
