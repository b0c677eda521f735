#include "testsupport.h"

#include "backupstore.h"
#include "dbconnection.h"
#include "fwelcome.h"
#include "migrationworker.h"
#include "schemamigration.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QTimer>
#include <atomic>

Q_DECLARE_METATYPE(SchemaMigration::Outcome)
Q_DECLARE_METATYPE(QVector<SchemaMigration::Step>)

namespace {

// A user's records at the previous schema, as in the migration test.
const QString records = QStringLiteral(
    "INSERT INTO exam_answer(id,subjectid,paperId,rightCount,worngCount,allCount,scoreCuont,score,anserDate,useSecond,answers) "
    "VALUES('r1','km1','km1p1',10,3,19,24.0,40.0,'2026-11-30',1500,'[{\"id\":\"km1q001\"}]');\n"
    "INSERT INTO error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid) "
    "VALUES('km1q002','km1','km1c1','','km1p1',2,'km1f1');\n"
    "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('km1q003','km1f1');\n");

// The steps of the program up to version (all when it is above the last).
QVector<SchemaMigration::Step> stepsUpTo(int version)
{
    QVector<SchemaMigration::Step> steps;
    for (const SchemaMigration::Step &step : SchemaMigration::steps())
        if (step.version <= version)
            steps << step;
    return steps;
}

// A data file of the sample bank and records, brought to version first.
bool writeFileAt(const QString &path, int version)
{
    if (!TestSupport::writeDatabaseFile(path, TestSupport::sampleBankSql() + records))
        return false;
    TestSupport::FileConnection file(path);
    return version == 0 || SchemaMigration::migrate(file.database(), stepsUpTo(version)).toVersion == version;
}

// Everything the file holds: its version, its schema and every table's rows,
// as sorted texts.
QStringList dump(const QString &path)
{
    TestSupport::FileConnection file(path);
    QStringList lines{QStringLiteral("version %1").arg(SchemaMigration::fileVersion(file.database()))};
    QStringList tables;
    QSqlQuery schema(file.database());
    schema.exec(QStringLiteral("select type, name, ifnull(sql,'') from sqlite_master"));
    while (schema.next()) {
        lines << schema.value(0).toString() + QLatin1Char(' ') + schema.value(1).toString() + QLatin1Char(' ')
                + schema.value(2).toString();
        if (schema.value(0).toString() == QLatin1String("table"))
            tables << schema.value(1).toString();
    }
    for (const QString &table : tables) {
        QSqlQuery rows(file.database());
        if (!rows.exec(QStringLiteral("select * from \"%1\"").arg(table)))
            lines << QStringLiteral("unreadable ") + table;
        while (rows.next()) {
            QStringList values;
            for (int i = 0; i < rows.record().count(); ++i)
                values << rows.value(i).toString();
            lines << table + QLatin1Char(':') + values.join(QLatin1Char('|'));
        }
    }
    lines.sort();
    return lines;
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

bool createProbeTable(QSqlDatabase db)
{
    return QSqlQuery(db).exec(QStringLiteral("CREATE TABLE probe (v TEXT)"));
}

bool failingStep(QSqlDatabase db)
{
    return QSqlQuery(db).exec(QStringLiteral("ALTER TABLE no_such_table ADD COLUMN v TEXT"));
}

// A step that says how far it is, once going back.
bool countingStep(QSqlDatabase)
{
    for (const int done : {1, 2, 1, 4})
        SchemaMigration::reportStepProgress(done, 4);
    return true;
}

// Turns of the test thread's event loop, counted by a zero timer.
std::atomic<int> loopTurns{0};

// Holds the migrating thread until the test thread's event loop has turned
// twenty times more: true then, false when it has not within the bound.
bool waitForLoopTurns()
{
    const int until = loopTurns + 20;
    const QDeadlineTimer bound(30000);
    while (loopTurns < until) {
        if (bound.hasExpired())
            return false;
        QThread::yieldCurrentThread();
    }
    return true;
}

bool stepWaitingForTheLoop(QSqlDatabase)
{
    return waitForLoopTurns();
}

// Rewrites every stem with a cache too small to hold the change, so that the
// changed pages reach the file (or its journal) before any commit.
bool rewriteEveryStem(QSqlDatabase db)
{
    return QSqlQuery(db).exec(QStringLiteral("PRAGMA cache_size=10"))
        && QSqlQuery(db).exec(QStringLiteral("UPDATE exam_question SET title = title || '（改）'"));
}

// Tells the parent that the upgrade is under way and holds it there until
// the process is killed (a minute at most).
bool holdUntilKilled(QSqlDatabase)
{
    fputs("holding\n", stdout);
    fflush(stdout);
    QThread::sleep(60);
    return false;
}

// The environment variable that makes the test program a child upgrading the
// file it names, killed half-way.
const char childVariable[] = "TESSERA_UPGRADE_KILLED";

SchemaMigration::Step extraStep(int offset, const char *purpose, bool (*apply)(QSqlDatabase))
{
    return {SchemaMigration::latestVersion() + offset, QString::fromUtf8(purpose), apply};
}

} // namespace

class UpgradeTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    int fileNumber = 0;

    QString newPath() { return dir.filePath(QStringLiteral("file%1.db").arg(++fileNumber)); }

    // The program's connection, pointed at path and opened with steps.
    DbConnection *reopenAt(const QString &path, const QVector<SchemaMigration::Step> &steps)
    {
        DbConnection *connection = DbConnection::instance(dir.path() + QStringLiteral("/"), true);
        connection->dbPath = path;
        connection->reopen(steps);
        return connection;
    }

private slots:
    void cleanup()
    {
        SchemaMigration::setBeforeMigrating(nullptr);
        DbConnection::instance(dir.path() + QStringLiteral("/"), true)->database().close();
    }

    // The worker brings a file to the same schema and rows as the migration
    // on the caller's own connection does.
    void workerUpgradesAsTheCallerWould_data()
    {
        QTest::addColumn<int>("fromVersion");
        QTest::addColumn<SchemaMigration::Outcome>("outcome");
        QTest::newRow("from the first schema") << 0 << SchemaMigration::Outcome::Migrated;
        QTest::newRow("from two versions back") << SchemaMigration::latestVersion() - 2
                                                << SchemaMigration::Outcome::Migrated;
        QTest::newRow("nothing pending") << SchemaMigration::latestVersion() << SchemaMigration::Outcome::UpToDate;
    }

    void workerUpgradesAsTheCallerWould()
    {
        QFETCH(int, fromVersion);
        QFETCH(SchemaMigration::Outcome, outcome);
        const QString onWorker = newPath();
        const QString onCaller = newPath();
        QVERIFY(writeFileAt(onWorker, fromVersion));
        QVERIFY(QFile::copy(onWorker, onCaller));

        const SchemaMigration::Result worked =
            MigrationWorker::run(onWorker, QStringLiteral("QSQLITE"), SchemaMigration::steps());
        QCOMPARE(worked.outcome, outcome);
        QCOMPARE(worked.fromVersion, fromVersion);
        QCOMPARE(worked.toVersion, SchemaMigration::latestVersion());
        {
            TestSupport::FileConnection file(onCaller);
            QCOMPARE(SchemaMigration::migrate(file.database()).outcome, outcome);
        }
        const QStringList expected = dump(onCaller);
        QVERIFY(expected.size() > 200);
        QCOMPARE(dump(onWorker), expected);
    }

    // What the notice is told: from the backup's stage to the end, never
    // back, each report on the thread that opens the file.
    void progressGoesForwardToTheEnd_data()
    {
        QTest::addColumn<int>("fromVersion");
        QTest::addColumn<bool>("onWorker");
        QTest::addColumn<bool>("counting");
        QTest::newRow("every step, on the worker") << 0 << true << false;
        QTest::newRow("the last step, on the worker") << SchemaMigration::latestVersion() - 1 << true << false;
        QTest::newRow("a step that counts, on the worker") << SchemaMigration::latestVersion() << true << true;
        QTest::newRow("a step that counts, unthrottled") << SchemaMigration::latestVersion() << false << true;
    }

    void progressGoesForwardToTheEnd()
    {
        QFETCH(int, fromVersion);
        QFETCH(bool, onWorker);
        QFETCH(bool, counting);
        const QString path = newPath();
        QVERIFY(writeFileAt(path, fromVersion));
        QVector<SchemaMigration::Step> steps = SchemaMigration::steps();
        if (counting)
            steps << extraStep(1, "计数", countingStep);
        const int pending = steps.constLast().version - fromVersion;

        QVector<SchemaMigration::Progress> reports;
        bool elsewhere = false;
        const SchemaMigration::ProgressReport report = [&](const SchemaMigration::Progress &progress) {
            elsewhere = elsewhere || QThread::currentThread() != thread();
            reports << progress;
        };
        SchemaMigration::Result result;
        if (onWorker) {
            result = MigrationWorker::run(path, QStringLiteral("QSQLITE"), steps, report);
        } else {
            TestSupport::FileConnection file(path);
            result = SchemaMigration::migrate(file.database(), steps, report);
        }
        QCOMPARE(result.outcome, SchemaMigration::Outcome::Migrated);
        QVERIFY(!elsewhere);
        QVERIFY(reports.size() >= pending + 2);
        QCOMPARE(reports.first().stage, 0);
        QCOMPARE(reports.first().overall(), 0.0);
        for (int i = 1; i < reports.size(); ++i) {
            QCOMPARE(reports.at(i).stages, pending + 1);
            QVERIFY2(reports.at(i).overall() >= reports.at(i - 1).overall(), qPrintable(QString::number(i)));
        }
        QVERIFY(reports.constLast().finished());
        QCOMPARE(reports.constLast().overall(), 1.0);
        if (counting && !onWorker) {
            QVector<double> fractions;
            for (const SchemaMigration::Progress &progress : reports)
                if (progress.purpose == QStringLiteral("计数"))
                    fractions << progress.stageFraction;
            QCOMPARE(fractions, (QVector<double>{-1, 0.25, 0.5, 1}));
        }
    }

    // A failing upgrade through the program's connection: the file as it
    // was, byte for byte, and the connection closed to the program.
    void failedUpgradeLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<QVector<SchemaMigration::Step>>("steps");
        QTest::addColumn<QString>("reason");
        QTest::newRow("the first step fails")
            << QVector<SchemaMigration::Step>{{1, QStringLiteral("broken"), failingStep}} << "broken：";
        QTest::newRow("the last of every step fails")
            << SchemaMigration::steps() + QVector<SchemaMigration::Step>{extraStep(1, "probe", createProbeTable),
                                                                         extraStep(2, "broken", failingStep)}
            << "broken：";
    }

    void failedUpgradeLeavesTheFileAsItWas()
    {
        QFETCH(QVector<SchemaMigration::Step>, steps);
        QFETCH(QString, reason);
        const QString path = newPath();
        QVERIFY(writeFileAt(path, 0));
        const QByteArray before = fileHash(path);
        const QStringList rows = dump(path);

        DbConnection *connection = reopenAt(path, steps);
        QVERIFY(!connection->opened);
        QVERIFY(!connection->database().isOpen());
        QCOMPARE(connection->migration.outcome, SchemaMigration::Outcome::Failed);
        QVERIFY2(connection->migration.error.startsWith(reason), qPrintable(connection->migration.error));
        QCOMPARE(fileHash(path), before);
        QCOMPARE(dump(path), rows);
    }

    void fileThatCannotBeOpenedFailsTheUpgrade()
    {
        DbConnection *connection = reopenAt(dir.filePath(QStringLiteral("gone/deeper/data.db")), SchemaMigration::steps());
        QVERIFY(!connection->opened);
        QCOMPARE(connection->migration.outcome, SchemaMigration::Outcome::Failed);
        QVERIFY2(connection->migration.error.startsWith(QStringLiteral("无法打开数据文件：")),
                 qPrintable(connection->migration.error));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("gone"))));
    }

    // A program killed in the middle of an upgrade leaves the file as it
    // was: the next opening finds the earlier version and every row.
    void killedUpgradeLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<QString>("journal");
        QTest::addColumn<QString>("leftBeside");
        QTest::newRow("rollback journal") << "delete" << "-journal";
        QTest::newRow("write-ahead journal") << "wal" << "-wal";
    }

    void killedUpgradeLeavesTheFileAsItWas()
    {
        QFETCH(QString, journal);
        QFETCH(QString, leftBeside);
        const QString path = newPath();
        QVERIFY(writeFileAt(path, 0));
        {
            TestSupport::FileConnection file(path);
            QCOMPARE(file.column(QStringLiteral("PRAGMA journal_mode=") + journal), QStringList{journal});
        }
        const QStringList before = dump(path);

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(childVariable), path);
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QByteArray said;
        while (!said.contains("holding") && child.waitForReadyRead(30000))
            said += child.readAllStandardOutput();
        QVERIFY2(said.contains("holding"), child.readAllStandardError().constData());
        child.kill();
        QVERIFY(child.waitForFinished(30000));
        // The rewritten pages had reached the journal beside the file.
        QVERIFY(QFileInfo(path + leftBeside).size() > 0);

        QCOMPARE(dump(path), before);
        const SchemaMigration::Result again = MigrationWorker::run(path, QStringLiteral("QSQLITE"), SchemaMigration::steps());
        QCOMPARE(again.outcome, SchemaMigration::Outcome::Migrated);
        QCOMPARE(again.fromVersion, 0);
    }

    // The start page tells why the file was not upgraded, and that it is as
    // it was.
    void startPageTellsOfAFailedUpgrade()
    {
        const QString path = newPath();
        QVERIFY(writeFileAt(path, 0));
        reopenAt(path, SchemaMigration::steps() + QVector<SchemaMigration::Step>{extraStep(1, "broken", failingStep)});
        TestSupport::ModalCloser closer;
        Fwelcome form;
        QTRY_COMPARE_WITH_TIMEOUT(closer.closedCount(), 1, 10000);
        const QString text = closer.texts().value(0);
        QVERIFY2(text.startsWith(QStringLiteral("数据文件未能升级：broken：")), qPrintable(text));
        QVERIFY2(text.contains(path + QStringLiteral(" 保持原样")), qPrintable(text));
    }

    // The thread that opens the file goes on turning its event loop (and so
    // repainting) while the backup and the steps run; a zero timer counts
    // its turns and the worker waits for them.
    void eventLoopTurnsThroughTheUpgrade_data()
    {
        QTest::addColumn<bool>("duringBackup");
        QTest::newRow("while the file is backed up") << true;
        QTest::newRow("while a step runs") << false;
    }

    void eventLoopTurnsThroughTheUpgrade()
    {
        QFETCH(bool, duringBackup);
        const QString path = newPath();
        QVERIFY(writeFileAt(path, SchemaMigration::latestVersion()));
        QVector<SchemaMigration::Step> steps = SchemaMigration::steps();
        if (duringBackup)
            SchemaMigration::setBeforeMigrating([](QSqlDatabase db, QString *reason) {
                *reason = QStringLiteral("the event loop stood still");
                return waitForLoopTurns() && BackupStore::backup(db, db.databaseName(), QStringLiteral("migration"));
            });
        steps << extraStep(1, duringBackup ? "probe" : "waiting", duringBackup ? createProbeTable : stepWaitingForTheLoop);

        const int backups = BackupStore::list(path).size();
        QTimer turn;
        connect(&turn, &QTimer::timeout, [] { ++loopTurns; });
        turn.start(0);
        const SchemaMigration::Result result = MigrationWorker::run(path, QStringLiteral("QSQLITE"), steps);
        turn.stop();
        QVERIFY2(result.outcome == SchemaMigration::Outcome::Migrated, qPrintable(result.error));
        QCOMPARE(BackupStore::list(path).size(), backups + (duringBackup ? 1 : 0));
    }
};

int main(int argc, char *argv[])
{
    TestSupport::prepareTestProcess();
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(childVariable)) {
        MigrationWorker::run(qEnvironmentVariable(childVariable), QStringLiteral("QSQLITE"),
                             SchemaMigration::steps() + QVector<SchemaMigration::Step>{
                                 extraStep(1, "rewrite", rewriteEveryStem), extraStep(2, "hold", holdUntilKilled)});
        return 1;
    }
    app.setAttribute(Qt::AA_Use96Dpi, true);
    UpgradeTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_upgrade.moc"
