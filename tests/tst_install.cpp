#include "testsupport.h"
#include "apppaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

struct Outcome {
    int exitCode = -1;
    QString output; // standard and error output
};

Outcome runProgram(const QString &program, const QStringList &arguments,
                   const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                   int timeoutMs = 120000)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Outcome outcome;
    if (!process.waitForStarted(30000)) {
        outcome.output = program + QStringLiteral(": ") + process.errorString();
        return outcome;
    }
    if (process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit) {
        outcome.exitCode = process.exitCode();
    } else {
        process.kill();
        process.waitForFinished(15000);
    }
    outcome.output = QString::fromLocal8Bit(process.readAll());
    return outcome;
}

Outcome installTo(const QString &prefix)
{
    return runProgram(QStringLiteral(TESSERA_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(TESSERA_BUILD_DIR), QStringLiteral("--prefix"), prefix});
}

bool isInstalled(const QString &debianPackage)
{
    const Outcome status = runProgram(QStringLiteral("dpkg-query"), {"-W", "-f", "${Status}", debianPackage});
    return status.exitCode == 0 && status.output.contains(QLatin1String("install ok installed"));
}

// What an installation holds, relative to its prefix.
QStringList installedFiles()
{
    const QString id = AppPaths::desktopId;
    QStringList files = {"bin/tessera", "bin/tessera-import", "share/man/man1/tessera-import.1.gz",
                         "share/tessera/css/welcss.css", "share/tessera/js/jQuery.js", "share/tessera/js/jquery.flot.js",
                         "share/tessera/images/index11.png", "share/tessera/img/vonneumann.svg",
                         "share/tessera/sample_bank.db", "share/applications/" + id + ".desktop",
                         "share/metainfo/" + id + ".metainfo.xml", "share/icons/hicolor/scalable/apps/" + id + ".svg",
                         "share/doc/tessera/copyright", "share/doc/tessera/changelog.gz", "share/man/man1/tessera.1.gz"};
    for (const QString library : {"prodconf", "prodconf2", "AgentCard", "UpdateNote"})
        files.append("lib/tessera/companions/lib" + library + ".so");
    for (const QString size : {"48x48", "128x128", "256x256"})
        files.append("share/icons/hicolor/" + size + "/apps/" + id + ".png");
    return files;
}

} // namespace

// The build places the files that sit beside the program and makes data.db
// from the sample bank only when none exists: a user's records survive every
// rebuild. An installation keeps them in the user's data folder.
class InstallTest : public QObject
{
    Q_OBJECT

private:
    static bool runInstall(const QString &binDir)
    {
        return runProgram(QStringLiteral(TESSERA_CMAKE_COMMAND),
                          {"-DSOURCE_DIR=" TESSERA_SOURCE_DIR, "-DBIN_DIR=" + binDir, "-P",
                           TestSupport::sourcePath(QStringLiteral("tools/install_assets.cmake"))})
                   .exitCode == 0;
    }

    // Runs one statement on its own connection; for a select, the first value,
    // otherwise the number of rows changed (-1 on failure).
    static int run(const QString &dbPath, const QString &sql)
    {
        TestSupport::FileConnection file(dbPath);
        QSqlQuery query(file.database());
        if (!file.isOpen() || !query.exec(sql))
            return -1;
        return query.isSelect() ? (query.next() ? query.value(0).toInt() : -1) : query.numRowsAffected();
    }

private slots:
    void freshFolderGetsAssetsAndTheSampleBank()
    {
        QTemporaryDir dir;
        QVERIFY(runInstall(dir.path()));
        for (const char *file : {"data.db", "js/jQuery.js", "js/jquery.flot.js", "js/popup.js", "js/swfobject.js",
                                 "css/maincss.css", "css/welcss.css", "css/jijin.css", "css/mc.css",
                                 "images/index11.png"})
            QVERIFY2(QFile::exists(dir.filePath(QLatin1String(file))), file);
        QCOMPARE(run(dir.filePath(QStringLiteral("data.db")), QStringLiteral("select count(*) from exam_subject")), 2);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("sample_bank.db.new"))));
        QCOMPARE(run(dir.filePath(QStringLiteral("sample_bank.db")), QStringLiteral("select count(*) from exam_subject")), 2);
    }

    // A data.db of 0 bytes (left by an older program that opened a missing
    // file) holds nothing: the sample bank takes its place.
    void emptyDataFileGetsTheSampleBank()
    {
        QTemporaryDir dir;
        QFile empty(dir.filePath(QStringLiteral("data.db")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QVERIFY(runInstall(dir.path()));
        QCOMPARE(run(empty.fileName(), QStringLiteral("select count(*) from exam_subject")), 2);
    }

    void rebuildKeepsTheUsersDatabase()
    {
        QTemporaryDir dir;
        QVERIFY(runInstall(dir.path()));
        const QString db = dir.filePath(QStringLiteral("data.db"));
        QCOMPARE(run(db, QStringLiteral("insert into exam_answer(id,paperId,rightCount) values('mine','km1p1',7)")), 1);
        QCOMPARE(run(db, QStringLiteral("delete from exam_subject where id='km2'")), 1);

        QVERIFY(runInstall(dir.path()));
        QCOMPARE(run(db, QStringLiteral("select rightCount from exam_answer where id='mine'")), 7);
        QCOMPARE(run(db, QStringLiteral("select count(*) from exam_subject")), 1);
    }

    void installedProgramKeepsTheUsersRecordsInTheirDataFolder()
    {
        QTemporaryDir root;
        const QString prefix = root.filePath(QStringLiteral("prefix")) + QLatin1Char('/');
        const Outcome installed = installTo(prefix);
        QVERIFY2(installed.exitCode == 0, qPrintable(installed.output));
        for (const QString &file : installedFiles())
            QVERIFY2(QFileInfo::exists(prefix + file), qPrintable(file));
        const Outcome entry = runProgram(QStringLiteral("desktop-file-validate"),
                                         {prefix + "share/applications/" + AppPaths::desktopId + ".desktop"});
        QVERIFY2(entry.exitCode == 0 && entry.output.isEmpty(), qPrintable(entry.output));
        const Outcome metadata = runProgram(QStringLiteral("appstreamcli"),
            {"validate", "--no-net", prefix + "share/metainfo/" + AppPaths::desktopId + ".metainfo.xml"});
        QVERIFY2(metadata.exitCode == 0, qPrintable(metadata.output));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        const QString program = prefix + QStringLiteral("bin/tessera");
        const QString dataDir = root.filePath(QStringLiteral("home/.local/share/tessera/"));
        const QString database = dataDir + QStringLiteral("data.db");
        {
            TestSupport::ChildProgram first(program, env);
            QVERIFY2(first.waitUntilHolding(database), first.process().readAllStandardError().constData());
            QCOMPARE(run(database, QStringLiteral("select count(*) from exam_subject")), 2);
            QVERIFY(QFile::exists(dataDir + QStringLiteral("img/vonneumann.svg")));

            // A second start hands over to the running program and ends.
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            const Outcome second = runProgram(program, {}, env, 30000);
            QVERIFY2(second.exitCode == 0 && second.output.contains(QStringLiteral("已在使用")),
                     qPrintable(second.output));
            QVERIFY(first.running());
        }
        QCOMPARE(run(database, QStringLiteral("insert into exam_answer(id,paperId,rightCount) values('mine','km1p1',7)")), 1);

        // Installing again and starting again keep the records.
        QCOMPARE(installTo(prefix).exitCode, 0);
        TestSupport::ChildProgram again(program, env);
        QVERIFY(again.waitUntilHolding(database));
        again.stop();
        QCOMPARE(run(database, QStringLiteral("select rightCount from exam_answer where id='mine'")), 7);
    }

    void debianPackage()
    {
        QTemporaryDir out;
        const Outcome cpack = runProgram(QStringLiteral(TESSERA_CPACK_COMMAND),
            {"-G", "DEB", "--config", TESSERA_BUILD_DIR "/CPackConfig.cmake", "-B", out.path()});
        QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
        const QStringList packages = QDir(out.path()).entryList({QStringLiteral("tessera_*.deb")});
        QCOMPARE(packages.size(), 1);
        const QString package = out.filePath(packages.first());

        const QString contents = runProgram(QStringLiteral("dpkg-deb"), {"-c", package}).output;
        for (const QString &file : installedFiles())
            QVERIFY2(contents.contains(QStringLiteral(" ./usr/") + file), qPrintable(file));
        const QString depends = runProgram(QStringLiteral("dpkg-deb"), {"-f", package, "Depends"}).output;
        QStringList wanted = {"libqt5network5", "libqt5sql5-sqlite", "libjs-jquery", "libjs-jquery-flot", "fonts-noto-cjk",
                              "qttranslations5-l10n"};
        // The package needs the engine it was built with, and only that one:
        // the other may not exist in the release it installs on.
        const bool webEngine = QLatin1String(TESSERA_BUILT_WEB_ENGINE) == QLatin1String("webengine");
        if (webEngine)
            wanted << "libqt5webenginewidgets5" << "libqt5webchannel5";
        else
            wanted << "libqt5webkit5" << "gstreamer1.0-plugins-good";
        for (const QString &dependency : qAsConst(wanted))
            QVERIFY2(depends.contains(dependency), qPrintable(dependency + QStringLiteral(" in ") + depends));
        const QString otherEngine = webEngine ? QStringLiteral("libqt5webkit") : QStringLiteral("libqt5webengine");
        QVERIFY2(!depends.contains(otherEngine), qPrintable(depends));
        // Built here, it installs here: every dependency (one of its
        // alternatives) is a package this system has installed.
        for (const QString &dependency : depends.trimmed().split(QLatin1Char(','))) {
            bool satisfied = false;
            for (const QString &alternative : dependency.split(QLatin1Char('|')))
                satisfied = satisfied || isInstalled(alternative.trimmed().section(QLatin1Char(' '), 0, 0));
            QVERIFY2(satisfied, qPrintable(dependency));
        }
        const Outcome lintian = runProgram(QStringLiteral("lintian"), {"--fail-on", "error", package});
        QVERIFY2(lintian.exitCode == 0, qPrintable(lintian.output));
    }
};

TESSERA_TEST_MAIN(InstallTest)
#include "tst_install.moc"
