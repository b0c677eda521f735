#include "testsupport.h"

#include "backuparchive.h"
#include "backupstore.h"
#include "dbconnection.h"
#include "favouritestore.h"
#include "notestore.h"
#include "pagedelta.h"
#include "plaincopypacker.h"
#include "restorebackupdialog.h"
#include "settingsstore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtEndian>
#include <memory>

using TestSupport::FreshDatabase;

namespace {

// The user's records as queries read them: a restore must give back these
// very rows.
QStringList userRecords()
{
    QStringList rows;
    rows << FreshDatabase::column(QStringLiteral("select id||'|'||rightCount||'|'||answers from exam_answer order by id"))
         << FreshDatabase::column(QStringLiteral("select questionid||'|'||fuleixingid from exam_Collect order by 1"))
         << FreshDatabase::column(QStringLiteral("select questionId||'|'||note from question_note order by 1"))
         << FreshDatabase::column(QStringLiteral("select key||'='||value from app_setting order by key"));
    return rows;
}

// Records of every kind, with text a byte-exact copy must keep.
bool writeRecords(const QString &tag)
{
    QSqlDatabase db = DbConnection::instance(QString(), true)->database();
    return FreshDatabase::exec(QStringLiteral("insert into exam_answer(id,rightCount,answers) values('a-%1',3,'{\"答\":\"甲|乙\"}')").arg(tag))
        && FavouriteStore::setFavourite(QStringLiteral("km1q00") + tag, QStringLiteral("km1f1"), true)
        && NoteStore::save(db, SubjectScope(), QStringLiteral("km1q001"), QStringLiteral("笔记「%1」\n第二行").arg(tag),
                           QDateTime(QDate(2026, 12, 1), QTime(8, 0)))
        && SettingsStore::setValue(QStringLiteral("exam_date"), QStringLiteral("2027-0%1-01").arg(tag));
}

// A backup as an earlier version wrote it: the plain copy, named ".db".
bool writeUncompressedBackup(const QString &dbPath, const QDateTime &taken)
{
    QDir().mkpath(BackupStore::folderFor(dbPath));
    QSqlQuery query(DbConnection::instance(QString(), true)->database());
    query.prepare(QStringLiteral("VACUUM INTO :file"));
    query.bindValue(QStringLiteral(":file"), BackupStore::folderFor(dbPath) + QStringLiteral("/data-")
                                                 + taken.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral("-daily.db"));
    return query.exec();
}

// A file of pages of 512 bytes, the first with a database header, each
// filled with its letter.
QByteArray pagesOf(const QByteArray &letters)
{
    QByteArray file;
    for (const char letter : letters)
        file += QByteArray(512, letter);
    file.replace(0, 16, QByteArray("SQLite format 3\0", 16));
    qToBigEndian<quint16>(512, file.data() + 16);
    return file;
}

BackupEntry entryOf(qint64 bytes)
{
    BackupEntry entry;
    entry.bytes = bytes;
    return entry;
}

} // namespace

class BackupsTest : public QObject
{
    Q_OBJECT

private slots:
    // Either kind of backup gives back the records, notes and settings of
    // its day, row for row; the compressed one takes a fraction of the file.
    void restoreGivesBackTheRecords_data()
    {
        QTest::addColumn<bool>("compressed");
        QTest::newRow("compressed backup") << true;
        QTest::newRow("uncompressed backup of an earlier version") << false;
    }

    void restoreGivesBackTheRecords()
    {
        QFETCH(bool, compressed);
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection::instance(QString(), true)->reopen();
        QVERIFY(writeRecords(QStringLiteral("1")));
        const QStringList saved = userRecords();
        const QDateTime taken(QDate(2026, 12, 1), QTime(9, 0));
        if (compressed)
            QVERIFY(BackupStore::backup(DbConnection::instance(QString(), true)->database(), db.path(), QStringLiteral("daily"), taken));
        else
            QVERIFY(writeUncompressedBackup(db.path(), taken));
        QVERIFY(writeRecords(QStringLiteral("2")));
        QVERIFY(userRecords() != saved);

        const BackupEntry chosen = BackupStore::list(db.path()).first();
        QCOMPARE(chosen.compressed, compressed);
        QCOMPARE(chosen.favourites, 1);
        QCOMPARE(chosen.notes, 1);
        if (compressed)
            QVERIFY2((chosen.bytes + BackupStore::bankBytes(db.path())) * 3 < QFileInfo(db.path()).size(),
                     qPrintable(QString::number(chosen.bytes)));
        const WriteOutcome restored = BackupStore::restore(chosen.path);
        QVERIFY2(restored, qPrintable(restored.reason()));
        QCOMPARE(userRecords(), saved);
        QCOMPARE(FreshDatabase::column(QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
        QCOMPARE(QDir(QFileInfo(db.path()).absolutePath()).entryList({QStringLiteral("data.db.*")}), QStringList());
    }

    // A backup that is not whole, or not a data file of the program, is
    // refused with what is wrong, and the data file stays byte for byte.
    void refusedBackupLeavesTheDataFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("listed");
        QTest::newRow("cut off half-way") << "cut" << "不完整或已损坏" << false;
        QTest::newRow("not a zip at all") << "text" << "不是压缩的备份" << false;
        QTest::newRow("bank copy's bytes overwritten") << "spoiled bank" << "题库副本 bank-20261201-090000.zip 已损坏" << true;
        QTest::newRow("bank copy deleted") << "no bank" << "题库副本 bank-20261201-090000.zip 已不存在" << true;
        QTest::newRow("data file with a damaged page") << "damaged page" << "未通过完整性检查" << true;
        QTest::newRow("another program's database") << "foreign" << "缺少数据表 exam_question" << true;
        QTest::newRow("deleted after listing") << "gone" << "已不存在" << false;
    }

    void refusedBackupLeavesTheDataFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        QFETCH(bool, listed);
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection::instance(QString(), true)->reopen();
        QVERIFY(writeRecords(QStringLiteral("1")));
        QVERIFY(BackupStore::backup(DbConnection::instance(QString(), true)->database(), db.path(), QStringLiteral("daily"),
                                    QDateTime(QDate(2026, 12, 1), QTime(9, 0))));
        const QString backup = BackupStore::list(db.path()).first().path;
        QByteArray zipped = TestSupport::fileBytes(backup);
        const QString inside = QFileInfo(db.path()).absolutePath() + QStringLiteral("/inside.db");
        const QString bankCopy = BackupStore::folderFor(db.path()) + QStringLiteral("/bank-20261201-090000.zip");
        QVERIFY(QFileInfo::exists(bankCopy));
        if (kind == QLatin1String("cut")) {
            QVERIFY(TestSupport::writeFile(backup, zipped.left(zipped.size() / 2)));
        } else if (kind == QLatin1String("text")) {
            QVERIFY(TestSupport::writeFile(backup, QByteArray("成绩备份\n").repeated(100)));
        } else if (kind == QLatin1String("spoiled bank")) {
            // Past the member's header, into the deflated data file.
            QByteArray bank = TestSupport::fileBytes(bankCopy);
            bank.replace(200, 64, QByteArray(64, '\x5a'));
            QVERIFY(TestSupport::writeFile(bankCopy, bank));
        } else if (kind == QLatin1String("no bank")) {
            QVERIFY(QFile::remove(bankCopy));
        } else if (kind == QLatin1String("damaged page") || kind == QLatin1String("foreign")) {
            // A whole zip around a data file that will not do.
            QVERIFY(BackupArchive::unpack(backup, inside));
            if (kind == QLatin1String("foreign")) {
                TestSupport::FileConnection file(inside);
                QVERIFY(QSqlQuery(file.database()).exec(QStringLiteral("drop table exam_question")));
            } else {
                QVERIFY(TestSupport::damageTable(inside, QStringLiteral("exam_Collect")));
            }
            QVERIFY(BackupArchive::pack(inside, QJsonObject{{QStringLiteral("results"), 0}}, backup));
            QFile::remove(inside);
        } else if (kind == QLatin1String("gone")) {
            QVERIFY(QFile::remove(backup));
        }
        const QByteArray before = TestSupport::fileBytes(db.path());
        const QStringList records = userRecords();

        QCOMPARE(BackupStore::list(db.path()).value(0).readable(), listed);
        const WriteOutcome outcome = BackupStore::restore(backup);
        QVERIFY(!outcome);
        QVERIFY2(outcome.reason().contains(said), qPrintable(outcome.reason()));
        QCOMPARE(TestSupport::fileBytes(db.path()), before);
        QCOMPARE(userRecords(), records);
        QCOMPARE(QDir(QFileInfo(db.path()).absolutePath()).entryList({QStringLiteral("data.db.*")}), QStringList());
        // Nothing was backed up for a restore that did not happen.
        QCOMPARE(BackupStore::list(db.path()).size(), kind == QLatin1String("gone") ? 0 : 1);
    }

    // Old plain backups and new compressed ones share the seven places, the
    // oldest going first whatever its kind; a backup cut off by the end of
    // the program leaves nothing behind at the next, one under way is left be.
    void sevenKeptOfBothKinds()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection::instance(QString(), true)->reopen();
        const QDateTime start(QDate(2026, 11, 1), QTime(8, 0));
        for (int day = 0; day < 3; ++day)
            QVERIFY(writeUncompressedBackup(db.path(), start.addDays(day)));
        const QString folder = BackupStore::folderFor(db.path());
        // Cut off yesterday, and one under way on another thread now.
        for (const QString &name : {QStringLiteral("data-20261103-080000-daily.taking"), QStringLiteral("data-20261103-080000-daily.zip.part")}) {
            QFile leftover(folder + QLatin1Char('/') + name);
            QVERIFY(leftover.open(QIODevice::WriteOnly) && leftover.write("half") == 4 && leftover.flush());
            QVERIFY(leftover.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        }
        const QString underWay = folder + QStringLiteral("/data-20261210-080000-daily.taking");
        QVERIFY(TestSupport::writeFile(underWay, "half"));
        for (int day = 3; day < 9; ++day)
            QVERIFY(BackupStore::backup(DbConnection::instance(QString(), true)->database(), db.path(), QStringLiteral("daily"),
                                        start.addDays(day)));

        const QList<BackupEntry> backups = BackupStore::list(db.path());
        QCOMPARE(backups.size(), BackupStore::kept);
        QCOMPARE(backups.first().taken, start.addDays(8));
        QCOMPARE(backups.last().taken, start.addDays(2));
        QVERIFY(!backups.last().compressed && backups.last().readable());
        QVERIFY(backups.first().compressed && backups.first().readable());
        QVERIFY(BackupStore::backedUpOn(db.path(), QDate(2026, 11, 9)));
        QCOMPARE(QDir(folder).entryList({QStringLiteral("data-*")}, QDir::Files).size(), BackupStore::kept + 1);
        QVERIFY(QFileInfo::exists(underWay));
    }

    // The backup an upgrade, an import or a deletion waits for is a plain
    // copy of the file when nothing else uses it, holding what the
    // write-ahead journal held too, opening alone; with another connection
    // reading it is the compressed backup instead. Either restores the
    // records of its time.
    void quickBackupRestores_data()
    {
        QTest::addColumn<QString>("journal");
        QTest::addColumn<bool>("otherReader");
        QTest::addColumn<bool>("plain");
        QTest::newRow("write-ahead, pages still in the journal") << "wal" << false << true;
        QTest::newRow("rollback journal") << "delete" << false << true;
        QTest::newRow("another connection reading") << "wal" << true << false;
    }

    void quickBackupRestores()
    {
        QFETCH(QString, journal);
        QFETCH(bool, otherReader);
        QFETCH(bool, plain);
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection *connection = DbConnection::instance(QString(), true);
        connection->reopen();
        QSqlDatabase program = connection->database();
        QVERIFY(QSqlQuery(program).exec(QStringLiteral("PRAGMA wal_autocheckpoint=0")));
        QSqlQuery mode(program);
        QVERIFY(mode.exec(QStringLiteral("PRAGMA journal_mode=") + journal) && mode.next());
        QCOMPARE(mode.value(0).toString(), journal);
        mode.finish();
        QVERIFY(writeRecords(QStringLiteral("1")));
        if (journal == QLatin1String("wal"))
            QVERIFY(QFileInfo(db.path() + QStringLiteral("-wal")).size() > 0);
        const QStringList saved = userRecords();
        std::unique_ptr<TestSupport::FileConnection> reader;
        std::unique_ptr<QSqlQuery> reading;
        if (otherReader) {
            reader = std::make_unique<TestSupport::FileConnection>(db.path());
            reading = std::make_unique<QSqlQuery>(reader->database());
            QVERIFY(reading->exec(QStringLiteral("select id from exam_question")) && reading->next());
        }
        QVERIFY(BackupStore::quickBackup(program, db.path(), QStringLiteral("import"), QDateTime(QDate(2026, 12, 1), QTime(9, 0))));
        reading.reset();
        reader.reset();
        QVERIFY(writeRecords(QStringLiteral("2")));

        const QList<BackupEntry> backups = BackupStore::list(db.path());
        QCOMPARE(backups.size(), 1);
        QCOMPARE(backups.first().compressed, !plain);
        QCOMPARE(backups.first().reason, QStringLiteral("import"));
        QCOMPARE(backups.first().favourites, 1);
        if (plain) {
            // Its header says it has no write-ahead journal to look for.
            QCOMPARE(TestSupport::fileBytes(backups.first().path).mid(18, 2), QByteArray("\x01\x01", 2));
            TestSupport::FileConnection copy(backups.first().path);
            QCOMPARE(copy.column(QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
        }
        QCOMPARE(QDir(BackupStore::folderFor(db.path())).entryList({QStringLiteral("*-wal"), QStringLiteral("*.taking")}),
                 QStringList());
        const WriteOutcome restored = BackupStore::restore(backups.first().path);
        QVERIFY2(restored, qPrintable(restored.reason()));
        QCOMPARE(userRecords(), saved);
    }

    // Plain copies become compressed backups of the same time and reason
    // that restore alike; a copy whose zip is already whole only goes, and
    // one that cannot be read stays, said, without stopping the others.
    void plainCopiesPacked()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection *connection = DbConnection::instance(QString(), true);
        connection->reopen();
        const QDateTime taken(QDate(2026, 12, 1), QTime(9, 0));
        QVERIFY(writeRecords(QStringLiteral("1")));
        const QStringList saved = userRecords();
        QVERIFY(BackupStore::quickBackup(connection->database(), db.path(), QStringLiteral("migration"), taken));
        QVERIFY(writeRecords(QStringLiteral("2")));
        QVERIFY(BackupStore::quickBackup(connection->database(), db.path(), QStringLiteral("import"), taken.addSecs(60)));
        const QString folder = BackupStore::folderFor(db.path());
        // Ended after the zip was whole, before the copy went.
        QVERIFY(BackupStore::packPlainCopies(db.path()));
        const QString zipOfFirst = folder + QStringLiteral("/data-20261201-090000-migration.zip");
        const QByteArray zipBytes = TestSupport::fileBytes(zipOfFirst);
        QVERIFY(!zipBytes.isEmpty());
        QVERIFY(QFile::copy(folder + QStringLiteral("/data-20261201-090100-import.zip"),
                            folder + QStringLiteral("/spare.zip")));
        QVERIFY(TestSupport::writeFile(folder + QStringLiteral("/data-20261201-090000-migration.db"), "whatever"));
        QVERIFY(TestSupport::writeFile(folder + QStringLiteral("/data-20261130-090000-delete.db"), "not a data file"));
        QVERIFY(BackupStore::hasPlainCopies(db.path()));

        const WriteOutcome packed = BackupStore::packPlainCopies(db.path());
        QVERIFY(!packed);
        QVERIFY2(packed.reason().contains(QStringLiteral("data-20261130-090000-delete.db")), qPrintable(packed.reason()));
        QCOMPARE(TestSupport::fileBytes(zipOfFirst), zipBytes);
        const QList<BackupEntry> backups = BackupStore::list(db.path());
        QStringList seen;
        for (const BackupEntry &entry : backups)
            seen << QStringLiteral("%1 %2 %3").arg(entry.taken.toString(QStringLiteral("HHmm")), entry.reason,
                                                   entry.compressed ? QStringLiteral("zip") : QStringLiteral("db"));
        QCOMPARE(seen, (QStringList{QStringLiteral("0901 import zip"), QStringLiteral("0900 migration zip"),
                                    QStringLiteral("0900 delete db")}));
        const WriteOutcome restored = BackupStore::restore(backups.at(1).path);
        QVERIFY2(restored, qPrintable(restored.reason()));
        QCOMPARE(userRecords(), saved);
    }

    // The program's packer compresses the copies once it has begun: those
    // waiting then, and those of quick backups taken later; before, none.
    void packerBegunByTheProgram()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection *connection = DbConnection::instance(QString(), true);
        connection->reopen();
        const QDateTime taken(QDate(2026, 12, 1), QTime(9, 0));
        const auto kinds = [&db] {
            QStringList kinds;
            for (const BackupEntry &entry : BackupStore::list(db.path()))
                kinds << (entry.compressed ? QStringLiteral("zip") : QStringLiteral("db"));
            return kinds;
        };
        {
            PlainCopyPacker packer(db.path());
            QVERIFY(BackupStore::quickBackup(connection->database(), db.path(), QStringLiteral("migration"), taken));
        }
        QCOMPARE(kinds(), QStringList{QStringLiteral("db")});
        {
            PlainCopyPacker packer(db.path());
            packer.begin();
            QVERIFY(BackupStore::quickBackup(connection->database(), db.path(), QStringLiteral("import"), taken.addSecs(60)));
        }
        QCOMPARE(kinds(), (QStringList{QStringLiteral("zip"), QStringLiteral("zip")}));
    }

    // The pages of a newer file over an older one give back the newer file
    // byte for byte, whether it grew, shrank or changed in place; only the
    // pages that differ are carried.
    void pagesOverTheEarlierFile_data()
    {
        QTest::addColumn<QByteArray>("earlier");
        QTest::addColumn<QByteArray>("newer");
        QTest::addColumn<int>("carried");
        QTest::newRow("the same") << QByteArray("abcd") << QByteArray("abcd") << 0;
        QTest::newRow("one page changed in the middle") << QByteArray("abcd") << QByteArray("abxd") << 1;
        QTest::newRow("grown by two pages") << QByteArray("abcd") << QByteArray("abcdef") << 2;
        QTest::newRow("shrunk by two pages") << QByteArray("abcdef") << QByteArray("abcd") << 0;
        QTest::newRow("shrunk and changed") << QByteArray("abcdef") << QByteArray("xbc") << 1;
        QTest::newRow("no earlier file") << QByteArray() << QByteArray("abc") << 3;
    }

    void pagesOverTheEarlierFile()
    {
        QFETCH(QByteArray, earlier);
        QFETCH(QByteArray, newer);
        QFETCH(int, carried);
        QTemporaryDir dir;
        const QString newerPath = dir.filePath(QStringLiteral("newer.db"));
        const QString target = dir.filePath(QStringLiteral("target.db"));
        QVERIFY(TestSupport::writeFile(newerPath, pagesOf(newer)));
        QVERIFY(TestSupport::writeFile(target, earlier.isEmpty() ? QByteArray() : pagesOf(earlier)));
        QByteArray earlierBytes = TestSupport::fileBytes(target);
        QBuffer base(&earlierBytes);
        QVERIFY(base.open(QIODevice::ReadOnly));
        QByteArray records;
        QBuffer out(&records);
        QVERIFY(out.open(QIODevice::WriteOnly));

        const PageDelta::Outcome delta = PageDelta::diff(newerPath, &base, &out);
        QVERIFY2(delta.ok, qPrintable(delta.problem));
        QCOMPARE(delta.changed, qint64(carried));
        QCOMPARE(delta.pages, qint64(newer.size()));
        out.close();
        QVERIFY(out.open(QIODevice::ReadOnly));
        const WriteOutcome applied = PageDelta::apply(&out, target, delta.pageSize, delta.pages, delta.sha1);
        QVERIFY2(applied, qPrintable(applied.reason()));
        QCOMPARE(TestSupport::fileBytes(target), pagesOf(newer));

        // Over a different earlier file the same pages do not pass for it.
        if (carried < newer.size()) {
            QVERIFY(TestSupport::writeFile(target, pagesOf(QByteArray(newer.size(), 'z'))));
            QVERIFY(out.seek(0));
            QVERIFY(!PageDelta::apply(&out, target, delta.pageSize, delta.pages, delta.sha1));
        }
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << qint64(0) << "0 KB";
        QTest::newRow("a few bytes are not nothing") << qint64(10) << "1 KB";
        QTest::newRow("kilobytes rounded") << qint64(1536) << "2 KB";
        QTest::newRow("megabytes with a decimal") << qint64(357564416) << "341.0 MB";
        QTest::newRow("gigabytes with two") << qint64(2576980378) << "2.40 GB";
    }

    void sizeText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(RestoreBackupDialog::sizeText(bytes), text);
    }

    // The dialog says how much room all backups take, against the data file.
    void totalShown_data()
    {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<qint64>("bank");
        QTest::addColumn<qint64>("dataFile");
        QTest::addColumn<QString>("text");
        QTest::newRow("seven days on one bank copy")
            << QList<qint64>{1 << 20, 1 << 20, 1 << 20, 1 << 20, 1 << 20, 1 << 20, 1 << 20} << qint64(120) * (1 << 20)
            << qint64(341) * (1 << 20) << "7 份备份共占 127.0 MB（其中共用的题库副本 120.0 MB），数据文件 341.0 MB。";
        QTest::newRow("only old plain ones")
            << QList<qint64>{1 << 20, 341 << 20} << qint64(0) << qint64(341) * (1 << 20) << "2 份备份共占 342.0 MB，数据文件 341.0 MB。";
        QTest::newRow("an unreadable one counts its bytes too")
            << QList<qint64>{0, 512} << qint64(0) << qint64(2048) << "2 份备份共占 1 KB，数据文件 2 KB。";
    }

    void totalShown()
    {
        QFETCH(QList<qint64>, sizes);
        QFETCH(qint64, bank);
        QFETCH(qint64, dataFile);
        QFETCH(QString, text);
        QList<BackupEntry> entries;
        for (qint64 bytes : sizes)
            entries << entryOf(bytes);
        QCOMPARE(RestoreBackupDialog::totalText(entries, bank, dataFile), text);
    }

    // The bank's pages are kept once while the bank stays much the same; a
    // bank changed in more than a quarter of its pages gets a copy of its
    // own, and a copy goes with the last backup that needs it. Each backup
    // gives back its own day.
    void bankCopyKeptOnceWhileTheBankStays()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection::instance(QString(), true)->reopen();
        QSqlDatabase connection = DbConnection::instance(QString(), true)->database();
        const QString folder = BackupStore::folderFor(db.path());
        // Days after the clock of the restores' own backups.
        const QDateTime start(QDate(2027, 1, 1), QTime(8, 0));
        const int shipped = FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question"));
        for (int day = 0; day < 3; ++day) {
            QVERIFY(FavouriteStore::setFavourite(QStringLiteral("km1q00%1").arg(day + 1), QStringLiteral("km1f1"), true));
            QVERIFY(BackupStore::backup(connection, db.path(), QStringLiteral("daily"), start.addDays(day)));
        }
        QCOMPARE(QDir(folder).entryList({QStringLiteral("bank-*.zip")}), QStringList{QStringLiteral("bank-20270101-080000.zip")});

        // An import's worth of questions.
        QVERIFY(FreshDatabase::exec(QStringLiteral(
            "with recursive n(i) as (select 1 union all select i+1 from n where i<400) "
            "insert into exam_question(id,title) select 'imp'||i, printf('%.*c', 300, 'x')||i from n")));
        QVERIFY(BackupStore::backup(connection, db.path(), QStringLiteral("import"), start.addDays(3)));
        QCOMPARE(QDir(folder).entryList({QStringLiteral("bank-*.zip")}).size(), 2);

        const BackupEntry beforeImport = BackupStore::list(db.path()).last();
        QCOMPARE(beforeImport.taken, start);
        QVERIFY(BackupStore::restore(beforeImport.path));
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question")), shipped);
        QCOMPARE(FreshDatabase::column(QStringLiteral("select questionid from exam_Collect")), QStringList{QStringLiteral("km1q001")});

        // The backup after the import holds its questions: restored, they are back.
        QVERIFY(BackupStore::restore(BackupStore::list(db.path()).first().path));
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question")), shipped + 400);

        // The copies are a day old by then; one just written stays for the hour.
        for (const QString &bank : QDir(folder).entryList({QStringLiteral("bank-*.zip")})) {
            QFile copy(folder + QLatin1Char('/') + bank);
            QVERIFY(copy.open(QIODevice::ReadWrite)
                    && copy.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        }
        for (int day = 4; day < 11; ++day)
            QVERIFY(BackupStore::backup(connection, db.path(), QStringLiteral("daily"), start.addDays(day)));
        QCOMPARE(BackupStore::list(db.path()).size(), BackupStore::kept);
        QCOMPARE(QDir(folder).entryList({QStringLiteral("bank-*.zip")}), QStringList{QStringLiteral("bank-20270104-080000.zip")});
    }

    void dialogShowsSizesAndTotal()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection::instance(QString(), true)->reopen();
        for (int day = 0; day < 2; ++day)
            QVERIFY(BackupStore::backup(DbConnection::instance(QString(), true)->database(), db.path(), QStringLiteral("daily"),
                                        QDateTime(QDate(2026, 12, 1 + day), QTime(9, 0))));
        // A quick backup's plain copy has the longest size text.
        QVERIFY(BackupStore::quickBackup(DbConnection::instance(QString(), true)->database(), db.path(),
                                         QStringLiteral("import"), QDateTime(QDate(2026, 12, 3), QTime(9, 0))));
        const QList<BackupEntry> backups = BackupStore::list(db.path());
        RestoreBackupDialog dialog(db.path());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Each line's size in sight even where the screen is too narrow for
        // whole lines: the dialog as wide as the screen allows, the size
        // before the records.
        const int screenWidth = dialog.screen()->availableGeometry().width();
        const QFontMetrics metrics(dialog.list->font());
        for (int row = 0; row < backups.size(); ++row) {
            const QString text = dialog.list->item(row)->text();
            const QString size = QStringLiteral("（%1）").arg(RestoreBackupDialog::sizeText(backups.at(row).bytes));
            QVERIFY2(text.contains(size), qPrintable(text));
            QVERIFY(metrics.horizontalAdvance(text.left(text.indexOf(size) + size.size())) < dialog.list->viewport()->width());
        }
        QVERIFY(dialog.list->horizontalScrollBar()->maximum() == 0 || dialog.width() >= screenWidth * 9 / 10);
        QStringList labels;
        for (QLabel *label : dialog.findChildren<QLabel *>())
            labels << label->text();
        QVERIFY2(labels.contains(RestoreBackupDialog::totalText(backups, BackupStore::bankBytes(db.path()), QFileInfo(db.path()).size())),
                 qPrintable(labels.join('\n')));
    }
};

TESSERA_TEST_MAIN(BackupsTest)
#include "tst_backups.moc"
