#include "testsupport.h"

#include "dbconnection.h"
#include "schemamigration.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// The user's records on the sample bank: a result, two book entries and two
// favourites, as a program of the previous schema left them.
const QString records = QStringLiteral(
    "INSERT INTO exam_answer(id,subjectid,paperId,rightCount,worngCount,allCount,scoreCuont,score,anserDate,useSecond,answers) "
    "VALUES('r1','km1','km1p1',10,3,19,24.0,40.0,'2026-11-30',1500,'[{\"id\":\"km1q001\"}]');\n"
    "INSERT INTO error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid) "
    "VALUES('km1q002','km1','km1c1','','km1p1',2,'km1f1');\n"
    "INSERT INTO error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid) "
    "VALUES('km2q001','km2','km2c1','','km2p1',1,'km2f1');\n"
    "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('km1q003','km1f1');\n"
    "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('km2q002','km2f1');\n"
    "UPDATE exam_question SET isCollect=1 WHERE id IN ('km1q003','km2q002');\n");

const QStringList previousTables{"exam_subject", "exam_chapter", "exam_paper", "exam_paper_static",
                                 "exam_dic_fuleixing", "exam_question", "exam_answer", "error_answer",
                                 "exam_Collect", "t_dic_data"};

// Every row of the previous schema's tables, in the previous columns only.
QStringList previousRows(QSqlDatabase db, const QStringList &questionColumns)
{
    QStringList rows;
    for (const QString &table : previousTables) {
        const QString columns = table == QLatin1String("exam_question") ? questionColumns.join(',')
                                                                          : QStringLiteral("*");
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("select %1 from %2 order by rowid").arg(columns, table)))
            return {QStringLiteral("unreadable ") + table};
        while (query.next()) {
            QStringList values;
            for (int i = 0; i < query.record().count(); ++i)
                values << query.value(i).toString();
            rows << table + QLatin1Char(':') + values.join(QLatin1Char('|'));
        }
    }
    return rows;
}

QStringList columnsOf(QSqlDatabase db, const QString &table)
{
    QStringList names;
    QSqlQuery query(db);
    query.exec(QStringLiteral("select name from pragma_table_info('%1')").arg(table));
    while (query.next())
        names << query.value(0).toString();
    return names;
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

bool createProbeTable(QSqlDatabase db)
{
    return QSqlQuery(db).exec(QStringLiteral("CREATE TABLE probe (v TEXT)"));
}

bool failingStep(QSqlDatabase db)
{
    return QSqlQuery(db).exec(QStringLiteral("ALTER TABLE no_such_table ADD COLUMN v TEXT"));
}

QString scalarText(QSqlDatabase db, const QString &sql)
{
    QSqlQuery query(db);
    return query.exec(sql) && query.next() ? query.value(0).toString() : QStringLiteral("<none>");
}

} // namespace

class MigrationTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString oldBank;

private slots:
    // The program's own connection opens an old data.db: the migration runs on
    // open, once, and every record stays.
    void initTestCase()
    {
        oldBank = dir.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(oldBank, TestSupport::sampleBankSql() + records));
    }

    void openingAnOldBankMigratesItAndKeepsEveryRow()
    {
        QStringList before;
        QStringList questionColumns;
        {
            TestSupport::FileConnection old(oldBank);
            questionColumns = columnsOf(old.database(), QStringLiteral("exam_question"));
            before = previousRows(old.database(), questionColumns);
            QCOMPARE(SchemaMigration::fileVersion(old.database()), 0);
        }
        QVERIFY(before.size() > 200);

        DbConnection *connection = DbConnection::instance(dir.path() + QLatin1Char('/'), true);
        QVERIFY(connection->opened);
        QCOMPARE(connection->migration.outcome, SchemaMigration::Outcome::Migrated);
        QCOMPARE(connection->migration.fromVersion, 0);
        QCOMPARE(connection->migration.toVersion, SchemaMigration::latestVersion());
        QSqlDatabase db = connection->database();
        QCOMPARE(SchemaMigration::fileVersion(db), SchemaMigration::latestVersion());
        QCOMPARE(previousRows(db, questionColumns), before);
        connection->database().close();
    }

    // Where each question's subject comes from: its chapter, its category, a
    // paper that lists it, or its composite; none of them leaves it for all.
    void questionsLearnTheirSubject_data()
    {
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("subject");
        QTest::newRow("from the chapter") << "q_chapter" << "s1";
        QTest::newRow("from the category") << "q_category" << "s2";
        QTest::newRow("from a paper's list") << "q_listed" << "s2";
        QTest::newRow("from its composite") << "q_part" << "s2";
        QTest::newRow("chapter before category") << "q_both" << "s1";
        QTest::newRow("nothing names one") << "q_orphan" << "";
        QTest::newRow("sample bank question") << "km1q001" << "km1";
        QTest::newRow("sample bank case-study part") << "km2q038" << "km2";
    }

    void questionsLearnTheirSubject()
    {
        QFETCH(QString, question);
        QFETCH(QString, subject);
        const QString path = dir.filePath(QStringLiteral("learn.db"));
        if (!QFile::exists(path)) {
            QVERIFY(TestSupport::writeDatabaseFile(path, TestSupport::sampleBankSql() + QStringLiteral(
                "INSERT INTO exam_chapter(id,subjectid) VALUES('c1','s1');\n"
                "INSERT INTO exam_dic_fuleixing(id,subjectid) VALUES('f2','s2');\n"
                "INSERT INTO exam_paper_static(id,paperId,subjectid,questionIds) VALUES('ps','p','s2','[{\"qid\":\"q_listed\"},{\"qid\":\"q_stem\",\"leaf\":[{\"qid\":\"q_part\"}]},7]');\n"
                "INSERT INTO exam_paper_static(id,paperId,subjectid,questionIds) VALUES('bad','p','s1','[{qid:''q_orphan''}]');\n"
                "INSERT INTO exam_question(id,chapterId) VALUES('q_chapter','c1');\n"
                "INSERT INTO exam_question(id,fuleixingid) VALUES('q_category','f2');\n"
                "INSERT INTO exam_question(id) VALUES('q_listed');\n"
                "INSERT INTO exam_question(id) VALUES('q_stem');\n"
                "INSERT INTO exam_question(id,relationship) VALUES('q_part','q_stem');\n"
                "INSERT INTO exam_question(id,chapterId,fuleixingid) VALUES('q_both','c1','f2');\n"
                "INSERT INTO exam_question(id) VALUES('q_orphan');\n")));
            TestSupport::FileConnection file(path);
            QCOMPARE(SchemaMigration::migrate(file.database()).outcome, SchemaMigration::Outcome::Migrated);
        }
        TestSupport::FileConnection file(path);
        QSqlQuery query(file.database());
        QVERIFY(query.prepare(QStringLiteral("select ifnull(subjectid,'') from exam_question where id=:id")));
        query.bindValue(QStringLiteral(":id"), question);
        QVERIFY(query.exec() && query.next());
        QCOMPARE(query.value(0).toString(), subject);
    }

    void secondRunChangesNothing()
    {
        const QString path = dir.filePath(QStringLiteral("twice.db"));
        QVERIFY(TestSupport::writeDatabaseFile(path, TestSupport::sampleBankSql() + records));
        {
            TestSupport::FileConnection file(path);
            QCOMPARE(SchemaMigration::migrate(file.database()).outcome, SchemaMigration::Outcome::Migrated);
        }
        const QByteArray once = fileHash(path);
        {
            TestSupport::FileConnection file(path);
            const SchemaMigration::Result again = SchemaMigration::migrate(file.database());
            QCOMPARE(again.outcome, SchemaMigration::Outcome::UpToDate);
            QCOMPARE(again.toVersion, SchemaMigration::latestVersion());
        }
        QCOMPARE(fileHash(path), once);
    }

    void failureHalfWayLeavesTheFileAsItWas()
    {
        const QString path = dir.filePath(QStringLiteral("fails.db"));
        QVERIFY(TestSupport::writeDatabaseFile(path, TestSupport::sampleBankSql() + records));
        const QByteArray before = fileHash(path);
        const int next = SchemaMigration::latestVersion() + 1;
        const QVector<SchemaMigration::Step> steps = SchemaMigration::steps()
            + QVector<SchemaMigration::Step>{{next, QStringLiteral("probe"), createProbeTable},
                                             {next + 1, QStringLiteral("broken"), failingStep}};
        {
            TestSupport::FileConnection file(path);
            const SchemaMigration::Result result = SchemaMigration::migrate(file.database(), steps);
            QCOMPARE(result.outcome, SchemaMigration::Outcome::Failed);
            QVERIFY2(result.error.startsWith(QStringLiteral("broken：")), qPrintable(result.error));
            QCOMPARE(scalarText(file.database(), QStringLiteral("select count(*) from sqlite_master where name in ('probe','app_setting')")),
                     QStringLiteral("0"));
            QCOMPARE(SchemaMigration::fileVersion(file.database()), 0);
        }
        QCOMPARE(fileHash(path), before);
    }

    void fileWithoutABankIsLeftAlone()
    {
        const QString path = dir.filePath(QStringLiteral("empty.db"));
        {
            TestSupport::FileConnection file(path);
            QCOMPARE(SchemaMigration::migrate(file.database()).outcome, SchemaMigration::Outcome::NotABank);
            QCOMPARE(scalarText(file.database(), QStringLiteral("select count(*) from sqlite_master")), QStringLiteral("0"));
        }
        QCOMPARE(QFile(path).size(), qint64(0));
    }
};

TESSERA_TEST_MAIN(MigrationTest)
#include "tst_migration.moc"
