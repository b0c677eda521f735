// The program as a desktop program: its user's data folder, the arguments it
// answers, and one running program per data folder. (Where an installed
// program finds its files: tst_install.)

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

Q_DECLARE_METATYPE(CommandLine::Action)

namespace {

using TestSupport::writeFile;

// A file that is not there reads "(missing)", so that a comparison names it.
QByteArray readFile(const QString &path)
{
    return QFileInfo::exists(path) ? TestSupport::fileBytes(path) : QByteArray("(missing)");
}

// A second start on dataDir, from another thread as from another process:
// true when it would run, false when it handed over.
bool secondStartRuns(const QString &dataDir)
{
    std::atomic<int> runs{-1};
    std::thread second([&] { runs = SingleInstance(dataDir).claim() ? 1 : 0; });
    (void)QTest::qWaitFor([&] { return runs != -1; }, 15000); // the running one answers meanwhile
    second.join();
    return runs == 1;
}

// The socket file of a crashed run: bound, nobody listening.
bool leaveStaleSocket(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, name.constData(), qMin(size_t(name.size()), sizeof address.sun_path - 1));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void prepareDataFolder_data()
    {
        QTest::addColumn<QByteArray>("database");      // data.db before; "-" for none
        QTest::addColumn<bool>("withSampleBank");
        QTest::addColumn<QByteArray>("databaseAfter");
        QTest::addColumn<QByteArray>("imageAfter");    // img/sub/p.svg: shipped, or the user's own
        QTest::newRow("first start") << QByteArray("-") << true << QByteArray("sample bank") << QByteArray("shipped");
        QTest::newRow("empty data.db, own image") << QByteArray() << true << QByteArray("sample bank") << QByteArray("mine");
        QTest::newRow("user's records") << QByteArray("my records") << true << QByteArray("my records") << QByteArray("mine");
        QTest::newRow("sample bank missing") << QByteArray("-") << false << QByteArray("(missing)") << QByteArray("shipped");
    }

    void prepareDataFolder()
    {
        QFETCH(QByteArray, database);
        QFETCH(bool, withSampleBank);
        QFETCH(QByteArray, databaseAfter);
        QFETCH(QByteArray, imageAfter);
        QTemporaryDir prefix;
        const QString shared = prefix.filePath(QStringLiteral("share/tessera/"));
        const QString user = prefix.filePath(QStringLiteral("home/data/"));
        writeFile(shared + QStringLiteral("css/welcss.css"), "body{}");
        writeFile(shared + QStringLiteral("img/sub/p.svg"), "shipped");
        if (withSampleBank)
            writeFile(shared + AppPaths::sampleBankName, "sample bank");
        if (database != "-") {
            writeFile(user + QStringLiteral("data.db"), database);
            writeFile(user + QStringLiteral("img/sub/p.svg"), "mine");
        }

        const AppPaths paths = AppPaths::locate(prefix.filePath(QStringLiteral("bin")), user);
        QVERIFY(paths.installed());
        for (int start = 1; start <= 2; ++start) { // a second start finds everything in place
            QCOMPARE(paths.prepareDataFolder().isEmpty(), withSampleBank);
            QCOMPARE(readFile(user + QStringLiteral("data.db")), databaseAfter);
            QCOMPARE(readFile(user + QStringLiteral("img/sub/p.svg")), imageAfter);
            QVERIFY(!QFile::exists(user + QStringLiteral("data.db.new")));
        }
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine::Action>("action");
        QTest::addColumn<QString>("saying"); // a pattern
        QTest::newRow("none") << QStringList() << CommandLine::Action::Run << "^$";
        QTest::newRow("--version") << QStringList{"--version"} << CommandLine::Action::Version
                                   << "^tessera \\d+\\.\\d+\\.\\d+\\n$";
        QTest::newRow("--help") << QStringList{"--help"} << CommandLine::Action::Help << "^Usage: tessera .*--version +show";
        QTest::newRow("-h") << QStringList{"-h"} << CommandLine::Action::Help << "^Usage: tessera";
        QTest::newRow("a file") << QStringList{"exam.db"} << CommandLine::Action::Refuse << "argument 'exam.db'";
        QTest::newRow("help and more") << QStringList{"--help", "now"} << CommandLine::Action::Refuse << "argument 'now'";
        QTest::newRow("empty argument") << QStringList{""} << CommandLine::Action::Refuse << "argument ''";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Action, action);
        QFETCH(QString, saying);
        const CommandLine line = CommandLine::parse(arguments);
        QCOMPARE(line.action(), action);
        QVERIFY2(QRegularExpression(saying, QRegularExpression::DotMatchesEverythingOption).match(line.text()).hasMatch(),
                 qPrintable(line.text()));
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
        QTest::newRow("nothing shown: the main window comes back") << false << false;
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
        QVERIFY(front.isVisible() && !front.isMinimized());
        QCOMPARE(main.isVisible(), mainShown || !otherShown);
    }
};

TESSERA_TEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
