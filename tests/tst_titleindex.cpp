#include "testsupport.h"

#include "bankfile.h"
#include "bankwriter.h"
#include "bigramtokenizer.h"
#include "questionsearch.h"
#include "schemamigration.h"
#include "titleindex.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <sqlite3.h>

using TestSupport::FileConnection;
using TestSupport::FreshDatabase;
using TestSupport::database;

namespace {

QString questionRow(const QString &id, int type, const QString &title, const QString &relationship = QString(),
                    const QString &subject = QString())
{
    QString quoted = title;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("insert into exam_question(id,questionTypeid,title,titleImage,optionLength,answer,"
                          "relationship,subjectid) values('%1',%2,'%3','%3',4,'A','%4',%5);\n")
        .arg(id)
        .arg(type)
        .arg(quoted, relationship,
             subject.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + subject + QLatin1Char('\''));
}

// Chinese stems of several lengths, a composite with parts, Latin in both
// cases, wildcards and two subjects.
QString bank()
{
    return questionRow("q1", 1, "安全生产管理规定中，下列说法正确的是", QString(), "s1")
        + questionRow("q2", 2, "火灾发生时应当立即报警", QString(), "s1")
        + questionRow("q3", 1, "电气设备的安全检查", QString(), "s2")
        + questionRow("q4", 3, "TCP/IP 协议与 tcp 端口", QString(), "s2")
        + questionRow("q5", 1, "完成率达到 50% 以上，a_b 记为合格")
        + questionRow("c1", 6, "阅读材料：某厂发生火灾后的整改")
        + questionRow("c1a", 1, "整改的第一步", "c1")
        + questionRow("c1b", 3, "火", "c1")
        + questionRow("q6", 4, "火")
        + questionRow("q7", 1, "表情😀符号的题目");
}

// The hits as "rowid number.leafNo".
QStringList labelledHits(const QString &keyword, QuestionSearch::IndexUse indexUse,
                         const SubjectScope &scope = SubjectScope())
{
    QuestionSearch finder(database(), keyword, scope, indexUse);
    if (finder.finish() != QuestionSearch::Status::Done)
        return {QStringLiteral("failed: ") + finder.error()};
    QStringList hits;
    for (const SearchHit &hit : finder.hits())
        hits << QStringLiteral("%1 %2.%3").arg(hit.rowid).arg(hit.number).arg(hit.leafNo);
    return hits;
}

// The index read each way it can be.
const QVector<QuestionSearch::IndexUse> indexWays{QuestionSearch::IndexUse::WhenPossible,
                                                  QuestionSearch::IndexUse::InTypeOrder,
                                                  QuestionSearch::IndexUse::SortedAfter};

QStringList hitIds(const QString &keyword)
{
    QuestionSearch finder(database(), keyword);
    if (finder.finish() != QuestionSearch::Status::Done)
        return {QStringLiteral("failed: ") + finder.error()};
    QStringList ids;
    QSqlQuery id(database());
    id.prepare(QStringLiteral("select id from exam_question where rowid=:r"));
    for (const SearchHit &hit : finder.hits()) {
        id.bindValue(QStringLiteral(":r"), hit.rowid);
        if (id.exec() && id.next())
            ids << id.value(0).toString();
    }
    return ids;
}

// FTS5's own check that the index holds exactly the titles of exam_question.
bool indexMatchesTitles(QSqlDatabase db)
{
    QSqlQuery check(db);
    const bool ok = check.exec(QStringLiteral("insert into %1(%1) values('integrity-check')").arg(TitleIndex::table));
    if (!ok)
        qWarning() << check.lastError().text();
    return ok;
}

int queued()
{
    return FreshDatabase::scalar(QStringLiteral("select count(*) from ") + TitleIndex::queue);
}

QByteArray giftFile()
{
    return "::g1:: 新导入的火灾题目 {=甲 ~乙 ~丙}\n\n::g2:: 另一道安全题 {=甲 ~乙 ~丙}\n\n";
}

} // namespace

class TitleIndexTest : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data();
    void tokens();
    void sameHitsWithAndWithoutIndex_data();
    void sameHitsWithAndWithoutIndex();
    void indexCatchesUpWithWrites_data();
    void indexCatchesUpWithWrites();
    void importLeavesIndexCaughtUp();
    void connectionWithoutTokenizerStillWrites();
    void everyNewConnectionKnowsTheTokenizer();
    void indexMissingSearchesByScanning();
    void upgradeFromEarlierVersion_data();
    void upgradeFromEarlierVersion();
};

void TitleIndexTest::tokens_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("query");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::newRow("Chinese: pairs, then the last character")
        << QByteArray("安全生产") << false << QByteArrayList{"安全", "全生", "生产", "产"};
    QTest::newRow("Chinese query: pairs only") << QByteArray("安全生产") << true
                                               << QByteArrayList{"安全", "全生", "生产"};
    QTest::newRow("one character, document") << QByteArray("安") << false << QByteArrayList{"安"};
    QTest::newRow("one character, query") << QByteArray("安") << true << QByteArrayList{"安"};
    QTest::newRow("ASCII folded to lower case")
        << QByteArray("TCP/Ip") << false << QByteArrayList{"tc", "cp", "p/", "/i", "ip", "p"};
    QTest::newRow("other capitals kept") << QByteArray("ÉA") << false << QByteArrayList{"Éa", "a"};
    QTest::newRow("mixed scripts and spaces")
        << QByteArray("Wi 安全") << false << QByteArrayList{"wi", "i ", " 安", "安全", "全"};
    QTest::newRow("emoji is one character")
        << QByteArray("a😀b") << false << QByteArrayList{"a😀", "😀b", "b"};
    QTest::newRow("empty") << QByteArray() << false << QByteArrayList{};
    QTest::newRow("empty query") << QByteArray() << true << QByteArrayList{};
    QTest::newRow("invalid byte stands alone")
        << QByteArray("\xE5" "a") << false << QByteArrayList{"\xE5" "a", "a"};
    QTest::newRow("sequence cut short at the end")
        << QByteArray("a\xE5\xAE") << false << QByteArrayList{"a\xE5", "\xE5\xAE", "\xAE"};
}

void TitleIndexTest::tokens()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, query);
    QFETCH(QByteArrayList, expected);
    const auto purpose = query ? BigramTokenizer::Purpose::Query : BigramTokenizer::Purpose::Document;
    QCOMPARE(BigramTokenizer::tokens(text, purpose).toList(), expected);
}

void TitleIndexTest::sameHitsWithAndWithoutIndex_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("one Chinese character") << "火" << "" << QStringList{"q2", "q6", "c1a", "c1b"};
    QTest::newRow("one character ending a title") << "是" << "" << QStringList{"q1"};
    QTest::newRow("two characters") << "安全" << "" << QStringList{"q1", "q3"};
    QTest::newRow("two characters ending a title") << "题目" << "" << QStringList{"q7"};
    QTest::newRow("three characters and more") << "安全检查" << "" << QStringList{"q3"};
    QTest::newRow("only in a part finds nothing") << "第一步" << "" << QStringList{};
    QTest::newRow("Latin in any case") << "tcp" << "" << QStringList{"q4"};
    QTest::newRow("one Latin letter in any case") << "I" << "" << QStringList{"q4"};
    QTest::newRow("punctuation") << "，" << "" << QStringList{"q1", "q5"};
    QTest::newRow("percent is literal") << "0%" << "" << QStringList{"q5"};
    QTest::newRow("underscore is literal") << "a_b" << "" << QStringList{"q5"};
    QTest::newRow("underscore alone") << "_" << "" << QStringList{"q5"};
    QTest::newRow("emoji") << "😀" << "" << QStringList{"q7"};
    QTest::newRow("query syntax stays a keyword") << "\"火 OR 安\"*" << "" << QStringList{};
    QTest::newRow("a long keyword") << "安全生产管理规定中，下列说法正确的是" << "" << QStringList{"q1"};
    QTest::newRow("subject kept to") << "安全" << "s2" << QStringList{"q3"};
    QTest::newRow("rows without subject under every subject") << "火" << "s1" << QStringList{"q2", "q6", "c1a", "c1b"};
    QTest::newRow("absent") << "量子" << "" << QStringList{};
}

// Searched while the rows wait in the queue, then once the index holds them.
void TitleIndexTest::sameHitsWithAndWithoutIndex()
{
    QFETCH(QString, keyword);
    QFETCH(QString, subject);
    QFETCH(QStringList, ids);
    FreshDatabase db(bank());
    QVERIFY(db.ok());
    const SubjectScope scope = subject.isEmpty() ? SubjectScope() : SubjectScope(subject);
    for (const bool caughtUp : {false, true}) {
        if (caughtUp)
            QVERIFY(TitleIndex::catchUp(database()));
        QCOMPARE(queued() == 0, caughtUp);
        QVERIFY(QuestionSearch(database(), keyword).usesIndex());
        const QStringList scanned = labelledHits(keyword, QuestionSearch::IndexUse::Never, scope);
        for (const QuestionSearch::IndexUse way : indexWays)
            QCOMPARE(labelledHits(keyword, way, scope), scanned);
        if (subject.isEmpty())
            QCOMPARE(hitIds(keyword), ids);
        else
            QCOMPARE(scanned.size(), ids.size());
    }
}

void TitleIndexTest::indexCatchesUpWithWrites_data()
{
    QTest::addColumn<QString>("writes");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("insert") << questionRow("w1", 1, "新增的消防题") << "消防" << QStringList{"w1"};
    QTest::newRow("title changed") << "update exam_question set title='改名的电气题' where id='q2'" << "改名"
                                   << QStringList{"q2"};
    QTest::newRow("old title gone") << "update exam_question set title='改名' where id='q2'" << "报警"
                                    << QStringList{};
    QTest::newRow("changed twice")
        << "update exam_question set title='第一次' where id='q2';\nupdate exam_question set title='第二次' where id='q2'"
        << "次" << QStringList{"q2"};
    QTest::newRow("other column changed") << "update exam_question set answer='B' where id='q2'" << "报警"
                                          << QStringList{"q2"};
    QTest::newRow("deleted") << "delete from exam_question where id='q3'" << "电气" << QStringList{};
    QTest::newRow("deleted and written again")
        << "delete from exam_question where id='q7';\n" + questionRow("q7", 1, "重新写入")
        << "写入" << QStringList{"q7"};
    QTest::newRow("inserted, changed and deleted before catching up")
        << questionRow("w2", 1, "临时") + "update exam_question set title='临时改' where id='w2';\n"
                                           "delete from exam_question where id='w2'"
        << "临时" << QStringList{};
    QTest::newRow("replaced") << "insert or replace into exam_question(id,questionTypeid,title,relationship) "
                                 "values('q3',1,'替换后的题','')"
                              << "替换" << QStringList{"q3"};
    QTest::newRow("title emptied") << "update exam_question set title=NULL where id='q1'" << "安全"
                                   << QStringList{"q3"};
}

// Whatever was written, the index equals the titles once it caught up, and the
// search gives the same before and after.
void TitleIndexTest::indexCatchesUpWithWrites()
{
    QFETCH(QString, writes);
    QFETCH(QString, keyword);
    QFETCH(QStringList, ids);
    FreshDatabase db(bank());
    QVERIFY(db.ok());
    QVERIFY(TitleIndex::catchUp(database()));
    QVERIFY(FreshDatabase::exec(writes));
    QCOMPARE(hitIds(keyword), ids);
    QVERIFY(TitleIndex::catchUp(database()));
    QCOMPARE(queued(), 0);
    QVERIFY(indexMatchesTitles(database()));
    QCOMPARE(hitIds(keyword), ids);
    QCOMPARE(labelledHits(keyword, QuestionSearch::IndexUse::WhenPossible),
             labelledHits(keyword, QuestionSearch::IndexUse::Never));
}

void TitleIndexTest::importLeavesIndexCaughtUp()
{
    FreshDatabase db(bank());
    QVERIFY(db.ok());
    QTemporaryDir images;
    ImportRequest request;
    request.newSubjectName = QStringLiteral("导入科目");
    request.sourceName = QStringLiteral("new.gift");
    request.paperName = QStringLiteral("导入试卷");
    request.imageDir = images.path();
    const ParsedBank parsed = BankFile::parse(giftFile(), QStringLiteral("gift"));
    QVERIFY(BankWriter(database()).write(parsed, request).ok);
    QCOMPARE(queued(), 0);
    QVERIFY(indexMatchesTitles(database()));
    QCOMPARE(hitIds(QStringLiteral("火灾")).size(), 4);
}

// A connection that was never given the tokenizer (a program that forgot it,
// another tool) cannot read the index, yet writes questions; the program's
// connection finds them.
void TitleIndexTest::connectionWithoutTokenizerStillWrites()
{
    FreshDatabase db(bank());
    QVERIFY(db.ok());
    QVERIFY(TitleIndex::catchUp(database()));
    {
        sqlite3_reset_auto_extension();
        FileConnection other(db.path());
        BigramTokenizer::installOnEveryConnection();
        QVERIFY(other.isOpen());
        QSqlQuery read(other.database());
        QVERIFY(!read.prepare(QStringLiteral("select rowid from %1 where %1 match 'x'").arg(TitleIndex::table)));
        QSqlQuery write(other.database());
        QVERIFY2(write.exec(questionRow("o1", 1, "别处写入的火灾题")), qPrintable(write.lastError().text()));
        QVERIFY(write.exec(QStringLiteral("update exam_question set title='别处改过' where id='q3'")));
        QVERIFY(write.exec(QStringLiteral("delete from exam_question where id='q2'")));
    }
    QCOMPARE(hitIds(QStringLiteral("火灾")), (QStringList{"o1", "c1a", "c1b"}));
    QCOMPARE(hitIds(QStringLiteral("别处")), (QStringList{"q3", "o1"}));
    QVERIFY(TitleIndex::catchUp(database()));
    QVERIFY(indexMatchesTitles(database()));
    QCOMPARE(hitIds(QStringLiteral("别处")), (QStringList{"q3", "o1"}));
}

// Every connection the process opens can read the index, as the data file's
// check does with its own.
void TitleIndexTest::everyNewConnectionKnowsTheTokenizer()
{
    FreshDatabase db(bank());
    QVERIFY(db.ok());
    FileConnection other(db.path());
    QVERIFY(other.isOpen());
    QSqlQuery read(other.database());
    QVERIFY2(read.exec(QStringLiteral("select count(*) from %1 where %1 match '\"火灾\"'").arg(TitleIndex::table))
                 && read.next(),
             qPrintable(read.lastError().text()));
    QCOMPARE(other.column(QStringLiteral("pragma integrity_check")), QStringList{"ok"});
}

void TitleIndexTest::indexMissingSearchesByScanning()
{
    FreshDatabase db(bank());
    QVERIFY(db.ok());
    QVERIFY(FreshDatabase::exec(QStringLiteral("drop table ") + TitleIndex::table));
    QVERIFY(!QuestionSearch(database(), QStringLiteral("安全")).usesIndex());
    QCOMPARE(hitIds(QStringLiteral("安全")), (QStringList{"q1", "q3"}));
    QVERIFY(FreshDatabase::exec(questionRow("w1", 1, "仍可写入")));
    QVERIFY(!TitleIndex::catchUp(database()));
    QCOMPARE(hitIds(QStringLiteral("写入")), QStringList{"w1"});
}

// The trigram index and its triggers as version 4 built them.
const char *const versionFourIndex =
    "CREATE VIRTUAL TABLE question_title_index USING fts5(title, tokenize='trigram');\n"
    "CREATE TRIGGER question_title_index_insert AFTER INSERT ON exam_question BEGIN "
    "INSERT OR REPLACE INTO question_title_index(rowid, title) VALUES (new.rowid, new.title); END;\n"
    "CREATE TRIGGER question_title_index_update AFTER UPDATE OF title ON exam_question BEGIN "
    "DELETE FROM question_title_index WHERE rowid = old.rowid; "
    "INSERT OR REPLACE INTO question_title_index(rowid, title) VALUES (new.rowid, new.title); END;\n"
    "CREATE TRIGGER question_title_index_delete AFTER DELETE ON exam_question BEGIN "
    "DELETE FROM question_title_index WHERE rowid = old.rowid; END;\n";

void TitleIndexTest::upgradeFromEarlierVersion_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("version 7, with the trigram index") << 7;
    QTest::newRow("version 8, with the pairs index") << 8;
}

// A data file of an earlier version upgrades to the pairs index and the type
// order, and finds the same every way.
void TitleIndexTest::upgradeFromEarlierVersion()
{
    QFETCH(int, version);
    FreshDatabase db;
    QVERIFY(db.ok());
    const QString path = db.path();
    QSqlDatabase connection = database();
    connection.close();
    QVERIFY(QFile::remove(path));
    QVERIFY(connection.open());
    QVERIFY(FreshDatabase::exec(
        QString::fromUtf8(TestSupport::fileBytes(TestSupport::sourcePath(QStringLiteral("data/schema.sql"))))));
    QVector<SchemaMigration::Step> earlier;
    for (const SchemaMigration::Step &step : SchemaMigration::steps())
        if (step.version <= version)
            earlier << step;
    QCOMPARE(SchemaMigration::migrate(connection, earlier).toVersion, version);
    if (version < 8)
        QVERIFY(FreshDatabase::exec(QString::fromLatin1(versionFourIndex)));
    QVERIFY(FreshDatabase::exec(bank()));
    if (version < 8)
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from question_title_index")), 10);

    const SchemaMigration::Result result = SchemaMigration::migrate(connection);
    QCOMPARE(result.toVersion, SchemaMigration::latestVersion());
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from sqlite_master where type='index' "
                                                  "and name='idx_question_toplevel_type'")),
             1);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from sqlite_master where name like "
                                                  "'question_title_index%'")),
             0);
    // Version 8 found the rows in its queue; the migration leaves them there.
    if (version < 8) {
        QCOMPARE(queued(), 0);
        QVERIFY(indexMatchesTitles(connection));
    }
    for (const QString &keyword : {QStringLiteral("火"), QStringLiteral("安全"), QStringLiteral("安全检查")}) {
        QVERIFY(QuestionSearch(connection, keyword).usesIndex());
        const QStringList scanned = labelledHits(keyword, QuestionSearch::IndexUse::Never);
        for (const QuestionSearch::IndexUse way : indexWays)
            QCOMPARE(labelledHits(keyword, way), scanned);
    }
}

TESSERA_TEST_MAIN(TitleIndexTest)
#include "tst_titleindex.moc"
