#include "testsupport.h"

#include <QCryptographicHash>
#include <QProcess>

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
        QTest::newRow("unknown format") << QStringList{"--db", "DB", "--format", "odt", "FILE"} << sound << false
                                        << 2 << "odt" << -1;
        const QByteArray book = "一、单项选择题\n1．甲\nA．x  B．y\n答案：B\n二、判断题\n1．乙（√）\n";
        QTest::newRow("a question book in text")
            << QStringList{"--db", "DB", "--subject", "s", "FILE"} << book << false << 0 << "新增 2" << 2;
        QTest::newRow("a question book, dry run")
            << QStringList{"--db", "DB", "--subject", "s", "--dry-run", "--format", "book", "FILE"} << book << false
            << 0 << "2 道题" << -1;
        QTest::newRow("a question book with an unanswered question names its line")
            << QStringList{"--db", "DB", "--subject", "s", "FILE"} << book + "2．丙\n" << false << 1
            << "bank.gift:7: 错误: 判断题没有答案" << -1;
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
};

TESSERA_TEST_MAIN(ImportCliTest)
#include "tst_import_cli.moc"
