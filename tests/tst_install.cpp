#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

// The build places the files that sit beside the program and makes data.db
// from the sample bank only when none exists: a user's records survive every
// rebuild.
class InstallTest : public QObject
{
    Q_OBJECT

private:
    static bool runInstall(const QString &binDir)
    {
        QProcess cmake;
        cmake.start(QStringLiteral(TESSERA_CMAKE_COMMAND),
                    {QStringLiteral("-DSOURCE_DIR=" TESSERA_SOURCE_DIR),
                     QStringLiteral("-DBIN_DIR=") + binDir,
                     QStringLiteral("-P"), TestSupport::sourcePath(QStringLiteral("tools/install_assets.cmake"))});
        return cmake.waitForFinished(120000) && cmake.exitStatus() == QProcess::NormalExit
            && cmake.exitCode() == 0;
    }

    // Runs one statement on its own connection; for a select, the first value,
    // otherwise the number of rows changed (-1 on failure).
    static int run(const QString &dbPath, const QString &sql)
    {
        int result = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("install"));
            db.setDatabaseName(dbPath);
            if (db.open()) {
                QSqlQuery query(db);
                if (query.exec(sql))
                    result = query.isSelect() ? (query.next() ? query.value(0).toInt() : -1)
                                              : query.numRowsAffected();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("install"));
        return result;
    }

private slots:
    void freshFolderGetsAssetsAndTheSampleBank()
    {
        QTemporaryDir dir;
        QVERIFY(runInstall(dir.path()));
        for (const char *file : {"data.db", "js/jQuery.js", "js/popup.js", "js/swfobject.js",
                                 "css/maincss.css", "css/welcss.css", "css/jijin.css", "css/mc.css",
                                 "images/index11.png"})
            QVERIFY2(QFile::exists(dir.filePath(QLatin1String(file))), file);
        QCOMPARE(run(dir.filePath(QStringLiteral("data.db")), QStringLiteral("select count(*) from exam_subject")), 2);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("data.db.new"))));
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
};

TESSERA_TEST_MAIN(InstallTest)
#include "tst_install.moc"
