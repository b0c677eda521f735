#include "testsupport.h"

#include "dbconnection.h"
#include "paperloader.h"
#include "questionidlist.h"
#include "scriptliteral.h"

#include <QJsonDocument>

#include <QApplication>

namespace {

std::unique_ptr<ExamPaper> loadPaper(int status, const QString &id)
{
    PaperLoader loader(DbConnection::instance(QString(), true)->database(), status,
                       QStringLiteral("/opt/tessera/"));
    return loader.load(id);
}

} // namespace

class PaperLoaderTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::FreshDatabase> db;

private slots:
    void initTestCase()
    {
        db = std::make_unique<TestSupport::FreshDatabase>(
            TestSupport::fixtureSql(QStringLiteral("paperloader_bank.sql")));
        QVERIFY(db->ok());
    }

    void formalPaperFields()
    {
        const auto paper = loadPaper(0, QStringLiteral("P1"));
        QVERIFY(paper);
        QCOMPARE(paper->id, QStringLiteral("P1"));
        QCOMPARE(paper->name, QStringLiteral("Paper one"));
        QCOMPARE(paper->asname, QStringLiteral("P one"));
        QCOMPARE(paper->subjectId, QStringLiteral("S1"));
        QCOMPARE(paper->totalCent, 100.0);
        QCOMPARE(paper->passCent, 60.0);
        QCOMPARE(paper->examTime, 90);
        QCOMPARE(paper->xzremark, QStringLiteral("choose one"));
        QCOMPARE(paper->xzcount, 1);
        QCOMPARE(paper->questionCount, 6);
        QCOMPARE(paper->askCount, 7);
        QCOMPARE(int(paper->questions.size()), 9);
        QCOMPARE(paper->answeredCount, 0);
    }

    void formalEntries_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("seq");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("leafNo");
        QTest::newRow("composite stem") << 0 << "c1" << 6 << 1 << 1 << 0;
        QTest::newRow("first leaf") << 1 << "l1" << 1 << 2 << 1 << 1;
        QTest::newRow("second leaf") << 2 << "l2" << 2 << 3 << 1 << 2;
        QTest::newRow("third leaf") << 3 << "l3" << 3 << 4 << 1 << 3;
        QTest::newRow("question after composite") << 4 << "q2" << 1 << 5 << 2 << 0;
        QTest::newRow("numbering carried over empty section") << 5 << "q3" << 5 << 6 << 3 << 0;
        QTest::newRow("composite without leaves") << 6 << "c2" << 6 << 7 << 4 << 0;
        QTest::newRow("missing question") << 7 << "" << 0 << 8 << 5 << 0;
    }

    void formalEntries()
    {
        QFETCH(int, index);
        QFETCH(QString, id);
        QFETCH(int, type);
        QFETCH(int, seq);
        QFETCH(int, number);
        QFETCH(int, leafNo);
        const auto paper = loadPaper(0, QStringLiteral("P1"));
        const ExamQuestion &question = *paper->questions.at(size_t(index));
        QCOMPARE(question.id, id);
        QCOMPARE(question.type, type);
        QCOMPARE(question.seq, seq);
        QCOMPARE(question.number, number);
        QCOMPARE(question.leafNo, leafNo);
        QCOMPARE(question.status, 2);
        QVERIFY(!question.answered);
        QVERIFY(question.userAnswer.isEmpty());
        QVERIFY(!question.html.isEmpty());
    }

    void formalSections_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("entryCount");
        QTest::addColumn<int>("firstSeq");
        QTest::addColumn<int>("lastSeq");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<int>("isselect");
        QTest::newRow("composite and plain") << 0 << "s-1" << 5 << 1 << 5 << 4 << 0;
        QTest::newRow("empty list") << 1 << "s-2" << 0 << 6 << 5 << 0 << 0;
        QTest::newRow("leafless composite") << 2 << "s-3" << 2 << 6 << 7 << 2 << 1;
        QTest::newRow("malformed list") << 3 << "s-4" << 0 << 8 << 7 << 1 << 0;
        QTest::newRow("missing and column-named ids") << 4 << "s-5" << 2 << 8 << 9 << 2 << 0;
    }

    void formalSections()
    {
        QFETCH(int, index);
        QFETCH(QString, id);
        QFETCH(int, entryCount);
        QFETCH(int, firstSeq);
        QFETCH(int, lastSeq);
        QFETCH(int, quantity);
        QFETCH(int, isselect);
        const auto paper = loadPaper(0, QStringLiteral("P1"));
        QCOMPARE(int(paper->sections.size()), 5);
        const PaperSection &section = *paper->sections.at(size_t(index));
        QCOMPARE(section.id, id);
        QCOMPARE(section.plainId, QString(id).remove(QLatin1Char('-')));
        QCOMPARE(section.row, index);
        QCOMPARE(section.entryCount, entryCount);
        QCOMPARE(section.firstSeq, firstSeq);
        QCOMPARE(section.lastSeq, lastSeq);
        QCOMPARE(section.quantity, quantity);
        QCOMPARE(section.isselect, isselect);
        QVERIFY(!section.chosen);
    }

    // A list in script notation loads like JSON; every leaf asks, a stem too.
    void scriptListPaper()
    {
        const auto paper = loadPaper(0, QStringLiteral("P3"));
        QStringList ids;
        for (const auto &question : paper->questions)
            ids << question->id + QLatin1Char('/') + QString::number(question->leafNo);
        QCOMPARE(ids, (QStringList{"q2/0", "c1/0", "l1/1", "c2/2"}));
        QCOMPARE(paper->sections.front()->entryCount, 4);
        QCOMPARE(paper->askCount, 3);
        QCOMPARE(paper->questionCount, 2);
        // Beyond a day the paper is untimed.
        QVERIFY(!paper->timed());
        QCOMPARE(paper->allowedSeconds(), 0);
    }

    // A part keeps its case's text in title: an essay part is shown by its own
    // titleImage under the case, never the case twice; one without a
    // titleImage keeps its title.
    void essayPartOfACaseStudy()
    {
        QVERIFY(TestSupport::FreshDatabase::exec(QStringLiteral(
            "INSERT INTO exam_paper(id,name,subjectId,examTime) VALUES('P9','Essay parts','S1',60);\n"
            "INSERT INTO exam_paper_static(id,paperId,subjectid,sequence,captionName,questionTypeid,fuleixingid,questionIds,quantity,mark) "
            "VALUES('s9','P9','S1',1,'案例',6,'F3','[{\"qid\":\"k9\",\"leaf\":[{\"qid\":\"e9\"},{\"qid\":\"o9\"}]}]',1,4);\n"
            "INSERT INTO exam_question(id,questionTypeid,title,titleImage,relationship) VALUES('k9',6,'案例材料','案例材料','');\n"
            "INSERT INTO exam_question(id,questionTypeid,title,titleImage,optionLength,relationship,parentId) "
            "VALUES('e9',5,'案例材料','请简述原因。',1,'k9','k9');\n"
            "INSERT INTO exam_question(id,questionTypeid,title,titleImage,optionLength,relationship,parentId) "
            "VALUES('o9',5,'旧式问答','',1,'k9','k9');\n")));
        const auto paper = loadPaper(0, QStringLiteral("P9"));
        QVERIFY(paper);
        QCOMPARE(paper->questions.size(), 3);
        QCOMPARE(paper->questions[1]->title, QStringLiteral("请简述原因。"));
        QCOMPARE(paper->questions[1]->material, QStringLiteral("案例材料"));
        QCOMPARE(paper->questions[2]->title, QStringLiteral("旧式问答"));
    }

    // "id" must not act as a column name, nor a quote end the statement text.
    void idsAreBound_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("sections");
        QTest::addColumn<int>("entries");
        QTest::newRow("formal paper named like a column") << 0 << "id" << 0 << 0;
        QTest::newRow("formal paper with quote") << 0 << "O'Brien" << 1 << 1;
        QTest::newRow("formal paper with unmatched quote") << 0 << "P1' or '1'='1" << 0 << 0;
        QTest::newRow("formal paper with double quote") << 0 << "P1\" or \"1\"=\"1" << 0 << 0;
        QTest::newRow("practice named like a column") << 3 << "id" << 0 << 0;
        QTest::newRow("practice with quote") << 3 << "O'Brien" << 1 << 1;
        QTest::newRow("favourites named like a column") << 5 << "id" << 0 << 0;
        QTest::newRow("favourites with quote") << 5 << "F1' or '1'='1" << 0 << 0;
    }

    void idsAreBound()
    {
        QFETCH(int, status);
        QFETCH(QString, id);
        QFETCH(int, sections);
        QFETCH(int, entries);
        const auto paper = loadPaper(status, id);
        QVERIFY(paper);
        QCOMPARE(int(paper->sections.size()), sections);
        QCOMPARE(int(paper->questions.size()), entries);
        if (status == 0 && entries == 0)
            QVERIFY(paper->name.isEmpty());
    }

    void quotedIdsLoadTheirRows()
    {
        const auto paper = loadPaper(0, QStringLiteral("O'Brien"));
        QCOMPARE(paper->name, QStringLiteral("Quoted paper"));
        QCOMPARE(paper->questions.at(0)->id, QStringLiteral("q'x"));
        QCOMPARE(paper->questions.at(0)->title, QStringLiteral("Quoted question"));
    }

    void questionColumnIdIsNotAColumn()
    {
        // {"qid":"id"} names no question; pasted between double quotes it
        // would have matched the first question of the bank.
        const auto paper = loadPaper(0, QStringLiteral("P1"));
        const ExamQuestion &entry = *paper->questions.back();
        QCOMPARE(entry.seq, 9);
        QVERIFY(entry.id.isEmpty());
        QCOMPARE(entry.type, 0);
    }

    void questionFields()
    {
        const auto paper = loadPaper(0, QStringLiteral("P1"));
        const ExamQuestion &leaf = *paper->questions.at(1);
        QCOMPARE(leaf.title, QStringLiteral("Leaf one"));
        QCOMPARE(leaf.material, QStringLiteral("leaf one"));
        QCOMPARE(leaf.option1, QStringLiteral("<img src=\"/a.png\">"));
        QCOMPARE(leaf.option2, QStringLiteral("plain<br/>"));
        QCOMPARE(leaf.video, QStringLiteral("clip.mp4"));
        QCOMPARE(leaf.cent, 2.0);
        QCOMPARE(leaf.parentId, QStringLiteral("c1"));
        QCOMPARE(leaf.fuleixingid, QStringLiteral("F1"));
        QCOMPARE(leaf.tname, QStringLiteral("hdan_2"));

        const ExamQuestion &plain = *paper->questions.at(4);
        QCOMPARE(plain.option1, QStringLiteral("x><br/>"));
        QCOMPARE(plain.option3, QStringLiteral("<br/>"));
        QVERIFY(plain.isCollect);
        QCOMPARE(plain.cent, 1.5);
        QVERIFY(plain.material.isEmpty());

        const ExamQuestion &essay = *paper->questions.at(5);
        QCOMPARE(essay.title, QStringLiteral("Essay title"));
        QVERIFY(essay.option1.isEmpty());
        QVERIFY(essay.option2.isEmpty());
    }

    void wrongPractice()
    {
        const auto paper = loadPaper(3, QStringLiteral("P1"));
        QVERIFY(paper);
        QCOMPARE(paper->name, QStringLiteral("错题练习"));
        QCOMPARE(paper->asname, QStringLiteral("错题练习"));
        QCOMPARE(paper->subjectId, QStringLiteral("S1"));
        QCOMPARE(int(paper->sections.size()), 5);
        QCOMPARE(paper->questionCount, 0);
        QCOMPARE(paper->askCount, 0);

        const PaperSection &first = *paper->sections.at(0);
        QCOMPARE(first.entryCount, 2);
        QCOMPARE(first.quantity, 2);
        QCOMPARE(first.firstSeq, 1);
        QCOMPARE(first.lastSeq, 2);
        QCOMPARE(first.mark, 3.5);
        // Ordered by parent id: the top-level question first.
        QCOMPARE(paper->questions.at(0)->id, QStringLiteral("q2"));
        QCOMPARE(paper->questions.at(1)->id, QStringLiteral("l1"));
        QCOMPARE(paper->questions.at(1)->material, QStringLiteral("stem text"));
        QCOMPARE(paper->questions.at(1)->seq, 2);
        QCOMPARE(paper->questions.at(1)->number, 2);
        QCOMPARE(paper->questions.at(1)->leafNo, 0);
        QVERIFY(paper->questions.at(1)->video.isEmpty());
        QCOMPARE(paper->totalCent, 3.5);
        QCOMPARE(paper->passCent, 3.5);

        // Sections without wrong questions stay empty but keep their place.
        for (size_t k = 1; k < paper->sections.size(); ++k) {
            QCOMPARE(paper->sections[k]->entryCount, 0);
            QCOMPARE(paper->sections[k]->firstSeq, 3);
            QCOMPARE(paper->sections[k]->lastSeq, 2);
        }
    }

    void favouritesPractice()
    {
        const auto paper = loadPaper(5, QStringLiteral("F1"));
        QVERIFY(paper);
        QCOMPARE(paper->name, QStringLiteral("收藏题练习"));
        QCOMPARE(int(paper->sections.size()), 1);
        const PaperSection &section = *paper->sections.at(0);
        QCOMPARE(section.id, QStringLiteral("F1"));
        QCOMPARE(section.captionName, QStringLiteral("Single choice"));
        QCOMPARE(section.bname, QStringLiteral("Single choice"));
        QCOMPARE(section.questionTypeId, 1);
        QCOMPARE(section.entryCount, 2);
        QCOMPARE(section.mark, 11.5);
        QStringList ids;
        for (const auto &question : paper->questions) {
            ids << question->id;
            QCOMPARE(question->fuleixingid, QStringLiteral("F1"));
        }
        ids.sort();
        QCOMPARE(ids, (QStringList{QStringLiteral("q2"), QStringLiteral("q3")}));
    }

    void questionList_data()
    {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QStringList>("sections");
        QTest::newRow("list order within categories, categories by first question")
            << QStringList{"q3", "q2", "q'x"} << QStringList{"q3", "q2", "q'x"} << QStringList{"F3", "F1"};
        QTest::newRow("a stem brings its parts") << QStringList{"c1"} << QStringList{"l1", "l2", "l3"}
                                                 << QStringList{"F1"};
        QTest::newRow("unknown ids and repeats passed over") << QStringList{"nope", "q2", "q2", "l1", "c1"}
                                                             << QStringList{"q2", "l1", "l2", "l3"}
                                                             << QStringList{"F1"};
        QTest::newRow("empty") << QStringList() << QStringList() << QStringList();
    }

    // The key goes through the exam window's practice-key reading unchanged
    // and loads the listed questions as a practice.
    void questionList()
    {
        QFETCH(QStringList, ids);
        QFETCH(QStringList, loaded);
        QFETCH(QStringList, sections);
        const QString title = QStringLiteral("今日复习 \"'");
        const QString key = PaperLoader::questionListKey(title, ids);
        QCOMPARE(PaperLoader::practicePaperId(key), key);
        const auto paper = loadPaper(3, key);
        QVERIFY(paper);
        QCOMPARE(paper->name, title);
        QStringList found;
        for (const auto &question : paper->questions)
            found << question->id;
        QCOMPARE(found, loaded);
        QStringList sectionIds;
        int seq = 1;
        for (const auto &section : paper->sections) {
            sectionIds << section->fuleixingid;
            QCOMPARE(section->firstSeq, seq);
            seq = section->lastSeq + 1;
        }
        QCOMPARE(sectionIds, sections);
        if (!loaded.isEmpty() && loaded.first() == QLatin1String("l1"))
            QCOMPARE(paper->questions.at(0)->material, QStringLiteral("stem text"));
    }

    void otherStatusesLoadNothing_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("id");
        QTest::newRow("unknown status") << 1 << "P1";
        QTest::newRow("formal paper without id") << 0 << "";
    }

    void otherStatusesLoadNothing()
    {
        QFETCH(int, status);
        QFETCH(QString, id);
        QVERIFY(!loadPaper(status, id));
    }

    void practiceKeyRoundTrip_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("paperId");
        QTest::newRow("home page key") << "[{\"itype\":\"2\",\"paperid\":\"7\"}]" << "7";
        QTest::newRow("quote") << "[{\"itype\":\"2\",\"paperid\":\"O'Brien\"}]" << "O'Brien";
        QTest::newRow("double quote and backslash")
            << "[{\"itype\":\"2\",\"paperid\":\"a\\\"b\\\\c\"}]" << "a\"b\\c";
        QTest::newRow("script-like text") << "[{\"paperid\":\"');alert(1);//\"}]" << "');alert(1);//";
        QTest::newRow("number") << "[{\"paperid\":12}]" << "12";
        QTest::newRow("plain id") << "P1" << "P1";
        QTest::newRow("malformed") << "[{paperid:7" << "[{paperid:7";
    }

    void practiceKeyRoundTrip()
    {
        QFETCH(QString, key);
        QFETCH(QString, paperId);
        QCOMPARE(PaperLoader::practicePaperId(key), paperId);
    }

    void questionIdLists_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<int>("leavesOfFirst");
        QTest::newRow("empty") << "[]" << QStringList() << 0;
        QTest::newRow("plain") << "[{\"qid\":\"a\"},{\"qid\":\"b\"}]" << QStringList{"a", "b"} << 0;
        QTest::newRow("composite") << "[{\"qid\":\"c\",\"leaf\":[{\"qid\":\"x\"},{\"qid\":\"y\"}]}]"
                                   << QStringList{"c"} << 2;
        QTest::newRow("numeric ids") << "[{\"qid\":5}]" << QStringList{"5"} << 0;
        QTest::newRow("script notation") << "[{qid:'a'},{qid:'b',leaf:[{qid:'x'}]}]" << QStringList{"a", "b"} << 0;
        QTest::newRow("script notation, leaves first")
            << "[{leaf:[{qid:'x'},{qid:\"y\"}], qid:'c'}]" << QStringList{"c"} << 2;
        QTest::newRow("neither json nor a literal") << "[{qid:'a'}" << QStringList() << 0;
        QTest::newRow("code is not run") << "[{qid:alert(1)}]" << QStringList() << 0;
        QTest::newRow("object, not array") << "{\"qid\":\"a\"}" << QStringList() << 0;
        QTest::newRow("null") << "" << QStringList() << 0;
        QTest::newRow("entry without qid") << "[{\"x\":1}]" << QStringList{""} << 0;
    }

    // The reader of script literals: the value read, as compact JSON, or
    // "error@offset".
    void scriptLiterals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");
        QTest::newRow("unquoted keys") << "{qid:'a', leaf:[]}" << "{\"leaf\":[],\"qid\":\"a\"}";
        QTest::newRow("double-quoted keys") << "{\"qid\":\"a\"}" << "{\"qid\":\"a\"}";
        QTest::newRow("single-quoted keys") << "{'q id':1}" << "{\"q id\":1}";
        QTest::newRow("number keys") << "{1:'x'}" << "{\"1\":\"x\"}";
        QTest::newRow("names with $ and _") << "{$a_1:true,_:false}" << "{\"$a_1\":true,\"_\":false}";
        QTest::newRow("quote of the other kind inside") << "['it\"s', \"it's\"]" << "[\"it\\\"s\",\"it's\"]";
        QTest::newRow("escapes") << "['a\\'b\\\\c\\n\\t\\x41\\u4e2d\\/\\q']" << "[\"a'b\\\\c\\n\\tA中/q\"]";
        QTest::newRow("line continuation") << "['a\\\nb']" << "[\"ab\"]";
        QTest::newRow("nested leaf lists") << "[{qid:'c',leaf:[{qid:'x',leaf:[{qid:'y'}]}]}]"
                                           << "[{\"leaf\":[{\"leaf\":[{\"qid\":\"y\"}],\"qid\":\"x\"}],\"qid\":\"c\"}]";
        QTest::newRow("trailing commas") << "[{qid:'a',},]" << "[{\"qid\":\"a\"}]";
        QTest::newRow("numbers") << "[1, -2.5, .5, 1e3, 0x1F, +4]" << "[1,-2.5,0.5,1000,31,4]";
        QTest::newRow("null and undefined") << "[null, undefined]" << "[null,null]";
        QTest::newRow("comments and a closing semicolon") << "/* list */ [1, // one\n 2];" << "[1,2]";
        QTest::newRow("empty text") << "" << "error@0";
        QTest::newRow("unterminated string") << "['abc" << "error@5";
        QTest::newRow("line end in a string") << "['a\nb']" << "error@3";
        QTest::newRow("missing bracket") << "[1,2" << "error@4";
        QTest::newRow("hole") << "[1,,2]" << "error@3";
        QTest::newRow("call") << "[f(1)]" << "error@1";
        QTest::newRow("operator") << "[1+2]" << "error@2";
        QTest::newRow("two values") << "[1] [2]" << "error@4";
        QTest::newRow("malformed escape") << "['\\x4']" << "error@5";
        QTest::newRow("octal escape") << "['\\01']" << "error@4";
        QTest::newRow("unterminated comment") << "[1] /*" << "error@4";
        QTest::newRow("nested too deeply") << QString(300, QLatin1Char('[')) + QString(300, QLatin1Char(']'))
                                           << "error@256";
    }

    void scriptLiterals()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const ScriptLiteral::Result result = ScriptLiteral::read(text);
        const QString got = result.ok
            ? QString::fromUtf8(QJsonDocument::fromVariant(QVariantList{result.value}).toJson(QJsonDocument::Compact))
                  .mid(1).chopped(1)
            : QStringLiteral("error@%1").arg(result.errorOffset);
        QCOMPARE(got, read);
        QCOMPARE(result.error.isEmpty(), result.ok);
    }

    void questionIdLists()
    {
        QFETCH(QString, json);
        QFETCH(QStringList, ids);
        QFETCH(int, leavesOfFirst);
        const QVector<QuestionIdEntry> entries = QuestionIdList::parse(json);
        QStringList got;
        for (const QuestionIdEntry &entry : entries)
            got << entry.qid;
        QCOMPARE(got, ids);
        if (!entries.isEmpty())
            QCOMPARE(entries.first().leafIds.size(), leavesOfFirst);
    }
};

TESSERA_TEST_MAIN(PaperLoaderTest)
#include "tst_paperloader.moc"
