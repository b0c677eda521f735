#include "testsupport.h"

#include "bigramtokenizer.h"
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

// What an import stored before imports were sanitised: a paper with a
// section, a chapter of its own, a question filed there and one filed under a
// shipped chapter; and shipped rows whose trusted HTML the sanitiser would
// otherwise change.
const QStringList importedBeforeSanitising{
    "INSERT INTO exam_paper(id,name,asname,subjectId) VALUES('ip','<img src=x onerror=alert(1)>导入','导入<script>x</script>','km1')",
    "INSERT INTO exam_paper_static(id,paperId,subjectid,captionName) VALUES('ips','ip','km1','单项选择题<svg onload=alert(1)>')",
    "INSERT INTO exam_chapter(id,subjectid,name) VALUES('ic','km1','<svg onload=alert(1)>章')",
    "INSERT INTO exam_question(id,questionTypeid,title,titleImage,option1,option2,option5,answer,analysis,source,chapterId,subjectid) "
    "VALUES('iq',1,'<img src=x onerror=\"myjstest.del_question(''km1q002'')\">题干','<img src=x onerror=alert(1)>题干',"
    "'<script>alert(1)</script>甲','<b onclick=\"x()\">乙</b>',NULL,'A','<iframe src=\"javascript:alert(1)\"></iframe>解析','bank.csv','ic','km1')",
    "INSERT INTO exam_question(id,questionTypeid,title,titleImage,answer,chapterId,subjectid) "
    "VALUES('iq2',4,'<a href=\"javascript:alert(1)\">填</a>____','填____','<img src=x onerror=alert(2)>答','km1c1','km1')",
    "INSERT INTO import_paper(paperId,subjectId,sourceName,format) VALUES('ip','km1','bank.csv','csv')",
    "INSERT INTO import_question(paperId,questionKey,questionId,contentHash) VALUES('ip','h:1','iq','x')",
    "INSERT INTO import_question(paperId,questionKey,questionId,contentHash) VALUES('ip','h:2','iq2','y')",
    "UPDATE exam_question SET title=title||'<span class=\"hint\" onclick=\"myjstest.showAnswerForm()\">提示</span>' WHERE id='km1q001'",
    "UPDATE exam_chapter SET name='<span class=\"c\">计算机系统组成</span>' WHERE id='km1c1'",
};

// Every row of the tables an import writes, but the imported ones.
QStringList shippedRows(QSqlDatabase db)
{
    const QStringList tables{
        "exam_question where id not in ('iq','iq2')", "exam_chapter where id<>'ic'", "exam_paper where id<>'ip'",
        "exam_paper_static where id<>'ips'"};
    QStringList rows;
    for (const QString &table : tables) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("select * from ") + table))
            return {QStringLiteral("unreadable ") + table};
        while (query.next()) {
            QStringList values;
            for (int i = 0; i < query.record().count(); ++i)
                values << query.value(i).toString();
            rows << values.join(QLatin1Char('|'));
        }
    }
    return rows;
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
        QTest::newRow("chapter without a subject, then the category") << "q_blank_chapter" << "s2";
        QTest::newRow("a part's own chapter before its composite") << "q_part_chapter" << "s1";
        QTest::newRow("part of a composite nothing names") << "q_orphan_part" << "";
        QTest::newRow("empty relationship is no composite") << "q_empty_relationship" << "";
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
                "INSERT INTO exam_question(id) VALUES('q_orphan');\n"
                "INSERT INTO exam_chapter(id,subjectid) VALUES('c0','');\n"
                "INSERT INTO exam_question(id,chapterId,fuleixingid) VALUES('q_blank_chapter','c0','f2');\n"
                "INSERT INTO exam_question(id,chapterId,relationship) VALUES('q_part_chapter','c1','q_stem');\n"
                "INSERT INTO exam_question(id,relationship) VALUES('q_orphan_part','q_orphan');\n"
                "INSERT INTO exam_question(id,relationship) VALUES('q_empty_relationship','');\n")));
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

    // A file whose earlier imports stored scripts: opening it cleans the
    // imported rows (and the search index with them); the shipped bank stays.
    void importedRowsLoseTheirScripts_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stem") << "select title from exam_question where id='iq'" << "题干";
        QTest::newRow("shown stem") << "select titleImage from exam_question where id='iq'" << "题干";
        QTest::newRow("option") << "select option1 from exam_question where id='iq'" << "甲";
        QTest::newRow("formatting kept") << "select option2 from exam_question where id='iq'" << "<b>乙</b>";
        QTest::newRow("NULL stays NULL") << "select ifnull(option5,'null') from exam_question where id='iq'" << "null";
        QTest::newRow("explanation") << "select analysis from exam_question where id='iq'" << "解析";
        QTest::newRow("fill-in answer") << "select answer from exam_question where id='iq2'" << "答";
        QTest::newRow("link") << "select title from exam_question where id='iq2'" << "填____";
        QTest::newRow("paper name") << "select name||'/'||asname from exam_paper where id='ip'" << "导入/导入";
        QTest::newRow("section caption") << "select captionName from exam_paper_static where id='ips'" << "单项选择题";
        QTest::newRow("chapter of the import") << "select name from exam_chapter where id='ic'" << "章";
        QTest::newRow("search index") << "select count(*) from question_title_pairs where question_title_pairs "
                                         "match '\"on\" AND \"ne\" AND \"er\" AND \"rr\" AND \"ro\"'" << "0";
        QTest::newRow("chapter shared with the shipped bank")
            << "select name from exam_chapter where id='km1c1'" << "<span class=\"c\">计算机系统组成</span>";
        QTest::newRow("shipped HTML") << "select substr(title,-7) from exam_question where id='km1q001'"
                                      << "</span>";
    }

    void importedRowsLoseTheirScripts()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        const QString path = dir.filePath(QStringLiteral("imported.db"));
        static QStringList shippedBefore;
        if (!QFile::exists(path)) {
            QVERIFY(TestSupport::writeDatabaseFile(path, TestSupport::sampleBankSql()));
            TestSupport::FileConnection file(path);
            QVector<SchemaMigration::Step> earlier;
            for (const SchemaMigration::Step &step : SchemaMigration::steps()) {
                if (step.version < 6)
                    earlier << step;
            }
            QCOMPARE(SchemaMigration::migrate(file.database(), earlier).toVersion, 5);
            for (const QString &statement : importedBeforeSanitising)
                QVERIFY2(QSqlQuery(file.database()).exec(statement), qPrintable(statement));
            shippedBefore = shippedRows(file.database());
            const SchemaMigration::Result result = SchemaMigration::migrate(file.database());
            QCOMPARE(result.outcome, SchemaMigration::Outcome::Migrated);
            QCOMPARE(result.fromVersion, 5);
            QVERIFY(result.toVersion >= 6);
        }
        TestSupport::FileConnection file(path);
        QCOMPARE(shippedRows(file.database()), shippedBefore);
        if (sql.contains(QLatin1String("question_title_pairs"))
            && !BigramTokenizer::installOn(file.database()))
            QSKIP("this SQLite has no full-text index");
        QCOMPARE(scalarText(file.database(), sql), expected);
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
