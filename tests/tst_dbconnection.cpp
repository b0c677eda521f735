#include "testsupport.h"
#include "dbconnection.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

// The connection is one per process, so every scenario runs in a child: the
// test program starts itself again with the scenario in its environment.
static const char scenarioVariable[] = "TESSERA_DB_CALLS";

// Child side: makes the calls "directory|cipher" separated by newlines and
// prints what the program would see afterwards as one JSON object.
static int runScenario()
{
    const QStringList calls = qEnvironmentVariable(scenarioVariable).split(QLatin1Char('\n'));
    DbConnection *first = nullptr;
    bool same = true;
    for (const QString &call : calls) {
        const int bar = call.lastIndexOf(QLatin1Char('|'));
        DbConnection *connection = DbConnection::instance(call.left(bar), call.mid(bar + 1) == QLatin1String("1"));
        if (!first)
            first = connection;
        same = same && connection == first;
    }
    QSqlDatabase db = first->database();
    QSqlQuery query(db);
    const bool roundTrip = query.exec(QStringLiteral("create table probe (v text)"))
        && query.exec(QStringLiteral("insert into probe values ('考试')"))
        && query.exec(QStringLiteral("select v from probe")) && query.next()
        && query.value(0).toString() == QStringLiteral("考试");
    query.finish();

    QJsonObject facts;
    facts[QStringLiteral("same")] = same;
    facts[QStringLiteral("dbPath")] = first->dbPath;
    facts[QStringLiteral("databaseName")] = db.databaseName();
    facts[QStringLiteral("userName")] = db.userName();
    facts[QStringLiteral("driver")] = db.driverName();
    facts[QStringLiteral("connectionName")] = db.connectionName();
    facts[QStringLiteral("opened")] = first->opened;
    facts[QStringLiteral("isOpen")] = db.isOpen();
    facts[QStringLiteral("roundTrip")] = roundTrip;
    QFile out;
    out.open(stdout, QIODevice::WriteOnly);
    out.write(QJsonDocument(facts).toJson(QJsonDocument::Compact));
    return 0;
}

class DbConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void scenarios_data()
    {
        // Directories: $A and $B are new empty folders, $GONE does not exist;
        // the child runs in $A.
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("dbPath");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QStringList>("created");
        QTest::addColumn<QStringList>("notCreated");

        QTest::newRow("plain driver, same object, first path kept")
            << QStringList{"$A/|0", "$B/|1", "data.db|1"} << "$A/data.db" << "QSQLITE" << true
            << QStringList{"$A/data.db"} << QStringList{"$B/data.db"};
        QTest::newRow("cipher driver opens a real file")
            << QStringList{"$B/|1", "$A/|0"} << "$B/data.db" << "SQLITECIPHER" << true
            << QStringList{"$B/data.db"} << QStringList{"$A/data.db"};
        QTest::newRow("failed open stays failed, no retry")
            << QStringList{"$GONE/|1", "$A/|1", "$B/|0"} << "$GONE/data.db" << "SQLITECIPHER" << false
            << QStringList{} << QStringList{"$A/data.db", "$B/data.db", "$GONE/data.db"};
        QTest::newRow("empty directory opens data.db in the working directory")
            << QStringList{"|0"} << "data.db" << "QSQLITE" << true
            << QStringList{"$A/data.db"} << QStringList{};
    }

    void scenarios()
    {
        QFETCH(QStringList, calls);
        QFETCH(QString, dbPath);
        QFETCH(QString, driver);
        QFETCH(bool, opened);
        QFETCH(QStringList, created);
        QFETCH(QStringList, notCreated);

        QTemporaryDir a, b;
        QVERIFY(a.isValid() && b.isValid());
        auto expand = [&](QString text) {
            return text.replace(QLatin1String("$A"), a.path())
                .replace(QLatin1String("$B"), b.path())
                .replace(QLatin1String("$GONE"), a.path() + QStringLiteral("/gone/deeper"));
        };
        QStringList expandedCalls;
        for (const QString &call : calls)
            expandedCalls << expand(call);

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(scenarioVariable), expandedCalls.join(QLatin1Char('\n')));
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(a.path());
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QJsonObject facts = QJsonDocument::fromJson(child.readAllStandardOutput()).object();
        QVERIFY2(!facts.isEmpty(), child.readAllStandardError().constData());

        QCOMPARE(facts.value("same").toBool(), true);
        QCOMPARE(facts.value("dbPath").toString(), expand(dbPath));
        QCOMPARE(facts.value("databaseName").toString(), expand(dbPath));
        QCOMPARE(facts.value("userName").toString(), QString());
        QCOMPARE(facts.value("driver").toString(), driver);
        QCOMPARE(facts.value("connectionName").toString(), QLatin1String(QSqlDatabase::defaultConnection));
        QCOMPARE(facts.value("opened").toBool(), opened);
        QCOMPARE(facts.value("isOpen").toBool(), opened);
        QCOMPARE(facts.value("roundTrip").toBool(), opened);

        for (const QString &path : created) {
            QFile file(expand(path));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            QCOMPARE(file.read(16), QByteArray("SQLite format 3", 16)); // the header, with its NUL
        }
        for (const QString &path : notCreated)
            QVERIFY2(!QFile::exists(expand(path)), qPrintable(expand(path)));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(scenarioVariable))
        return runScenario();
    DbConnectionTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dbconnection.moc"
