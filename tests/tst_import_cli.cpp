#include "testsupport.h"

#include <QCryptographicHash>
#include <QProcess>
#include <memory>

// tessera-import run as the user runs it, on a database of its own.
namespace {

int questionCount(const QString &dbPath)
{
    return TestSupport::FileConnection(dbPath).scalar(QStringLiteral("select count(*) from exam_question"));
}

} // namespace

class ImportCliTest : public QObject
{
    Q_OBJECT
private slots:
    void run_data()
    {
        QTest::addColumn<QStringList>("arguments"); // DB and FILE stand for the paths
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("sampleBank");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");       // in the output or the errors
        QTest::addColumn<int>("questions");         // in the database afterwards; -1 unchanged

        const QByteArray sound = "::a::Q1 {T}\n\n::b::Q2 {=x ~y}\n";
        const QByteArray faulty = "Q1 {T}\n\n// c\nQ2 {#1}\n";
        QTest::newRow("imports into a new subject")
            << QStringList{"--db", "DB", "--subject", "新科目", "FILE"} << sound << false << 0 << "新增 2" << 2;
        QTest::newRow("dry run writes nothing")
            << QStringList{"--db", "DB", "--subject", "新科目", "--dry-run", "FILE"} << sound << false << 0
            << "可以导入" << -1;
        QTest::newRow("a faulty file names file and line and imports nothing")
            << QStringList{"--db", "DB", "--subject", "s", "FILE"} << faulty << false << 1 << "bank.gift:4: 错误" << -1;
        QTest::newRow("skip-bad imports the rest")
            << QStringList{"--db", "DB", "--subject", "s", "--skip-bad", "FILE"} << faulty << false << 0
            << "跳过了 1 道" << 1;
        QTest::newRow("format given overrides the content")
            << QStringList{"--db", "DB", "--subject", "s", "--format", "aiken", "FILE"} << sound << false << 1
            << "错误" << -1;
        QTest::newRow("unknown format") << QStringList{"--db", "DB", "--format", "pdf", "FILE"} << sound << false
                                        << 2 << "pdf" << -1;
        QTest::newRow("several subjects, none named")
            << QStringList{"--db", "DB", "FILE"} << sound << true << 2 << "--subject" << -1;
        QTest::newRow("no database") << QStringList{"--db", "DB.missing", "FILE"} << sound << false << 1
                                     << "DB.missing" << -1;
        QByteArray thousands;
        for (int i = 0; i < 2500; ++i)
            thousands += "Q" + QByteArray::number(i) + " {T}\n\n";
        QTest::newRow("a progress line on thousands of questions")
            << QStringList{"--db", "DB", "--subject", "s", "FILE"} << thousands << false << 0 << "已写入 2000/2500"
            << 2500;
        QTest::newRow("no file") << QStringList{"--db", "DB"} << sound << false << 2 << "FILE" << -1;
    }

    void run()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, file);
        QFETCH(bool, sampleBank);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(int, questions);

        QTemporaryDir dir;
        const QString dbPath = dir.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(dbPath, sampleBank ? TestSupport::sampleBankSql() : QString()));
        const QString filePath = dir.filePath(QStringLiteral("bank.gift"));
        QVERIFY(TestSupport::writeFile(filePath, file));
        const QByteArray before = TestSupport::fileBytes(dbPath);
        const int questionsBefore = questionCount(dbPath);

        for (QString &argument : arguments) {
            argument.replace(QLatin1String("DB"), dbPath);
            argument.replace(QLatin1String("FILE"), filePath);
        }
        QProcess process;
        process.start(QStringLiteral(TESSERA_BIN_DIR "/tessera-import"), arguments);
        QVERIFY(process.waitForFinished(30000));
        const QString output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        QCOMPARE(process.exitCode(), status);
        QVERIFY2(output.contains(message.replace(QLatin1String("DB"), dbPath)), qPrintable(output));
        if (questions < 0) {
            QCOMPARE(TestSupport::fileBytes(dbPath), before);
            QCOMPARE(questionCount(dbPath), questionsBefore);
        } else {
            QCOMPARE(questionCount(dbPath), questions);
        }
    }

    // A folder that takes no files and a full disk are named as such, before
    // anything is written, for a file left in the write-ahead journal as the
    // program leaves it.
    void refusedByTheDisk_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("message");
        QTest::newRow("read-only folder") << "read-only folder" << "所在的文件夹是只读的";
        QTest::newRow("full disk") << "full disk" << "所在的磁盘已满";
    }

    void refusedByTheDisk()
    {
        QFETCH(QString, place);
        QFETCH(QString, message);
        QTemporaryDir dir;
        TestSupport::SmallDisk disk(2 << 20);
        if (place == QLatin1String("full disk") && !disk.mounted())
            QSKIP("mounting a small disk is not permitted here");
        const QString folder = place == QLatin1String("full disk") ? QFileInfo(disk.filePath(QStringLiteral("x"))).absolutePath()
                                                                   : dir.path();
        const QString dbPath = folder + QStringLiteral("/data.db");
        QVERIFY(TestSupport::writeDatabaseFile(dbPath, TestSupport::sampleBankSql()));
        QCOMPARE(TestSupport::FileConnection(dbPath).column(QStringLiteral("PRAGMA journal_mode=WAL")),
                 QStringList{QStringLiteral("wal")});
        const QString filePath = dir.filePath(QStringLiteral("bank.gift"));
        QVERIFY(TestSupport::writeFile(filePath, "::a::Q1 {T}\n"));
        const QByteArray before = TestSupport::fileBytes(dbPath);
        std::unique_ptr<TestSupport::Immutable> locked;
        if (place == QLatin1String("read-only folder")) {
            locked = std::make_unique<TestSupport::Immutable>(folder);
            if (!locked->set())
                QSKIP("this file system offers no immutable folders");
        } else {
            QVERIFY(disk.fill());
        }

        QProcess process;
        process.start(QStringLiteral(TESSERA_BIN_DIR "/tessera-import"),
                      {QStringLiteral("--db"), dbPath, QStringLiteral("--subject"), QStringLiteral("新科目"), filePath});
        QVERIFY(process.waitForFinished(30000));
        const QString output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        locked.reset();
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(output.contains(message) && output.contains(QStringLiteral("未导入")), qPrintable(output));
        QVERIFY2(!output.contains(QStringLiteral("升级")), qPrintable(output));
        QCOMPARE(TestSupport::fileBytes(dbPath), before);
    }
};

TESSERA_TEST_MAIN(ImportCliTest)
#include "tst_import_cli.moc"
