#include "testsupport.h"

#include "bankfile.h"
#include "bankwriter.h"
#include "notestore.h"
#include "questionremoval.h"
#include "schemamigration.h"
#include "sqltransaction.h"

#include <QSqlQuery>
#include <QSqlRecord>

// The candidate's notes on questions: written, edited and removed in a
// subject's scope, found by their words, kept through a re-import of their
// paper, gone with their question, and added to an older data.db without
// touching its rows.
namespace {

using Db = TestSupport::FreshDatabase;
using TestSupport::database;

// Two questions of subject A, one of subject B, one of every subject.
const QString questions = QStringLiteral(
    "insert into exam_question(id,title,subjectid) values('qa1','<b>内存</b>&amp;地址的映射方式','A');\n"
    "insert into exam_question(id,title,subjectid) values('qa2','总线','A');\n"
    "insert into exam_question(id,title,subjectid) values('qb1','网络','B');\n"
    "insert into exam_question(id,title,subjectid) values('q0','共同题',NULL);");

QDateTime at(int minute)
{
    return QDateTime(QDate(2026, 12, 8), QTime(9, minute));
}

SubjectScope scopeNamed(const QString &name)
{
    return SubjectScope(name == QLatin1String("all") ? QString() : name);
}

// Writes "scope:question:text" in order, a minute apart.
bool writeAll(const QStringList &writes)
{
    int minute = 0;
    for (const QString &write : writes) {
        const QStringList parts = write.split(QLatin1Char(':'));
        if (!NoteStore::save(database(), scopeNamed(parts.value(0)), parts.value(1), parts.mid(2).join(':'),
                             at(minute++)))
            return false;
    }
    return true;
}

QStringList idsOf(const QVector<NoteEntry> &entries)
{
    QStringList ids;
    for (const NoteEntry &entry : entries)
        ids << entry.questionId;
    return ids;
}

ImportRequest request()
{
    ImportRequest r;
    r.newSubjectName = QStringLiteral("导入科目");
    r.paperName = QStringLiteral("导入试卷");
    r.sourceName = QStringLiteral("notes.gift");
    return r;
}

// Every row of every table of the file, table by table.
QStringList everyRow(QSqlDatabase db)
{
    QStringList rows;
    QSqlQuery tables(db);
    // The title index is built from the titles, which are compared here.
    tables.exec(QStringLiteral("select name from sqlite_master where type='table' "
                               "and name not like 'question_title%' order by name"));
    while (tables.next()) {
        const QString table = tables.value(0).toString();
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("select * from \"%1\"").arg(table)))
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

} // namespace

class NotesTest : public QObject
{
    Q_OBJECT

private slots:
    void saving_data()
    {
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("changedMinute");
        QTest::newRow("write") << QStringList{"A:qa1:先看页表"} << "先看页表" << 1 << 0;
        QTest::newRow("edit") << QStringList{"A:qa1:先看页表", "A:qa1:再看快表"} << "再看快表" << 1 << 1;
        QTest::newRow("empty text removes") << QStringList{"A:qa1:先看页表", "A:qa1:"} << "" << 0 << -1;
        QTest::newRow("blanks remove") << QStringList{"A:qa1:先看页表", "A:qa1: \n\t"} << "" << 0 << -1;
        QTest::newRow("removing nothing is fine") << QStringList{"A:qa1:"} << "" << 0 << -1;
        QTest::newRow("text kept as typed") << QStringList{"A:qa1:  第一行\n第二行 '); drop table x;--"}
                                            << "  第一行\n第二行 '); drop table x;--" << 1 << 0;
        QTest::newRow("another question is apart")
            << QStringList{"A:qa1:甲", "A:qa2:乙", "A:qa2:"} << "甲" << 1 << 0;
    }

    void saving()
    {
        QFETCH(QStringList, writes);
        QFETCH(QString, expected);
        QFETCH(int, count);
        QFETCH(int, changedMinute);
        Db db(questions);
        QVERIFY(writeAll(writes));
        const SubjectScope a(QStringLiteral("A"));
        QCOMPARE(NoteStore::note(database(), a, QStringLiteral("qa1")), expected);
        QCOMPARE(NoteStore::count(database(), a), count);
        QCOMPARE(Db::scalar("select count(*) from question_note"), count);
        if (count == 1) {
            const NoteEntry entry = NoteStore::list(database(), a).value(0);
            QCOMPARE(entry.questionId, QStringLiteral("qa1"));
            QCOMPARE(entry.stemStart, QStringLiteral("内存&地址的映射方式"));
            QCOMPARE(entry.noteStart, expected.simplified());
            QCOMPARE(entry.changedAt, at(changedMinute));
        }
    }

    // The notes of a page's questions at once: the scope's own before one for
    // every subject, none for a question without one or another subject's.
    void notesOfThePagesQuestions_data()
    {
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("scope");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one with a note, one without")
            << QStringList{"A:qa1:甲"} << "A" << QStringList{"qa1", "qb1"} << QStringList{"qa1=甲"};
        QTest::newRow("own before every subject's") << QStringList{} << "A" << QStringList{"qa2"} << QStringList{"qa2=新"};
        QTest::newRow("every subject's without an own")
            << QStringList{} << "B" << QStringList{"qa2"} << QStringList{"qa2=旧"};
        QTest::newRow("no subject chosen") << QStringList{} << "all" << QStringList{"qa2"} << QStringList{"qa2=新"};
        QTest::newRow("another subject's is not shown")
            << QStringList{"B:qb1:乙"} << "A" << QStringList{"qb1"} << QStringList{};
        QTest::newRow("odd ids are data") << QStringList{"A:qa1:甲"} << "A" << QStringList{"qa1\"]", "')--"}
                                          << QStringList{};
        QTest::newRow("nothing asked") << QStringList{"A:qa1:甲"} << "A" << QStringList{} << QStringList{};
    }

    void notesOfThePagesQuestions()
    {
        QFETCH(QStringList, writes);
        QFETCH(QString, scope);
        QFETCH(QStringList, asked);
        QFETCH(QStringList, expected);
        Db db(questions);
        // qa2: a note for every subject, and a later one of subject A.
        QVERIFY(Db::exec("insert into question_note values('qa2','','旧','2026-12-08T10:00:00');\n"
                         "insert into question_note values('qa2','A','新','2026-12-08T08:00:00')"));
        QVERIFY(writeAll(writes));
        const QHash<QString, QString> notes = NoteStore::notesOf(database(), scopeNamed(scope), asked);
        QStringList found;
        for (auto it = notes.constBegin(); it != notes.constEnd(); ++it)
            found << it.key() + QLatin1Char('=') + it.value();
        QCOMPARE(found, expected);
    }

    void aQuestionOutsideTheBankTakesNoNote()
    {
        Db db(questions);
        const WriteOutcome outcome = NoteStore::save(database(), SubjectScope(), QStringLiteral("gone"),
                                                     QStringLiteral("x"), at(0));
        QVERIFY(!outcome.saved());
        QVERIFY(!outcome.reason().isEmpty());
        QCOMPARE(Db::scalar("select count(*) from question_note"), 0);
    }

    // "scope:question:text" writes, then what one scope reads.
    void subjectsAreScopedApart_data()
    {
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("scope");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("listed");
        const QStringList both{"A:q0:甲的", "B:q0:乙的", "A:qa1:甲题"};
        QTest::newRow("A reads its own") << both << "A" << "q0" << "甲的" << QStringList{"qa1", "q0"};
        QTest::newRow("B reads its own") << both << "B" << "q0" << "乙的" << QStringList{"q0"};
        QTest::newRow("no scope lists all") << both << "all" << "qa1" << "甲题" << QStringList{"qa1", "q0", "q0"};
        QTest::newRow("B does not see A's") << both << "B" << "qa1" << "" << QStringList{"q0"};
        const QStringList shared{"all:q0:共同的"};
        QTest::newRow("one-subject note shows in A") << shared << "A" << "q0" << "共同的" << QStringList{"q0"};
        QTest::newRow("one-subject note shows in B") << shared << "B" << "q0" << "共同的" << QStringList{"q0"};
        QTest::newRow("editing takes the shared note over")
            << QStringList{"all:q0:共同的", "A:q0:甲改"} << "A" << "q0" << "甲改" << QStringList{"q0"};
        QTest::newRow("removing in A leaves B's")
            << QStringList{"A:q0:甲的", "B:q0:乙的", "A:q0:"} << "B" << "q0" << "乙的" << QStringList{"q0"};
    }

    void subjectsAreScopedApart()
    {
        QFETCH(QStringList, writes);
        QFETCH(QString, scope);
        QFETCH(QString, question);
        QFETCH(QString, expected);
        QFETCH(QStringList, listed);
        Db db(questions);
        QVERIFY(writeAll(writes));
        QCOMPARE(NoteStore::note(database(), scopeNamed(scope), question), expected);
        QCOMPARE(idsOf(NoteStore::list(database(), scopeNamed(scope))), listed);
        QCOMPARE(NoteStore::count(database(), scopeNamed(scope)), listed.size());
    }

    void searchFindsWordsLiterally_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("one word") << "地址" << QStringList{"qa1"};
        QTest::newRow("words in any order") << "映射  内存" << QStringList{"qa1"};
        QTest::newRow("every word must be there") << "内存 正确" << QStringList{};
        QTest::newRow("case of Latin letters") << "PAGE" << QStringList{"qa1"};
        QTest::newRow("percent is literal") << "%" << QStringList{"qa2"};
        QTest::newRow("percent is no wildcard") << "100%" << QStringList{"qa2"};
        QTest::newRow("underscore is literal") << "a_b" << QStringList{"qb1"};
        QTest::newRow("underscore is no wildcard") << "_" << QStringList{"qb1"};
        QTest::newRow("backslash and quote") << "\\' \"" << QStringList{};
        QTest::newRow("no words: newest first") << " \t" << QStringList{"q0", "qb1", "qa2", "qa1"};
        QTest::newRow("other subject's note") << "乙" << QStringList{};
    }

    void searchFindsWordsLiterally()
    {
        QFETCH(QString, words);
        QFETCH(QStringList, found);
        Db db(questions);
        QVERIFY(writeAll({"all:qa1:内存 地址 映射 page", "all:qa2:100% 正确", "all:qb1:a_b 下划线",
                          "all:q0:100 分 axb"}));
        QVERIFY(Db::exec("insert into question_note values('qb1','X','乙','2026-12-08T09:30:00')"));
        QCOMPARE(idsOf(NoteStore::search(database(), SubjectScope(QStringLiteral("A")), words)), found);
    }

    // A re-import keeps the rows of the questions it keeps: their notes stay;
    // a question the file no longer has leaves with its note.
    void reimportKeepsTheNote_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("changed question keeps its note") << "a" << "甲的笔记";
        QTest::newRow("unchanged question keeps its note") << "b" << "乙的笔记";
        QTest::newRow("dropped question's note is gone") << "c" << "";
    }

    void reimportKeepsTheNote()
    {
        QFETCH(QString, title);
        QFETCH(QString, expected);
        Db db;
        QTemporaryDir images;
        ImportRequest r = request();
        r.imageDir = images.path();
        BankWriter writer(database());
        const ImportOutcome first =
            writer.write(BankFile::parse("::a::甲 {T}\n\n::b::乙 {T}\n\n::c::丙 {T}", QStringLiteral("gift")), r);
        QVERIFY(first.ok);
        const SubjectScope scope(first.subjectId);
        const auto idOf = [](const QString &key) {
            return Db::column(QStringLiteral("select questionId from import_question where questionKey='k:%1'").arg(key))
                .value(0);
        };
        const QString id = idOf(title);
        QVERIFY(!id.isEmpty());
        for (const auto &[key, text] : {std::pair<const char *, const char *>{"a", "甲的笔记"}, {"b", "乙的笔记"},
                                        {"c", "丙的笔记"}})
            QVERIFY(NoteStore::save(database(), scope, idOf(key), QString::fromUtf8(text), at(0)));

        const ImportOutcome again =
            writer.write(BankFile::parse("::a::甲，改过 {F}\n\n::b::乙 {T}", QStringLiteral("gift")), r);
        QVERIFY(again.ok);
        QCOMPARE(again.counts.changed, 1);
        QCOMPARE(again.counts.gone, 1);
        QCOMPARE(NoteStore::note(database(), scope, id), expected);
        QCOMPARE(Db::scalar(QStringLiteral("select count(*) from question_note where questionId='%1'").arg(id)),
                 expected.isEmpty() ? 0 : 1);
        QCOMPARE(NoteStore::count(database(), scope), 2);
    }

    void questionRemovalRemovesItsNotes()
    {
        Db db(questions);
        QVERIFY(writeAll({"A:qa1:甲", "B:qa1:乙", "A:qa2:丙"}));
        SqlTransaction group(database());
        QVERIFY(QuestionRemoval::remove(group, {QStringLiteral("qa1")}));
        QVERIFY(group.commit());
        QCOMPARE(Db::column("select questionId from question_note"), QStringList{"qa2"});
    }

    // An older data.db (before notes) opens with every row and gains the table.
    void migrationAddsTheTableAndKeepsEveryRow()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(
            path, TestSupport::sampleBankSql()
                      + QStringLiteral("INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('km1q003','km1f1');\n")));
        TestSupport::FileConnection file(path);
        QVector<SchemaMigration::Step> earlier;
        for (const SchemaMigration::Step &step : SchemaMigration::steps()) {
            if (step.version < 7)
                earlier << step;
        }
        QCOMPARE(SchemaMigration::migrate(file.database(), earlier).toVersion, 6);
        QCOMPARE(file.scalar("select count(*) from sqlite_master where name='question_note'"), 0);
        const QStringList before = everyRow(file.database());
        QVERIFY(before.size() > 200);

        const SchemaMigration::Result result = SchemaMigration::migrate(file.database());
        QCOMPARE(result.outcome, SchemaMigration::Outcome::Migrated);
        QCOMPARE(result.fromVersion, 6);
        QVERIFY(result.toVersion >= 7);
        QCOMPARE(everyRow(file.database()), before);
        QVERIFY(NoteStore::save(file.database(), SubjectScope(), QStringLiteral("km1q003"), QStringLiteral("记"), at(0)));
        QCOMPARE(NoteStore::note(file.database(), SubjectScope(), QStringLiteral("km1q003")), QStringLiteral("记"));
    }
};

TESSERA_TEST_MAIN(NotesTest)
#include "tst_notes.moc"
