#include "upgrademeasure.h"

#include "backupstore.h"
#include "migrationnotice.h"
#include "migrationworker.h"
#include "schemamigration.h"

#include <QFile>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariant>

namespace {

struct StageStart
{
    int stage;
    double atMs;
};

// The longest gap between two turns of this thread's event loop while it is
// being watched, the end of the watch counting as a turn.
class FreezeWatch
{
public:
    FreezeWatch()
    {
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(10);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] { turn(); });
        m_sinceTurn.start();
        m_ticker.start();
    }
    double stop()
    {
        m_ticker.stop();
        turn();
        return m_longestMs;
    }

private:
    void turn()
    {
        m_longestMs = qMax(m_longestMs, elapsedMs(m_sinceTurn));
        m_sinceTurn.restart();
    }

    QTimer m_ticker;
    QElapsedTimer m_sinceTurn;
    double m_longestMs = 0;
};

// A copy of the previous file to upgrade, as data.db in a folder of its own
// (its backups go beside it), in the write-ahead journal the previous version
// left its files in.
bool copyPrevious(const QString &previousFile, const QTemporaryDir &folder, QString *path)
{
    *path = folder.filePath(QStringLiteral("data.db"));
    if (!folder.isValid() || !QFile::copy(previousFile, *path))
        return false;
    const QString name = QStringLiteral("bench-upgrade-copy");
    bool journalled = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(*path);
        db.open();
        QSqlQuery query(db);
        journalled = db.isOpen() && query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && query.next()
            && query.value(0).toString() == QLatin1String("wal");
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return journalled;
}

} // namespace

UpgradeMeasure::UpgradeMeasure(const BenchContext &context) : m_context(context) {}

MeasureResult UpgradeMeasure::upgrade(const QString &previousFile, int bankRows)
{
    MeasureResult result(QStringLiteral("upgrade"));
    result.targetMs = bankRows >= 300000 ? 4000 : 0;
    // As the program's start: every upgrade is preceded by a backup.
    BackupStore::guardMigrations();
    const auto unguard = qScopeGuard([] { SchemaMigration::setBeforeMigrating(nullptr); });
    // The longest freeze of the timed runs: the warm-up's includes loading
    // the notice's font, which the program does once whatever it shows first.
    double oursFreezeMs = 0, floorFreezeMs = 0;
    int oursRuns = 0, floorRuns = 0;
    // When each stage of the last run was first reported.
    QVector<StageStart> stages;
    result.collect(
        m_context.smoke ? 1 : qMin(m_context.runs, 5),
        [&] {
            QTemporaryDir folder;
            QString path;
            if (!copyPrevious(previousFile, folder, &path))
                return -1.0;
            MigrationNotice notice;
            QElapsedTimer timer;
            timer.start();
            FreezeWatch watch;
            stages.clear();
            const SchemaMigration::Result migrated = MigrationWorker::run(
                path, QStringLiteral("QSQLITE"), SchemaMigration::steps(),
                [&](const SchemaMigration::Progress &progress) {
                    if (stages.isEmpty() || stages.constLast().stage != progress.stage)
                        stages << StageStart{progress.stage, elapsedMs(timer)};
                    notice.show(progress);
                });
            const double ms = elapsedMs(timer);
            const double freezeMs = watch.stop();
            if (oursRuns++ > 0)
                oursFreezeMs = qMax(oursFreezeMs, freezeMs);
            return migrated.outcome == SchemaMigration::Outcome::Migrated ? ms : -1.0;
        },
        [&] {
            QTemporaryDir folder;
            QString path;
            if (!copyPrevious(previousFile, folder, &path))
                return -1.0;
            const QString name = QStringLiteral("bench-upgrade-floor");
            double ms = -1;
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                db.setDatabaseName(path);
                QElapsedTimer timer;
                timer.start();
                FreezeWatch watch;
                // As the program's connection used to open: the journal first.
                if (db.open()) {
                    QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
                    if (SchemaMigration::migrate(db).outcome == SchemaMigration::Outcome::Migrated)
                        ms = elapsedMs(timer);
                }
                const double freezeMs = watch.stop();
                if (floorRuns++ > 0)
                    floorFreezeMs = qMax(floorFreezeMs, freezeMs);
                db.close();
            }
            QSqlDatabase::removeDatabase(name);
            return ms;
        });
    // Where the time of the last run went: the backup's stage, then each
    // step's (the last one's with the commit).
    QStringList stageMs;
    for (int i = 0; i + 1 < stages.size(); ++i)
        stageMs << QString::number(stages.at(i + 1).atMs - stages.at(i).atMs, 'f', 0);
    result.extras << QStringLiteral("stage_ms=") + stageMs.join(QLatin1Char('/'));
    result.extras << QStringLiteral("max_freeze_ms=%1").arg(oursFreezeMs, 0, 'f', 2)
                  << QStringLiteral("floor_freeze_ms=%1").arg(floorFreezeMs, 0, 'f', 2)
                  << QStringLiteral("freeze_target_ms=%1").arg(freezeTargetMs)
                  << QStringLiteral("freeze_met=%1").arg(oursFreezeMs < freezeTargetMs ? QStringLiteral("yes")
                                                                                     : QStringLiteral("no"));
    return result;
}
