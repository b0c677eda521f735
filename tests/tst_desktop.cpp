// The program as a desktop program: where it finds its files, the arguments it
// answers, and one running program per data folder.

#include "testsupport.h"
#include "apppaths.h"
#include "commandline.h"
#include "frontwindow.h"
#include "singleinstance.h"

#include <QApplication>
#include <QRegularExpression>
#include <QWidget>
#include <atomic>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// What a second start of the program on dataDir does, from another thread as
// from another process: true when it would run, false when it handed over.
bool secondStartRuns(const QString &dataDir)
{
    std::atomic<int> runs{-1};
    std::thread second([&] { runs = SingleInstance(dataDir).claim() ? 1 : 0; });
    // The running program answers from this thread's event loop meanwhile.
    (void)QTest::qWaitFor([&] { return runs != -1; }, 15000);
    second.join();
    return runs == 1;
}

// A socket file that nobody listens on, as a crashed run leaves it.
bool leaveStaleSocket(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= int(sizeof address.sun_path))
        return false;
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound && QFileInfo::exists(path);
}

} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void locate_data()
    {
        QTest::addColumn<bool>("pagesBeside");
        QTest::addColumn<bool>("pagesShared");
        QTest::addColumn<bool>("installed");
        QTest::newRow("build folder") << true << false << false;
        QTest::newRow("installed under a prefix") << false << true << true;
        QTest::newRow("portable copy inside a prefix") << true << true << false;
        QTest::newRow("page files nowhere: beside the program") << false << false << false;
    }

    void locate()
    {
        QFETCH(bool, pagesBeside);
        QFETCH(bool, pagesShared);
        QFETCH(bool, installed);
        QTemporaryDir prefix;
        const QString bin = prefix.filePath(QStringLiteral("程序 bin")) + QLatin1Char('/');
        const QString shared = prefix.filePath(QStringLiteral("share/tessera")) + QLatin1Char('/');
        QDir().mkpath(bin);
        if (pagesBeside)
            writeFile(bin + QStringLiteral("css/welcss.css"), "body{}");
        if (pagesShared)
            writeFile(shared + QStringLiteral("css/welcss.css"), "body{}");
        const QString user = prefix.filePath(QStringLiteral("home/.local/share/tessera"));

        const AppPaths paths = AppPaths::locate(bin.chopped(1), user);
        QCOMPARE(paths.installed(), installed);
        QCOMPARE(paths.pageDir(), installed ? shared : bin);
        QCOMPARE(paths.dataDir(), installed ? user + QLatin1Char('/') : bin);
    }

    void prepareDataFolder_data()
    {
        QTest::addColumn<QByteArray>("database");      // data.db before; "-" for none
        QTest::addColumn<bool>("withSampleBank");
        QTest::addColumn<QByteArray>("databaseAfter"); // "(missing)" for none
        QTest::addColumn<QByteArray>("imageAfter");    // img/sub/p.svg, shipped or the user's
        QTest::newRow("first start") << QByteArray("-") << true << QByteArray("sample bank") << QByteArray("shipped");
        QTest::newRow("empty data.db, own image") << QByteArray() << true << QByteArray("sample bank") << QByteArray("mine");
        QTest::newRow("user's records") << QByteArray("my records") << true << QByteArray("my records")
                                        << QByteArray("mine");
        QTest::newRow("sample bank missing") << QByteArray("-") << false << QByteArray("(missing)")
                                             << QByteArray("shipped");
    }

    void prepareDataFolder()
    {
        QFETCH(QByteArray, database);
        QFETCH(bool, withSampleBank);
        QFETCH(QByteArray, databaseAfter);
        QFETCH(QByteArray, imageAfter);
        QTemporaryDir prefix;
        const QString shared = prefix.filePath(QStringLiteral("share/tessera/"));
        writeFile(shared + QStringLiteral("css/welcss.css"), "body{}");
        writeFile(shared + QStringLiteral("img/sub/p.svg"), "shipped");
        if (withSampleBank)
            writeFile(shared + AppPaths::sampleBankName, "sample bank");
        const QString user = prefix.filePath(QStringLiteral("home/data/"));
        if (database != "-") {
            writeFile(user + QStringLiteral("data.db"), database);
            writeFile(user + QStringLiteral("img/sub/p.svg"), "mine");
        }

        const AppPaths paths = AppPaths::locate(prefix.filePath(QStringLiteral("bin")), user);
        QVERIFY(paths.installed());
        QCOMPARE(paths.prepareDataFolder().isEmpty(), withSampleBank);
        QCOMPARE(readFile(user + QStringLiteral("data.db")), databaseAfter);
        QCOMPARE(readFile(user + QStringLiteral("img/sub/p.svg")), imageAfter);
        QVERIFY(!QFile::exists(user + QStringLiteral("data.db.new")));
        // A second start finds everything in place.
        QCOMPARE(paths.prepareDataFolder().isEmpty(), withSampleBank);
        QCOMPARE(readFile(user + QStringLiteral("data.db")), databaseAfter);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("saying"); // a pattern
        QTest::addColumn<int>("exitCode");
        const int run = int(CommandLine::Action::Run), help = int(CommandLine::Action::Help);
        const int version = int(CommandLine::Action::Version), refuse = int(CommandLine::Action::Refuse);
        QTest::newRow("none") << QStringList() << run << "^$" << 0;
        QTest::newRow("--version") << QStringList{"--version"} << version << "^tessera \\d+\\.\\d+\\.\\d+\n$" << 0;
        QTest::newRow("--help") << QStringList{"--help"} << help << "^Usage: tessera .*--version +show" << 0;
        QTest::newRow("-h") << QStringList{"-h"} << help << "^Usage: tessera" << 0;
        QTest::newRow("a file") << QStringList{"exam.db"} << refuse << "unexpected argument 'exam.db'" << 2;
        QTest::newRow("help and more") << QStringList{"--help", "now"} << refuse << "unexpected argument 'now'" << 2;
        QTest::newRow("two answers") << QStringList{"--version", "--help"} << refuse << "argument '--help'" << 2;
        QTest::newRow("empty argument") << QStringList{""} << refuse << "unexpected argument ''" << 2;
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, saying);
        QFETCH(int, exitCode);
        const CommandLine line = CommandLine::parse(arguments);
        QCOMPARE(int(line.action()), action);
        const QRegularExpression pattern(saying, QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(pattern.match(line.text()).hasMatch(), qPrintable(line.text()));
        if (action != int(CommandLine::Action::Run))
            QCOMPARE(line.print(), exitCode);
    }

    void secondStartHandsOver_data()
    {
        QTest::addColumn<bool>("staleSocket");
        QTest::newRow("program running") << false;
        QTest::newRow("socket left by a crashed run") << true;
    }

    void secondStartHandsOver()
    {
        QFETCH(bool, staleSocket);
        QTemporaryDir data, other;
        SingleInstance first(data.path());
        if (staleSocket)
            QVERIFY(leaveStaleSocket(QDir::temp().filePath(first.serverName())));
        QVERIFY(first.claim());
        QSignalSpy forward(&first, &SingleInstance::activationRequested);
        QVERIFY(!secondStartRuns(data.path()));
        QCOMPARE(forward.count(), 1);
        // A program on another data folder runs alongside.
        SingleInstance elsewhere(other.path());
        QVERIFY(elsewhere.claim());
        QVERIFY(!secondStartRuns(other.path()));
        QCOMPARE(forward.count(), 1);
    }

    void bringProgramForward_data()
    {
        QTest::addColumn<bool>("mainShown");
        QTest::addColumn<bool>("otherShown"); // an exam or search window in its place
        QTest::newRow("main window minimised") << true << false;
        QTest::newRow("exam window minimised, main window hidden") << false << true;
        QTest::newRow("nothing shown") << false << false;
    }

    void bringProgramForward()
    {
        QFETCH(bool, mainShown);
        QFETCH(bool, otherShown);
        QWidget main, other;
        if (mainShown)
            main.showMinimized();
        if (otherShown)
            other.showMinimized();
        ::bringProgramForward(&main);
        QWidget &front = otherShown && !mainShown ? other : main;
        QVERIFY(front.isVisible());
        QVERIFY(!front.isMinimized());
        QCOMPARE(main.isVisible(), mainShown || !otherShown);
    }
};

TESSERA_TEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
