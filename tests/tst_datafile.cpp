#include "testsupport.h"

#include "backgroundbackup.h"
#include "backuparchive.h"
#include "backupstore.h"
#include "datafilecheck.h"
#include "datafilegate.h"
#include "dbconnection.h"
#include "favouritestore.h"
#include "notestore.h"
#include "restorebackupdialog.h"
#include "schemamigration.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <optional>

using TestSupport::FreshDatabase;
using State = DataFileCheck::State;

namespace {

bool chattr(const QString &flag, const QString &path)
{
    return QProcess::execute(QStringLiteral("chattr"), {flag, path}) == 0;
}

QString records()
{
    return FreshDatabase::column(QStringLiteral(
               "select (select count(*) from exam_answer)||'/'||(select count(*) from error_answer)||'/'||(select count(*) from exam_Collect)"))
        .value(0);
}

} // namespace

class DataFileTest : public QObject
{
    Q_OBJECT

private slots:
    // Every kind of file that cannot serve is named, with its path.
    void examine_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("problem");
        QTest::newRow("sound") << "sound" << int(State::Usable) << "";
        QTest::newRow("missing") << "missing" << int(State::Missing) << "文件不存在";
        QTest::newRow("empty") << "empty" << int(State::Missing) << "文件是空的（0 字节）";
        QTest::newRow("a folder") << "folder" << int(State::NotAFile) << "这是一个文件夹，不是数据文件";
        QTest::newRow("not a database") << "text" << int(State::NotADatabase) << "不是数据库文件，或文件开头已损坏";
        QTest::newRow("damaged question table") << "damaged exam_question" << int(State::Damaged) << "文件已损坏";
        QTest::newRow("damaged question table, records checked") << "damaged exam_question, records" << int(State::Usable) << "";
        QTest::newRow("misdirected result index, records checked") << "index, records" << int(State::Damaged) << "文件已损坏";
        QTest::newRow("damaged result table, records checked") << "damaged exam_answer, records" << int(State::Damaged) << "文件已损坏";
        QTest::newRow("read-only file") << "immutable file" << int(State::ReadOnly) << "文件是只读的";
        QTest::newRow("read-only folder") << "immutable folder" << int(State::FolderReadOnly) << "所在的文件夹是只读的";
        // The program leaves its file in the write-ahead journal, which needs
        // a shared-memory file beside it even to be read.
        QTest::newRow("read-only folder, write-ahead journal")
            << "immutable folder, wal" << int(State::FolderReadOnly) << "所在的文件夹是只读的";
    }

    void examine()
    {
        QFETCH(QString, kind);
        QFETCH(int, state);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.db"));
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("data.db")));
        } else if (kind == QLatin1String("empty") || kind == QLatin1String("text")) {
            QVERIFY(TestSupport::writeFile(path, kind == QLatin1String("text") ? "not a database at all, just some text to read" : ""));
        } else if (kind != QLatin1String("missing")) {
            QVERIFY(TestSupport::writeDatabaseFile(path, TestSupport::sampleBankSql()
                                                       + QStringLiteral("\nINSERT INTO exam_answer(id,paperId) VALUES('r1','km1p1');")));
        }
        if (kind.endsWith(QLatin1String("wal")))
            QCOMPARE(TestSupport::FileConnection(path).column(QStringLiteral("PRAGMA journal_mode=WAL")),
                     QStringList{QStringLiteral("wal")});
        if (kind.startsWith(QLatin1String("index")))
            QVERIFY(TestSupport::misdirectResultIndex(path));
        if (kind.startsWith(QLatin1String("damaged")))
            QVERIFY(TestSupport::damageTable(path, kind.section(QLatin1Char(' '), 1, 1).remove(QLatin1Char(','))));
        const QString locked = kind == QLatin1String("immutable file") ? path : dir.path();
        const bool immutable = kind.startsWith(QLatin1String("immutable"));
        if (immutable && !chattr(QStringLiteral("+i"), locked))
            QSKIP("this file system offers no immutable files");
        const DataFileCheck::Result result = DataFileCheck::examine(
            path, kind.endsWith(QLatin1String("records")) ? DataFileCheck::Depth::RecordTables : DataFileCheck::Depth::WholeFile);
        if (immutable)
            QVERIFY(chattr(QStringLiteral("-i"), locked));
        QCOMPARE(int(result.state), state);
        QCOMPARE(result.problem.left(problem.size()), problem);
        if (state != int(State::Usable))
            QVERIFY(DataFileCheck::message(result, path).contains(QDir::toNativeSeparators(path)));
        QCOMPARE(QFileInfo(path).exists(), kind != QLatin1String("missing"));
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("data.db-*")}), QStringList());
    }

    // Backups are consistent copies with their records; the newest seven stay.
    void backupsKeepTheNewestSeven()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(FavouriteStore::setFavourite(QStringLiteral("km1q001"), QStringLiteral("km1f1"), true));
        // Notes are records like the others: in the backup, counted in its entry.
        QVERIFY(NoteStore::save(DbConnection::instance(QString(), true)->database(), SubjectScope(),
                                QStringLiteral("km1q001"), QStringLiteral("记住"), QDateTime::currentDateTime()));
        const QDateTime start(QDate(2026, 3, 1), QTime(8, 0));
        for (int day = 0; day < 9; ++day)
            QVERIFY(BackupStore::backup(DbConnection::instance(QString(), true)->database(), db.path(),
                                        day == 8 ? QStringLiteral("import") : QStringLiteral("daily"), start.addDays(day)));
        const QList<BackupEntry> backups = BackupStore::list(db.path());
        QCOMPARE(backups.size(), BackupStore::kept);
        QCOMPARE(backups.first().taken, start.addDays(8));
        QCOMPARE(backups.last().taken, start.addDays(2));
        QCOMPARE(RestoreBackupDialog::entryText(backups.first()),
                 QStringLiteral("2026-03-09 08:00:00  导入前备份（%1）  成绩 0 份，错题 0 道，收藏 1 道，笔记 1 条")
                     .arg(RestoreBackupDialog::sizeText(backups.first().bytes)));
        QVERIFY(BackupStore::backedUpOn(db.path(), QDate(2026, 3, 9)));
        QVERIFY(!BackupStore::backedUpOn(db.path(), QDate(2026, 3, 1)));
        QCOMPARE(QFileInfo(backups.first().path).absolutePath(), QFileInfo(db.path()).absolutePath() + QStringLiteral("/backups"));
    }

    // The day's backup is copied on a thread of its own while the program
    // goes on writing (write-ahead journal); its outcome comes back through
    // the event loop.
    void backupInTheBackground()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection::instance(QString(), true)->reopen();
        QObject receiver;
        std::optional<WriteOutcome> outcome;
        {
            BackgroundBackup backup(db.path(), QStringLiteral("daily"), &receiver,
                                    [&outcome](const WriteOutcome &done) { outcome = done; });
            QVERIFY(FavouriteStore::setFavourite(QStringLiteral("km1q001"), QStringLiteral("km1f1"), true));
            QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 10000);
        }
        QVERIFY(outcome->saved());
        const QList<BackupEntry> backups = BackupStore::list(db.path());
        QCOMPARE(backups.size(), 1);
        QCOMPARE(backups.first().reason, QStringLiteral("daily"));
        QCOMPARE(records(), QStringLiteral("0/0/1"));
    }

    // A restore puts the chosen records back and keeps the replaced ones as a
    // backup of their own; the connection goes on in the write-ahead journal.
    void restoreBringsBackTheRecordsAndKeepsTheReplacedOnes()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection::instance(QString(), true)->reopen();
        QVERIFY(FavouriteStore::setFavourite(QStringLiteral("km1q001"), QStringLiteral("km1f1"), true));
        QVERIFY(BackupStore::backupNow(QStringLiteral("daily")));
        QVERIFY(FavouriteStore::setFavourite(QStringLiteral("km1q002"), QStringLiteral("km1f1"), true));
        QCOMPARE(records(), QStringLiteral("0/0/2"));

        QVERIFY(BackupStore::restore(BackupStore::list(db.path()).first().path));
        QCOMPARE(records(), QStringLiteral("0/0/1"));
        const QList<BackupEntry> backups = BackupStore::list(db.path());
        QCOMPARE(backups.size(), 2);
        QCOMPARE(backups.first().reason, QStringLiteral("restore"));
        QCOMPARE(backups.first().favourites, 2);
        QCOMPARE(FreshDatabase::column(QStringLiteral("PRAGMA journal_mode")), QStringList{QStringLiteral("wal")});
    }

    // A reader in the middle of its reading does not hold up a write.
    void readerDoesNotBlockAWrite()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        DbConnection::instance(QString(), true)->reopen();
        TestSupport::FileConnection reader(db.path());
        QVERIFY(reader.isOpen());
        QSqlQuery reading(reader.database());
        QVERIFY(reading.exec(QStringLiteral("BEGIN")) && reading.exec(QStringLiteral("select id from exam_question")) && reading.next());
        QVERIFY(FavouriteStore::setFavourite(QStringLiteral("km1q001"), QStringLiteral("km1f1"), true));
        reading.finish();
        reading.exec(QStringLiteral("COMMIT"));
    }

    // A pending schema step is preceded by the user's notice and a backup;
    // nothing pending, neither.
    void migrationIsPrecededByABackup()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(path, TestSupport::sampleBankSql()));
        int notices = 0;
        BackupStore::guardMigrations([&notices] { ++notices; });
        const auto unhook = qScopeGuard([]() { SchemaMigration::setBeforeMigrating(nullptr); });
        DbConnection *connection = DbConnection::instance(dir.path() + QLatin1Char('/'), true);
        connection->dbPath = path;
        connection->reopen();
        QCOMPARE(connection->migration.outcome, SchemaMigration::Outcome::Migrated);
        connection->reopen();
        QCOMPARE(connection->migration.outcome, SchemaMigration::Outcome::UpToDate);
        QCOMPARE(notices, 1);
        const QList<BackupEntry> backups = BackupStore::list(path);
        QCOMPARE(backups.size(), 1);
        QCOMPARE(backups.first().reason, QStringLiteral("migration"));
        connection->database().close();
    }

    // The start offers the way out that fits, and quitting changes nothing.
    void startOffersTheWayOut_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("admitted");
        QTest::addColumn<QString>("subjects");
        QTest::newRow("missing, created from the sample bank") << "missing" << "用示例题库新建" << true << "2";
        QTest::newRow("empty, created from the sample bank") << "empty" << "用示例题库新建" << true << "2";
        QTest::newRow("missing, quit") << "missing" << "退出" << false << "";
        QTest::newRow("damaged, newest sound backup") << "damaged" << "用这份备份恢复" << true << "1";
        QTest::newRow("damaged, quit") << "damaged" << "退出" << false << "";
    }

    void startOffersTheWayOut()
    {
        QFETCH(QString, kind);
        QFETCH(QString, button);
        QFETCH(bool, admitted);
        QFETCH(QString, subjects);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.db"));
        const QString sample = dir.filePath(QStringLiteral("sample_bank.db"));
        QVERIFY(TestSupport::writeDatabaseFile(sample, TestSupport::sampleBankSql()));
        if (kind == QLatin1String("empty")) {
            QFile empty(path);
            QVERIFY(empty.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("damaged")) {
            // A sound backup, then a newer damaged one and a damaged file.
            QVERIFY(TestSupport::writeDatabaseFile(path, QStringLiteral("INSERT INTO exam_subject(id,name) VALUES('s1','一');")));
            {
                TestSupport::FileConnection file(path);
                QVERIFY(file.isOpen());
                QVERIFY(BackupStore::backup(file.database(), path, QStringLiteral("daily"), QDateTime(QDate(2026, 1, 1), QTime(9, 0))));
                QVERIFY(BackupStore::backup(file.database(), path, QStringLiteral("daily"), QDateTime(QDate(2026, 1, 2), QTime(9, 0))));
            }
            // The newest backup is a whole zip of a damaged file.
            const QString newest = BackupStore::list(path).first().path;
            const QString inside = dir.filePath(QStringLiteral("inside.db"));
            QVERIFY(BackupArchive::unpack(newest, inside));
            QVERIFY(TestSupport::damageTable(inside, QStringLiteral("exam_subject")));
            QVERIFY(BackupArchive::pack(inside, QJsonObject{{QStringLiteral("results"), 0}}, newest));
            QVERIFY(QFile::remove(inside));
            QVERIFY(TestSupport::damageTable(path, QStringLiteral("exam_subject")));
        }
        QFileInfo original(path);
        const qint64 sizeBefore = original.exists() ? original.size() : -1;

        TestSupport::clickNextMessageBoxButton(button);
        QCOMPARE(DataFileGate::admit(path, sample), admitted);
        if (!admitted) {
            QFileInfo after(path);
            QCOMPARE(after.exists() ? after.size() : -1, sizeBefore);
            return;
        }
        QCOMPARE(DataFileCheck::examine(path).state, State::Usable);
        {
            TestSupport::FileConnection file(path);
            QVERIFY(file.isOpen());
            QCOMPARE(file.column(QStringLiteral("select count(*) from exam_subject")).value(0), subjects);
        }
        if (kind == QLatin1String("damaged"))
            QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("data.db.damaged-*")}).size(), 1);
    }

    // What stands between the start and the file is said in a sentence, with
    // no way out that would touch it; the database's own lines are behind
    // the details button and in the log. Nothing is left beside the file.
    void startTellsWhatStandsInTheWay_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QString>("notSaid");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("read-only folder")
            << "read-only folder" << QStringList{"所在的文件夹是只读的，不能写入", "请让这个文件夹可以写入"} << "损坏"
            << QStringList{"退出"};
        QTest::newRow("full disk, a sound backup beside")
            << "full disk" << QStringList{"所在的磁盘已满", "至少还需要约 2 MB", "腾出空间"} << "损坏" << QStringList{"退出"};
        QTest::newRow("damaged page")
            << "damaged" << QStringList{"文件已损坏：完整性检查发现", "tessera.log", "最近一份完好的备份"} << "page"
            << QStringList{"用这份备份恢复", "退出", "详细信息…"};
    }

    void startTellsWhatStandsInTheWay()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, said);
        QFETCH(QString, notSaid);
        QFETCH(QStringList, buttons);
        QTemporaryDir dir;
        std::unique_ptr<TestSupport::SmallDisk> disk;
        QString folder = dir.path();
        if (kind == QLatin1String("full disk")) {
            disk = std::make_unique<TestSupport::SmallDisk>(2 << 20);
            if (!disk->mounted())
                QSKIP("mounting a small disk is not permitted here");
            folder = QFileInfo(disk->filePath(QStringLiteral("x"))).absolutePath();
        }
        const QString path = folder + QStringLiteral("/data.db");
        QVERIFY(TestSupport::writeDatabaseFile(path, TestSupport::sampleBankSql()));
        {
            TestSupport::FileConnection file(path);
            QCOMPARE(file.column(QStringLiteral("PRAGMA journal_mode=WAL")), QStringList{QStringLiteral("wal")});
            QVERIFY(BackupStore::backup(file.database(), path, QStringLiteral("daily"), QDateTime(QDate(2026, 1, 1), QTime(9, 0))));
        }
        if (kind == QLatin1String("damaged"))
            QVERIFY(TestSupport::miscountCells(path, QStringLiteral("exam_subject")));
        std::unique_ptr<TestSupport::Immutable> locked;
        if (kind == QLatin1String("read-only folder")) {
            locked = std::make_unique<TestSupport::Immutable>(folder);
            if (!locked->set())
                QSKIP("this file system offers no immutable folders");
        }
        if (disk)
            QVERIFY(disk->fill());
        const QByteArray before = TestSupport::fileBytes(path);

        QString text;
        QString details;
        QStringList offered;
        TestSupport::answerNextModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box)
                return;
            text = box->text();
            details = box->detailedText();
            for (QAbstractButton *button : box->buttons())
                offered << button->text();
            TestSupport::clickMessageBoxButton(modal, QStringLiteral("退出"));
        });
        QVERIFY(!DataFileGate::admit(path, dir.filePath(QStringLiteral("no-sample.db"))));
        locked.reset();

        for (const QString &words : said)
            QVERIFY2(text.contains(words), qPrintable(text));
        QVERIFY2(!text.contains(notSaid), qPrintable(text));
        offered.sort();
        buttons.sort();
        QCOMPARE(offered, buttons);
        QCOMPARE(TestSupport::fileBytes(path), before);
        for (const QString &place : {folder, BackupStore::folderFor(path)})
            QCOMPARE(QDir(place).entryList({QStringLiteral("*-shm"), QStringLiteral("*-wal")}), QStringList());
        if (kind == QLatin1String("damaged")) {
            // The integrity check's own lines ("On tree page 2 ...", or "Tree 2 page 2 ..." in newer SQLite).
            QVERIFY2(details.contains(QLatin1String("page"), Qt::CaseInsensitive), qPrintable(details));
            for (const QString &line : details.split(QLatin1Char('\n')))
                QVERIFY2(!text.contains(line), qPrintable(line));
            QVERIFY(TestSupport::fileBytes(folder + QStringLiteral("/tessera.log")).contains(details.toUtf8()));
        } else {
            QCOMPARE(details, QString());
        }
    }

    // The first start of a day checks the whole file once the window is up:
    // a finding is told with the way out a start offers, no backup is taken
    // of the damaged file, and the day's backup follows a sound check.
    void dailyCheckAfterTheWindow_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("settled"); // -1 not called, 0 to end, 1 restored
        QTest::addColumn<QStringList>("reasons"); // of the backups afterwards, newest first
        QTest::newRow("sound: the day's backup follows") << "sound" << "" << "" << -1 << QStringList{"daily", "daily"};
        QTest::newRow("backed up today: nothing due") << "backed up today" << "" << "" << -1 << QStringList{"daily"};
        QTest::newRow("damaged question table, newest sound backup")
            << "damaged" << "用这份备份恢复" << "文件已损坏" << 1 << QStringList{"daily"};
        QTest::newRow("damaged question table, quit") << "damaged" << "退出" << "文件已损坏" << 0 << QStringList{"daily"};
    }

    void dailyCheckAfterTheWindow()
    {
        QFETCH(QString, kind);
        QFETCH(QString, button);
        QFETCH(QString, told);
        QFETCH(int, settled);
        QFETCH(QStringList, reasons);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(path, TestSupport::sampleBankSql()));
        DbConnection *connection = DbConnection::instance(QString(), true);
        connection->dbPath = path;
        connection->reopen();
        QVERIFY(connection->opened);
        QVERIFY(FavouriteStore::setFavourite(QStringLiteral("km1q001"), QStringLiteral("km1f1"), true));
        const QDateTime taken = kind == QLatin1String("backed up today") ? QDateTime::currentDateTime()
                                                                         : QDateTime(QDate(2026, 1, 1), QTime(9, 0));
        QVERIFY(BackupStore::backup(connection->database(), path, QStringLiteral("daily"), taken));
        if (kind == QLatin1String("damaged")) {
            connection->database().close();
            // Where only the whole-file check looks: the start went on.
            QVERIFY(TestSupport::damageTable(path, QStringLiteral("exam_question")));
            QCOMPARE(DataFileCheck::examine(path, DataFileCheck::Depth::RecordTables).state, State::Usable);
            connection->reopen();
        }
        const QByteArray before = TestSupport::fileBytes(path);

        QString text;
        if (!button.isEmpty()) {
            TestSupport::answerNextModal([&](QWidget *modal) {
                if (auto *box = qobject_cast<QMessageBox *>(modal))
                    text = box->text();
                QVERIFY(TestSupport::clickMessageBoxButton(modal, button));
            }, 30000);
        }
        QWidget window;
        int settledWith = -1;
        std::unique_ptr<DailyFileSweep> check =
            DataFileGate::startDailyCheck(&window, [&settledWith](bool restored) { settledWith = restored ? 1 : 0; });
        QCOMPARE(check == nullptr, kind == QLatin1String("backed up today"));
        if (check) {
            // The restore's own note closes unread.
            if (settled == 1)
                TestSupport::answerNextModal([](QWidget *modal) { modal->close(); }, 30000);
            QTRY_VERIFY_WITH_TIMEOUT(check->finished(), 30000);
        }
        check.reset();

        QVERIFY2(text.contains(told), qPrintable(text));
        if (!told.isEmpty())
            QVERIFY(text.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(settledWith, settled);
        QStringList backups;
        for (const BackupEntry &entry : BackupStore::list(path))
            backups << entry.reason;
        QCOMPARE(backups, reasons);
        if (settled == 0)
            QCOMPARE(TestSupport::fileBytes(path), before);
        if (settled == 1) {
            QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("data.db.damaged-*")}).size(), 1);
            QVERIFY(connection->opened);
            QCOMPARE(records(), QStringLiteral("0/0/1"));
        }
        connection->database().close();
    }
};

TESSERA_TEST_MAIN(DataFileTest)
#include "tst_datafile.moc"
