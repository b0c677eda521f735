#include "testsupport.h"

#include "bankfile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <memory>
#include <quazip.h>
#include <quazipfile.h>
#include <sys/resource.h>

// tessera-import run as the user runs it, on a database of its own.
namespace {

int questionCount(const QString &dbPath)
{
    return TestSupport::FileConnection(dbPath).scalar(QStringLiteral("select count(*) from exam_question"));
}

// A one-question workbook whose sheet and shared strings are padded with
// blanks (between elements, where XML allows them) to the given sizes: a
// small file that expands to many megabytes.
bool writePaddedWorkbook(const QString &path, qint64 sheetPadding, qint64 stringsPadding)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    const auto member = [&zip](const char *name, const QByteArray &head, qint64 padding, const QByteArray &tail) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(QLatin1String(name))))
            return false;
        file.write(head);
        const QByteArray blanks(1 << 20, ' ');
        for (qint64 left = padding; left > 0; left -= blanks.size())
            file.write(blanks.constData(), qMin<qint64>(left, blanks.size()));
        file.write(tail);
        file.close();
        return file.getZipError() == 0;
    };
    const bool ok = member("xl/workbook.xml", "<workbook><sheets><sheet r:id=\"rId1\" xmlns:r=\"r\"/></sheets></workbook>", 0, "")
        && member("xl/_rels/workbook.xml.rels",
                  "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/></Relationships>", 0, "")
        && member("xl/sharedStrings.xml", QString::fromUtf8("<sst><si><t>题干</t></si><si><t>答案</t></si>").toUtf8(),
                  stringsPadding, "</sst>")
        && member("xl/worksheets/sheet1.xml",
                  QString::fromUtf8("<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
                                    "<c r=\"B1\" t=\"s\"><v>1</v></c></row><row r=\"2\"><c r=\"A2\" t=\"inlineStr\">"
                                    "<is><t>天是蓝的</t></is></c><c r=\"B2\" t=\"inlineStr\"><is><t>对</t></is></c></row>")
                      .toUtf8(),
                  sheetPadding, "</sheetData></worksheet>");
    zip.close();
    return ok && zip.getZipError() == 0;
}

// The largest resident size of the child processes waited for so far, in MB.
long childPeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss / 1024;
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
        QTest::newRow("a question of six options is refused, the rest imported")
            << QStringList{"--db", "DB", "--subject", "s", "FILE"} << QByteArray("Six {=1 ~2 ~3 ~4 ~5 ~6}\n\nQ2 {T}\n")
            << false << 0 << "1 道题题库不能保存" << 1;
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
        QTest::newRow("a text file past 24 MiB is refused")
            << QStringList{"--db", "DB", "--subject", "s", "FILE"} << sound.repeated(25 * 1024 * 1024 / sound.size())
            << false << 1 << "文本的题库文件最大 24 MiB" << -1;
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

    // A small XLSX that expands past the bound of a part is refused saying
    // so; one just within it is read as a stream; neither takes much memory.
    void spreadsheetBomb_data()
    {
        QTest::addColumn<qint64>("sheetPadding");
        QTest::addColumn<qint64>("stringsPadding");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const qint64 mib = 1024 * 1024;
        QTest::newRow("a sheet expanding to 250 MiB") << 250 * mib << qint64(0) << 1 << "展开后超过 64 MiB";
        QTest::newRow("shared strings expanding to 100 MiB") << qint64(0) << 100 * mib << 1 << "展开后超过 64 MiB";
        QTest::newRow("a sheet of 60 MiB") << 60 * mib << qint64(0) << 0 << "新增 1";
    }

    void spreadsheetBomb()
    {
        QFETCH(qint64, sheetPadding);
        QFETCH(qint64, stringsPadding);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString dbPath = dir.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(dbPath));
        const QString book = dir.filePath(QStringLiteral("bomb.xlsx"));
        QVERIFY(writePaddedWorkbook(book, sheetPadding, stringsPadding));
        QVERIFY(QFileInfo(book).size() < 1024 * 1024);
        QProcess process;
        process.start(QStringLiteral(TESSERA_BIN_DIR "/tessera-import"), {"--db", dbPath, "--subject", "s", book});
        QVERIFY(process.waitForFinished(120000));
        const QString output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        QCOMPARE(process.exitCode(), status);
        QVERIFY2(output.contains(message), qPrintable(output));
#ifndef TESSERA_SANITIZE
        // (The sanitizers' own bookkeeping doubles a program's memory.)
        QVERIFY2(childPeakMegabytes() < 300, qPrintable(QString::number(childPeakMegabytes())));
#endif
    }

    // The bank as shipped has never been migrated: export still finds every
    // question of the subject, and an export that finds none fails.
    void exportShippedBank_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("gift") << "计算机基础知识" << "gift" << 0 << "已导出";
        QTest::newRow("moodle xml") << "计算机基础知识" << "xml" << 0 << "已导出";
        QTest::newRow("csv") << "计算机基础知识" << "csv" << 0 << "已导出";
#ifndef TESSERA_SANITIZE
        QTest::newRow("xlsx") << "计算机基础知识" << "xlsx" << 0 << "已导出";
#endif
        QTest::newRow("a subject without questions") << "空科目" << "gift" << 1 << "没有找到可导出的题目";
    }

    void exportShippedBank()
    {
        QFETCH(QString, subject);
        QFETCH(QString, suffix);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString dbPath = dir.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(
            dbPath, TestSupport::sampleBankSql() + QStringLiteral("\nINSERT INTO exam_subject(id,name) VALUES('km9','空科目');")));
        const int shipped = TestSupport::FileConnection(dbPath).scalar(
            QStringLiteral("select count(*) from exam_question where id like 'km1%' and ifnull(relationship,'')=''"));
        QVERIFY(shipped > 0);
        const QString target = dir.filePath(QStringLiteral("x.") + suffix);
        QProcess process;
        process.start(QStringLiteral(TESSERA_BIN_DIR "/tessera-import"),
                      {"--db", dbPath, "--subject", subject, "--export", target});
        QVERIFY(process.waitForFinished(30000));
        const QString output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        QCOMPARE(process.exitCode(), status);
        QVERIFY2(output.contains(message), qPrintable(output));
        if (status != 0) {
            QVERIFY(!QFile::exists(target));
            return;
        }
        QVERIFY2(output.contains(QStringLiteral("已导出 %1 道题").arg(shipped)), qPrintable(output));
        const ParsedBank back = BankFile::read(target);
        QCOMPARE(back.questions.size(), shipped);
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
