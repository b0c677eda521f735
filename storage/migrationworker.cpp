#include "migrationworker.h"

#include "writeoutcome.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSqlDatabase>
#include <QSqlError>
#include <QThread>
#include <atomic>
#include <memory>

namespace {

// On the worker: the file's own connection, the migration, the connection
// gone. The journal mode is left to the program's connection, so that a
// failed upgrade leaves the file byte for byte as it was.
SchemaMigration::Result migrateFile(const QString &path, const QString &driver,
                                    const QVector<SchemaMigration::Step> &steps,
                                    const SchemaMigration::ProgressReport &report)
{
    const QString name = QStringLiteral("tessera-migration-%1").arg(quintptr(QThread::currentThreadId()));
    SchemaMigration::Result result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        db.setDatabaseName(path);
        if (db.open()) {
            result = SchemaMigration::migrate(db, steps, report);
        } else {
            result.outcome = SchemaMigration::Outcome::Failed;
            result.error = QStringLiteral("无法打开数据文件：") + WriteOutcome::reasonOf(db.lastError());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace

SchemaMigration::Result MigrationWorker::run(const QString &path, const QString &driver,
                                             const QVector<SchemaMigration::Step> &steps,
                                             const SchemaMigration::ProgressReport &report)
{
    // Progress crosses to this thread as queued calls on receiver; a new
    // stage always, within a stage no more often than the eye follows.
    QObject receiver;
    QElapsedTimer sinceReport;
    int reportedStage = -1;
    std::atomic<bool> migrating{false};
    const SchemaMigration::ProgressReport forward = [&](const SchemaMigration::Progress &progress) {
        migrating = true;
        if (!report || (progress.stage == reportedStage && sinceReport.elapsed() < reportInterval))
            return;
        reportedStage = progress.stage;
        sinceReport.start();
        QMetaObject::invokeMethod(&receiver, [report, progress] { report(progress); }, Qt::QueuedConnection);
    };

    SchemaMigration::Result result;
    const std::unique_ptr<QThread> worker(
        QThread::create([&] { result = migrateFile(path, driver, steps, forward); }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    // A file with nothing pending opens as it did on this thread; only an
    // upgrade turns the event loop, so nothing else runs while the program's
    // connection is closed but for an upgrade's sake.
    while (!worker->wait(pollInterval)) {
        if (migrating && QCoreApplication::instance()) {
            loop.exec(QEventLoop::ExcludeUserInputEvents);
            break;
        }
    }
    // The loop also ends when the program is asked to quit: the upgrade is
    // still finished, not abandoned half-way.
    worker->wait();
    QCoreApplication::sendPostedEvents(&receiver, QEvent::MetaCall);
    return result;
}
