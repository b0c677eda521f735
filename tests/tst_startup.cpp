#include "testsupport.h"
#include "pagetext.h"
#include "pageview.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QUrl>

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void opensTheDatabaseBesideItFromAnotherDirectory()
    {
        QTemporaryDir appDir, workDir;
        QVERIFY(appDir.isValid() && workDir.isValid());
        const QString program = appDir.filePath(QStringLiteral("tessera"));
        const QString database = appDir.filePath(QStringLiteral("data.db"));
        QVERIFY(QFile::copy(QStringLiteral(TESSERA_BIN_DIR "/tessera"), program));
        QVERIFY(TestSupport::writeDatabaseFile(
            database, QStringLiteral("INSERT INTO exam_subject (id, name) VALUES ('s1', '计算机基础');")));

        TestSupport::ChildProgram tessera(program, QProcessEnvironment::systemEnvironment(), workDir.path());
        QVERIFY2(tessera.waitUntilHolding(database), tessera.process().readAllStandardError().constData());
        QVERIFY(!QFile::exists(workDir.filePath(QStringLiteral("data.db"))));

        // Give the event loop a moment to run; the program must still be up.
        QTest::qWait(500);
        QVERIFY(tessera.running());

        tessera.stop();
        QVERIFY(!tessera.running());

        // The bank beside the program is still the one it was started with.
        TestSupport::FileConnection file(database);
        QVERIFY(file.isOpen());
        QCOMPARE(file.column(QStringLiteral("select name from exam_subject")).value(0), QStringLiteral("计算机基础"));
    }

    void readTextFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString chinese = QStringLiteral("答题情况：第一题\n");
        QTest::newRow("UTF-8 without byte-order mark") << chinese.toUtf8() << chinese;
        QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xef\xbb\xbf") + chinese.toUtf8() << chinese;
        QByteArray utf16(reinterpret_cast<const char *>(chinese.utf16()), chinese.size() * 2);
        QTest::newRow("UTF-16 with byte-order mark") << QByteArray("\xff\xfe") + utf16 << chinese;
        QTest::newRow("empty file") << QByteArray() << QString();
    }

    void readTextFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.js"));
        QVERIFY(TestSupport::writeFile(path, bytes));

        // A machine whose locale is not UTF-8 must read the same text.
        QTextCodec *previous = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
        const QString read = ::readTextFile(path);
        const QString resource = ::readTextFile(QStringLiteral(":/js/mian.js"));
        QTextCodec::setCodecForLocale(previous);

        QCOMPARE(read, text);
        QVERIFY(resource.contains(QStringLiteral("信息提示")));
        QVERIFY(!resource.startsWith(QChar(0xFEFF)));
    }

    void readTextFileOfMissingFileIsEmpty()
    {
        QVERIFY(::readTextFile(QStringLiteral("/nonexistent/nothing.js")).isEmpty());
    }

    void fileUrlBase_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("base");
        QTest::newRow("absolute path") << "/x/y" << "file:///x/y/";
        QTest::newRow("absolute path with slash") << "/x/y/" << "file:///x/y/";
        QTest::newRow("root") << "/" << "file:///";
        QTest::newRow("drive letter, space kept") << "C:/Exam Tool/" << "file:///C:/Exam Tool/";
        QTest::newRow("drive letter without slash") << "C:/Exam Tool" << "file:///C:/Exam Tool/";
        QTest::newRow("Chinese folder") << QStringLiteral("/home/考生/练习 系统") << QStringLiteral("file:///home/考生/练习 系统/");
    }

    void fileUrlBase()
    {
        QFETCH(QString, directory);
        QFETCH(QString, base);
        QCOMPARE(::fileUrlBase(directory), base);
        QVERIFY(!::fileUrlBase(directory).contains(QLatin1String("////")));
    }

    void appFileUrlBaseNamesTheProgramDirectory()
    {
        const QString base = appFileUrlBase();
        QCOMPARE(base, ::fileUrlBase(QCoreApplication::applicationDirPath()));
        const QUrl jquery(base + QStringLiteral("js/jQuery.js"));
        QVERIFY(jquery.isLocalFile());
        QCOMPARE(jquery.toLocalFile(), QCoreApplication::applicationDirPath() + QStringLiteral("/js/jQuery.js"));
        QVERIFY(QFile::exists(jquery.toLocalFile()));
    }

    // Texts escaped into a script string and into a script string inside an
    // HTML attribute must come out unchanged in a real page.
    void escapedTextsRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("abc 123");
        QTest::newRow("single quotes") << QStringLiteral("it's 'quoted'");
        QTest::newRow("double quotes") << QStringLiteral("say \"hi\"");
        QTest::newRow("backslashes") << QStringLiteral("C:\\dir\\ and \\' and trailing \\");
        QTest::newRow("newlines and tabs") << QStringLiteral("one\ntwo\r\nthree\tfour");
        QTest::newRow("end of script") << QStringLiteral("</script><script>window.hacked=1;</script>");
        QTest::newRow("markup and entities") << QStringLiteral("<b>&amp; & &lt; \"></div>");
        QTest::newRow("line separators") << QStringLiteral("a\u2028b\u2029c");
        QTest::newRow("control characters") << QString::fromUtf8("a\x01" "b\x1f" "c");
        QTest::newRow("Chinese") << QStringLiteral("答案：北京|上海");
        QTest::newRow("empty") << QString();
    }

    void escapedTextsRoundTrip()
    {
        QFETCH(QString, text);
        PageView view;
        const QString html = QStringLiteral(
            "<html><body><script type=\"text/javascript\">window.inScript = '%1';</script>"
            "<div id=\"d\" onclick=\"window.inAttribute = '%2';\"></div>"
            "<script type=\"text/javascript\">window.after = 'reached';</script></body></html>")
            .arg(jsEscape(text), jsEscapeInAttribute(text));
        // The page's scripts have run once it is ready.
        QVERIFY(TestSupport::loadPage(&view, html));
        const auto js = [&view](const QString &script) { return TestSupport::pageValue(&view, script).toString(); };
        QCOMPARE(js(QStringLiteral("window.after")), QStringLiteral("reached"));
        QCOMPARE(js(QStringLiteral("window.inScript")), text);
        js(QStringLiteral("document.getElementById('d').onclick()"));
        QCOMPARE(js(QStringLiteral("window.inAttribute")), text);
        // The page's own two scripts, beside the stamp the view adds to every page.
        QCOMPARE(js(QStringLiteral("document.body.getElementsByTagName('script').length + ',' + typeof window.hacked")),
                 QStringLiteral("2,undefined"));
        // The same texts as arguments of a call the program evaluates.
        QCOMPARE(js(QStringLiteral("(function (a) { return a; })('%1')").arg(jsEscape(text))), text);
    }
};

TESSERA_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
