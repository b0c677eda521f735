#include "backupmeasure.h"

#include "backupstore.h"
#include "dbconnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

namespace {

const int days = 7;
const double sizeTarget = 1.5;

bool addFavourite(QSqlDatabase db, int day)
{
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO exam_Collect(questionid, fuleixingid) VALUES(:id, 'bench')"));
    insert.bindValue(QStringLiteral(":id"), QStringLiteral("bench-day-%1").arg(day));
    return insert.exec();
}

double plainCopy(const QString &from, const QString &to)
{
    QElapsedTimer timer;
    timer.start();
    const bool copied = QFile::copy(from, to);
    const double ms = elapsedMs(timer);
    QFile::remove(to);
    return copied ? ms : -1;
}

} // namespace

BackupMeasure::BackupMeasure(const BenchContext &context)
    : m_context(context)
{
}

MeasureResult BackupMeasure::backups()
{
    MeasureResult result(QStringLiteral("backups"));
    DbConnection *connection = DbConnection::instance(m_context.bankDir, true);
    const QString dbPath = connection->dbPath;
    const QString folder = BackupStore::folderFor(dbPath);
    QDir(folder).removeRecursively();
    // Past the reach of any real clock, so that no other backup mixes in.
    const QDateTime first(QDate(2031, 3, 1), QTime(7, 30));
    QStringList dayMs;
    for (int day = 0; day < days && !result.failed; ++day) {
        if (!addFavourite(connection->database(), day)) {
            result.failed = true;
            break;
        }
        QElapsedTimer timer;
        timer.start();
        const bool taken = BackupStore::backup(connection->database(), dbPath, QStringLiteral("daily"), first.addDays(day)).saved();
        result.ours << elapsedMs(timer);
        result.floor << plainCopy(dbPath, m_context.bankDir + QStringLiteral("floor-copy.db"));
        dayMs << QString::number(result.ours.last(), 'f', 0);
        result.failed = !taken || result.floor.last() < 0;
    }
    const QList<BackupEntry> taken = BackupStore::list(dbPath);
    qint64 total = BackupStore::bankBytes(dbPath);
    for (const BackupEntry &entry : taken)
        total += entry.bytes;
    const qint64 dataBytes = QFileInfo(dbPath).size();
    const double sizeRatio = dataBytes > 0 ? double(total) / double(dataBytes) : 0;
    result.failed = result.failed || taken.size() != days;

    double restoreMs = -1;
    if (!result.failed) {
        QElapsedTimer timer;
        timer.start();
        result.failed = !BackupStore::restore(taken.first().path).saved();
        restoreMs = elapsedMs(timer);
    }
    QDir(folder).removeRecursively();
    result.extras << QStringLiteral("day_ms=") + dayMs.join(QLatin1Char(','))
                  << QStringLiteral("total_bytes=%1").arg(total)
                  << QStringLiteral("data_bytes=%1").arg(dataBytes)
                  << QStringLiteral("size_ratio=%1").arg(sizeRatio, 0, 'f', 3)
                  << QStringLiteral("size_target=%1").arg(sizeTarget)
                  << QStringLiteral("size_met=%1").arg(sizeRatio < sizeTarget ? QStringLiteral("yes") : QStringLiteral("no"))
                  << QStringLiteral("restore_ms=%1").arg(restoreMs, 0, 'f', 0);
    return result;
}
