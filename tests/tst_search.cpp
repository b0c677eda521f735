#include "testsupport.h"
#include "seededfuzz.h"

#include "apppaths.h"
#include "exampaper.h"
#include "pagetext.h"
#include "pageview.h"
#include "questionsearch.h"
#include "schemasteps.h"
#include "searchresultpage.h"
#include "soquestion.h"
#include "titleindex.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QSqlQuery>

using TestSupport::FreshDatabase;

Q_DECLARE_METATYPE(QuestionSearch::IndexUse)

namespace {

// One exam_question row of the fixture bank; the stem shown for non-essays is
// titleImage, the search matches title, so both carry the same text.
QString questionRow(const QString &id, int type, const QString &title, const QString &relationship = QString(),
                    const QString &category = QStringLiteral("f1"), int isCollect = 0)
{
    QString quoted = title;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("insert into exam_question(id,questionTypeid,title,titleImage,option1,option2,option3,"
                          "option4,optionLength,answer,analysis,cent,relationship,fuleixingid,sortNo,video,isCollect)"
                          " values('%1',%2,'%3','%3','first','second','third','fourth',4,'A','because',2.5,'%4','%5',7,"
                          "'',%6);\n")
        .arg(id).arg(type).arg(quoted, relationship, category).arg(isCollect);
}

// Composite "Harbour crane accident" with two parts; a numbering set
// (top-level, top-level, composite of three, a type the program does not know,
// which sorts after composites); titles with quotes, wildcards, a backslash and
// a run of spaces, and near misses for them; one stored favourite.
QString fixtureBank()
{
    // One transaction: a file sync per row would slow every test.
    return QStringLiteral("begin;\n") + questionRow("c1", 6, "Harbour crane accident", "", "f6")
        + questionRow("c1a", 1, "what failed first", "c1", "f6")
        + questionRow("c1b", 2, "who reports it partonlyword", "c1", "f6")
        + questionRow("n1", 1, "numkey one", "", "f1", 1)
        + QStringLiteral("insert into exam_Collect(questionid,fuleixingid) values('n1','f1');\n")
        + questionRow("n2", 2, "numkey two", "", "f2")
        + questionRow("n3", 6, "numkey case", "", "f6")
        + questionRow("n3a", 1, "part a", "n3", "f6")
        + questionRow("n3b", 3, "part b", "n3", "f6")
        + questionRow("n3c", 5, "part c", "n3", "f6")
        + questionRow("n4", 7, "numkey odd type")
        + questionRow("s1", 1, "it's \"50%\" of a_b  gap")
        + questionRow("s2", 1, "about 507 units of axb")
        + questionRow("b1", 4, "path C:\\temp here") + QStringLiteral("commit;\n");
}

QStringList resultIds(const ExamPaper &paper)
{
    QStringList ids;
    for (const auto &q : paper.questions)
        ids << q->id;
    return ids;
}

using TestSupport::database;

std::unique_ptr<ExamPaper> search(const QString &keyword)
{
    return QuestionSearch::run(database(), keyword, 5, QStringLiteral("/opt/tessera/"));
}

// The hits as "id number.leafNo", found with or without the title index.
QStringList labelledHits(const QString &keyword, QuestionSearch::IndexUse indexUse)
{
    QuestionSearch finder(database(), keyword, SubjectScope(), indexUse);
    if (finder.finish() != QuestionSearch::Status::Done)
        return {QStringLiteral("failed: ") + finder.error()};
    QSqlQuery id(database());
    id.prepare(QStringLiteral("select id from exam_question where rowid=:r"));
    QStringList hits;
    for (const SearchHit &hit : finder.hits()) {
        id.bindValue(QStringLiteral(":r"), hit.rowid);
        id.exec();
        id.next();
        hits << QStringLiteral("%1 %2.%3").arg(id.value(0).toString()).arg(hit.number).arg(hit.leafNo);
    }
    return hits;
}

// The same list from the statements the search ran before it found hits in
// slices: one LIKE query over the whole table, then each composite's parts.
QStringList todaysHits(const QString &keyword)
{
    QSqlQuery top(database());
    top.prepare(QStringLiteral("select id, questionTypeid from exam_question where title LIKE :p ESCAPE '\\' "
                               "and relationship='' ORDER BY questionTypeid"));
    top.bindValue(QStringLiteral(":p"), QuestionSearch::containsPattern(keyword));
    top.exec();
    QSqlQuery parts(database());
    parts.prepare(QStringLiteral("select id from exam_question where relationship=:id"));
    QStringList hits;
    for (int row = 1, next = 1; top.next(); ++row) {
        if (top.value(1).toInt() != ExamQuestion::Composite) {
            hits << QStringLiteral("%1 %2.0").arg(top.value(0).toString()).arg(next++);
            continue;
        }
        parts.bindValue(QStringLiteral(":id"), top.value(0));
        parts.exec();
        for (int k = 1; parts.next(); ++k)
            hits << QStringLiteral("%1 %2.%3").arg(parts.value(0).toString()).arg(row).arg(k);
    }
    return hits;
}

QString evaluate(SoQuestion &window, const QString &script)
{
    return TestSupport::pageValue(window.soWebView, script).toString();
}

// Searches through the window's own button and waits until the first results
// (or the message) are in the page.
bool searchInWindow(SoQuestion &window, const QString &keyword)
{
    QSignalSpy shown(&window, &SoQuestion::resultsShown);
    window.lineEdit->setText(keyword);
    QTest::mouseClick(window.soButton, Qt::LeftButton);
    return shown.count() > 0 || shown.wait(20000);
}

QString shownCountLine(SoQuestion &window)
{
    return evaluate(window, QStringLiteral("document.getElementById('so_count').textContent"));
}

// n matching rows keyword0000, keyword0001, ... in result order, in one
// statement.
QString bulkRows(const QString &keyword, int n)
{
    return QStringLiteral("with recursive n(i) as (select 0 union all select i+1 from n where i<%1) "
                          "insert into exam_question(id,questionTypeid,title,titleImage,option1,option2,option3,"
                          "option4,optionLength,answer,analysis,cent,relationship,fuleixingid,sortNo,video,isCollect) "
                          "select '%2'||printf('%04d',i), 1, '%2 item', '%2 item', 'first', 'second', 'third', "
                          "'fourth', 4, 'A', 'because', 2.5, '', 'f1', 7, '', 0 from n;\n")
        .arg(n - 1)
        .arg(keyword);
}

// The result ids in the order the page shows them: each hit's favourite button
// carries its card id.
QStringList shownCardIds(SoQuestion &window)
{
    return evaluate(window, QStringLiteral("Array.prototype.map.call(document.querySelectorAll('[id^=\"sc_\"]'),"
                                           "function(e){return e.id;}).join(',')"))
        .split(QLatin1Char(','), Qt::SkipEmptyParts);
}

QStringList cardIds(const ExamPaper &results)
{
    QStringList ids;
    for (const auto &q : results.questions)
        ids << q->cardId;
    return ids;
}

// Scrolls to the end of the page until the search is done and no block waits.
bool scrollThroughEveryBlock(SoQuestion &window)
{
    const QDeadlineTimer deadline(60000);
    while ((window.searching() || window.morePending()) && !deadline.hasExpired()) {
        const int shown = int(window.results()->questions.size());
        evaluate(window, QStringLiteral("window.scrollTo(0, document.body.scrollHeight)"));
        // The loop asks again whether blocks wait, whether or not this one came.
        static_cast<void>(QTest::qWaitFor([&]() { return int(window.results()->questions.size()) > shown; }, 5000));
    }
    return !window.morePending();
}

// Every question block's markup in the page, in page order.
QStringList hitFragments(PageView *view)
{
    return TestSupport::pageValue(view, QStringLiteral(
                                            "Array.prototype.map.call(document.querySelectorAll('div.content'),"
                                            "function(e){return e.outerHTML;}).join('\\n')"))
        .toString()
        .split(QLatin1Char('\n'));
}

// The ways of finding hits that must agree: the scan, and the title index read
// each way.
const QVector<QuestionSearch::IndexUse> everyWay{QuestionSearch::IndexUse::Never,
                                                 QuestionSearch::IndexUse::WhenPossible,
                                                 QuestionSearch::IndexUse::InTypeOrder,
                                                 QuestionSearch::IndexUse::SortedAfter};

QStringList idsOf(const QStringList &labelled)
{
    QStringList ids;
    for (const QString &hit : labelled)
        ids << hit.section(QLatin1Char(' '), 0, 0);
    return ids;
}

// n top-level rows keyword00000, ... whose types cycle through 5, 3, 1, 4, 2
// (so that type order is not row order), every tenth a composite of two parts.
QString mixedRows(const QString &keyword, int n)
{
    return QStringLiteral("with recursive n(i) as (select 0 union all select i+1 from n where i<%1) "
                          "insert into exam_question(id,questionTypeid,title,titleImage,option1,option2,"
                          "optionLength,answer,relationship,fuleixingid) "
                          "select '%2'||printf('%05d',i), case when i%10=9 then 6 else 5-(i*2)%5 end, "
                          "'%2 item', '%2 item', 'first', 'second', 2, 'A', '', 'f1' from n;\n"
                          "insert into exam_question(id,questionTypeid,title,titleImage,optionLength,answer,"
                          "relationship) select id||'p'||k, 1, 'part', 'part', 2, 'A', id from exam_question, "
                          "(select 1 as k union all select 2) where questionTypeid=6 and id like '%2%';\n")
        .arg(n - 1)
        .arg(keyword);
}

QString noteRow(const QString &questionId, const QString &note)
{
    return QStringLiteral("insert into question_note(questionId,subjectid,note,changedAt) "
                          "values('%1','','%2','2026-12-08T09:00:00');\n")
        .arg(questionId, note);
}

bool sameHit(const SearchHit &a, const SearchHit &b)
{
    return a.rowid == b.rowid && a.number == b.number && a.leafNo == b.leafNo && a.inNote == b.inNote;
}

int collectRows(const QString &id)
{
    return FreshDatabase::scalar(QStringLiteral("select count(*) from exam_Collect where questionid='%1'").arg(id));
}

} // namespace

class SearchTest : public QObject
{
    Q_OBJECT

private slots:
    void hits_data();
    void hits();
    void indexFollowsEveryWrite_data();
    void indexFollowsEveryWrite();
    void numbering();
    void partsAreFilledAsParts();
    void fillInAnswerShowsNumberedBlanks();
    void resultPageText();
    void largeResultsInBlocks();
    void fuzzedKeywords();
    void typeOrderOfOddValues_data();
    void typeOrderOfOddValues();
    void hitsGrowAsAPrefix_data();
    void hitsGrowAsAPrefix();

    void refusedOrFailedSearch_data();
    void refusedOrFailedSearch();
    void countLine_data();
    void countLine();
    void countLineFollowsTheSearch_data();
    void countLineFollowsTheSearch();
    void enterSearches();
    void scrollingShowsEveryHitOnce_data();
    void scrollingShowsEveryHitOnce();
    void favouriteInALaterBlock_data();
    void favouriteInALaterBlock();
    void buttonIdsUnique();
    void newSearchMidwayReplacesTheOld_data();
    void newSearchMidwayReplacesTheOld();
    void closeMidway_data();
    void closeMidway();
    void emptyKeywordKeepsPageAndResults();
    void favouriteFromResultPage_data();
    void favouriteFromResultPage();
    void favouriteLookFollowsTheAnswer_data();
    void favouriteLookFollowsTheAnswer();
    void bridgeReachesEveryNewPage();
    void debugLineNamesItsFunction();
    void showAndCloseDriveTheMainWindow();
    void dragOnlyFromTheTopStrip_data();
    void dragOnlyFromTheTopStrip();
    void maximiseAndRestoreSwapButtons();
};

void SearchTest::hits_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("word of a composite lists its parts") << "Harbour" << QStringList{"c1a", "c1b"};
    QTest::newRow("word only in a part finds nothing") << "partonlyword" << QStringList{};
    QTest::newRow("upper case finds lower case") << "CRANE" << QStringList{"c1a", "c1b"};
    QTest::newRow("lower case finds upper case") << "harbour crane" << QStringList{"c1a", "c1b"};
    QTest::newRow("two letters") << "um" << QStringList{"n1", "n2", "n3a", "n3b", "n3c", "n4"};
    QTest::newRow("one letter") << "\\" << QStringList{"b1"};
    QTest::newRow("run of spaces") << "  " << QStringList{"s1"};
    QTest::newRow("single quote") << "it's" << QStringList{"s1"};
    QTest::newRow("double quote") << "\"50" << QStringList{"s1"};
    QTest::newRow("percent is literal") << "50%" << QStringList{"s1"};
    QTest::newRow("underscore is literal") << "a_b" << QStringList{"s1"};
    QTest::newRow("backslash is literal") << "C:\\temp" << QStringList{"b1"};
    QTest::newRow("statement text stays a keyword") << "x' or '1'='1" << QStringList{};
    QTest::newRow("index syntax stays a keyword") << "numkey OR crane" << QStringList{};
    QTest::newRow("accented capital is another letter") << "ÉTÉ" << QStringList{"e1"};
    QTest::newRow("no match") << "zzzz" << QStringList{};
}

// The same hits in the same order, labelled alike, with the title index, by
// scanning, and by the statements of the search before it found hits in slices.
void SearchTest::hits()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, ids);
    FreshDatabase db(questionRow("e1", 1, "ÉTÉ") + questionRow("e2", 1, "été") + fixtureBank());
    QVERIFY(db.ok());
    const auto results = search(keyword);
    QCOMPARE(resultIds(*results), ids);
    QCOMPARE(results->questionCount, ids.size());
    QCOMPARE(results->askCount, ids.size());
    const QStringList scanned = labelledHits(keyword, QuestionSearch::IndexUse::Never);
    QCOMPARE(scanned, todaysHits(keyword));
    for (const QuestionSearch::IndexUse way : everyWay)
        QCOMPARE(labelledHits(keyword, way), scanned);
    QVERIFY(QuestionSearch(database(), keyword).usesIndex());
}

void SearchTest::indexFollowsEveryWrite_data()
{
    QTest::addColumn<QString>("writes");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("insert") << questionRow("w1", 1, "fresh import") << "fresh" << QStringList{"w1"};
    QTest::newRow("title changed")
        << "update exam_question set title='renamed crane' where id='s2'" << "renamed" << QStringList{"s2"};
    QTest::newRow("old title gone") << "update exam_question set title='renamed' where id='s2'" << "507 units"
                                    << QStringList{};
    QTest::newRow("deleted") << "delete from exam_question where id='s1'" << "gap" << QStringList{};
    QTest::newRow("replaced")
        << "insert or replace into exam_question(id,questionTypeid,title,relationship) values('s1',1,'new text','')"
        << "text" << QStringList{"s1"};
    QTest::newRow("replaced, old title gone")
        << "insert or replace into exam_question(id,questionTypeid,title,relationship) values('s1',1,'new text','')"
        << "gap" << QStringList{};
    // The migration step indexes the rows a bank already has.
    QTest::newRow("built for existing rows")
        << "drop table question_title_pairs;\ndrop table question_title_queue;\n"
           "drop trigger question_title_queue_insert;\ndrop trigger question_title_queue_update;\n"
           "drop trigger question_title_queue_delete;\n"
        << "crane" << QStringList{"c1a", "c1b"};
}

void SearchTest::indexFollowsEveryWrite()
{
    QFETCH(QString, writes);
    QFETCH(QString, keyword);
    QFETCH(QStringList, ids);
    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    QVERIFY(FreshDatabase::exec(writes));
    if (writes.startsWith(QLatin1String("drop"))) {
        for (const SchemaMigration::Step &step : SchemaSteps::all())
            if (step.version == 8)
                QVERIFY(step.apply(database()));
    }
    QVERIFY(QuestionSearch(database(), keyword).usesIndex());
    QCOMPARE(resultIds(*search(keyword)), ids);
    QCOMPARE(labelledHits(keyword, QuestionSearch::IndexUse::WhenPossible),
             labelledHits(keyword, QuestionSearch::IndexUse::Never));
}

void SearchTest::numbering()
{
    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    const auto results = search(QStringLiteral("numkey"));
    QCOMPARE(resultIds(*results), (QStringList{"n1", "n2", "n3a", "n3b", "n3c", "n4"}));
    QList<int> numbers, leaves, seqs;
    for (const auto &q : results->questions) {
        numbers << q->number;
        leaves << q->leafNo;
        seqs << q->seq;
    }
    QCOMPARE(numbers, (QList<int>{1, 2, 3, 3, 3, 3}));
    QCOMPARE(leaves, (QList<int>{0, 0, 1, 2, 3, 0}));
    QCOMPARE(seqs, (QList<int>{1, 2, 3, 4, 5, 6}));
    // Element ids derive from seq: no two hits share one.
    QSet<QString> ids;
    for (const auto &q : results->questions)
        ids << q->focusId << q->explainId << q->cardId;
    QCOMPARE(ids.size(), 3 * 6);
    // A part is labelled as on the answer card.
    QVERIFY(results->questions[4]->html.contains(QStringLiteral("<p>3.3&nbsp;part c<br>")));
    QVERIFY(results->questions[5]->html.contains(QStringLiteral("<p>3.&nbsp;")));
}
void SearchTest::partsAreFilledAsParts()
{
    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    const auto results = search(QStringLiteral("numkey"));
    const ExamQuestion &top = *results->questions[0];
    const ExamQuestion &part = *results->questions[2];
    const ExamQuestion &essay = *results->questions[4];
    QCOMPARE(top.material + "|" + QString::number(top.sortNo) + "|" + QString::number(top.isCollect),
             QStringLiteral("|0|1"));
    QCOMPARE(part.material + "|" + QString::number(part.sortNo) + "|" + part.option1 + "|" + part.fuleixingid,
             QStringLiteral("part a|7|first<br/>|f6"));
    QCOMPARE(essay.option1, QString());
    QVERIFY(top.html.contains(QStringLiteral("<font color=\"red\">numkey</font>")));
}

void SearchTest::fillInAnswerShowsNumberedBlanks()
{
    FreshDatabase db(questionRow("b2", 4, "blanks here")
                     + "update exam_question set answer='控制器|输出设备' where id='b2';\n");
    QVERIFY(db.ok());
    const auto results = search(QStringLiteral("blanks"));
    QCOMPARE(results->questions.size(), size_t(1));
    QVERIFY2(results->questions[0]->answerHtml.contains(QStringLiteral("(1) 控制器 (2) 输出设备")),
             qPrintable(results->questions[0]->answerHtml));
}

void SearchTest::resultPageText()
{
    ExamPaper results;
    for (const char *text : {"<a>", "<b>"}) {
        auto q = std::make_unique<ExamQuestion>();
        q->html = QLatin1String(text);
        q->answerHtml = QLatin1String(text).mid(1);
        results.addQuestion(std::move(q));
    }
    const QString page = SearchResultPage::build(results, QStringLiteral("/opt/tessera/"));
    QVERIFY(page.startsWith(QStringLiteral(
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtds\"> <html xmlns=\"http://www.w3.org/1999/xhtml\"> "
        "<head> <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /> "
        "<link href=\"file:///opt/tessera/css/maincss.css\" rel=\"stylesheet\" type=\"text/css\" > </link>"
        "<link href=\"file:///opt/tessera/css/welcss.css\" rel=\"stylesheet\" type=\"text/css\" > </link>"
        "<style type=\"text/css\"> ")));
    QVERIFY(page.contains(QStringLiteral(
        " </style><script type=\"text/javascript\" src=\"file:///opt/tessera/js/jQuery.js\"></script>"
        "<script type=\"text/javascript\" src=\"file:///opt/tessera/js/popup.js\"></script>"
        "<script type=\"text/javascript\" src=\"file:///opt/tessera/js/swfobject.js\"></script>"
        "<script type=\"text/javascript\">")));
    QVERIFY(page.contains(readTextFile(QStringLiteral(":/js/mian.js"))));
    QVERIFY(page.endsWith(QStringLiteral(
        "</script><body> <div class=\"text_box\"> <a>a><b>b></div></body> </html>")));
}

// The whole page groups more than a hundred hits in plain blocks: every hit
// appears once, in order, and never split.
void SearchTest::largeResultsInBlocks()
{
    ExamPaper results;
    QString plainBody;
    for (int i = 0; i < 250; ++i) {
        auto q = std::make_unique<ExamQuestion>();
        q->html = QStringLiteral("<p>%1").arg(i);
        q->answerHtml = QStringLiteral("</p>");
        plainBody += q->html + q->answerHtml;
        results.addQuestion(std::move(q));
    }
    const QString page = SearchResultPage::build(results, QStringLiteral("/opt/tessera/"));
    const QString start = QStringLiteral("<body> <div class=\"text_box\"> ");
    QString body = page.mid(page.indexOf(start) + start.size());
    body.chop(QStringLiteral("</div></body> </html>").size());
    QCOMPARE(body.count(QStringLiteral("<div>")), 3);
    QVERIFY(body.startsWith(QStringLiteral("<div><p>0</p>")));
    QVERIFY(body.contains(QStringLiteral("<p>99</p></div><div><p>100</p>")));
    QCOMPARE(body.remove(QStringLiteral("<div>")).remove(QStringLiteral("</div>")), plainBody);
    // The page the window keeps is the same head with an empty text box.
    QCOMPARE(SearchResultPage::shell(QStringLiteral("/opt/tessera/")),
             page.left(page.indexOf(start) + start.size()) + QStringLiteral("</div></body> </html>"));
}

namespace {

// Characters the fuzzed titles and keywords are made of: letters in both
// cases (ASCII and not), the LIKE wildcards and escape, quotes, spaces and CJK.
const QStringList fuzzAlphabet{"a", "A", "b", "B", "é", "É", "%", "_", "\\", "'", "\"", " ", "中", "文", "题", "1"};
// What a keyword may also hold that the search must refuse.
const QStringList fuzzRefused{QString(QChar(0)), QStringLiteral("\x01"), QStringLiteral("\t"),
                              QString(QChar(0xD800)), QString(QuestionSearch::maxKeywordLength + 1, 'a')};

QString fuzzText(TestSupport::SeededFuzz &fuzz, int maxLength)
{
    QString text;
    for (int n = fuzz.number(0, maxLength); n > 0; --n)
        text += fuzz.pick(fuzzAlphabet);
    return text;
}

QString foldAscii(QString text)
{
    for (QChar &c : text)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = c.toLower();
    return text;
}

struct FuzzRow
{
    QString id;
    int type;
    QString title;
    QString parent;
};

// The hits worked out without SQL: top-level titles holding the keyword (ASCII
// letters folded), stably ordered by type, each composite replaced by its parts.
QStringList referenceHits(const QVector<FuzzRow> &rows, const QString &keyword)
{
    QVector<FuzzRow> top;
    for (const FuzzRow &row : rows)
        if (row.parent.isEmpty() && foldAscii(row.title).contains(foldAscii(keyword)))
            top << row;
    std::stable_sort(top.begin(), top.end(), [](const FuzzRow &a, const FuzzRow &b) { return a.type < b.type; });
    QStringList hits;
    for (const FuzzRow &row : top) {
        if (row.type != ExamQuestion::Composite) {
            hits << row.id;
            continue;
        }
        for (const FuzzRow &part : rows)
            if (part.parent == row.id)
                hits << part.id;
    }
    return hits;
}

} // namespace

// Seeded random banks and keywords against the reference above, both ways of
// finding; refused input gets a message; no highlight lands in an essay box.
void SearchTest::fuzzedKeywords()
{
    TestSupport::SeededFuzz fuzz(400, 8000);
    QVector<FuzzRow> rows;
    QString sql;
    for (int i = 0; i < 160; ++i) {
        FuzzRow row{QStringLiteral("f%1").arg(i), fuzz.number(1, 7), fuzzText(fuzz, 14), QString()};
        if (i > 0 && rows.last().type == ExamQuestion::Composite && fuzz.chance(50))
            row.parent = rows.last().parent.isEmpty() ? rows.last().id : rows.last().parent;
        rows << row;
        QString title = row.title;
        sql += QStringLiteral("insert into exam_question(id,questionTypeid,title,titleImage,optionLength,relationship)"
                              " values('%1',%2,'%3','%3',2,'%4');\n")
                   .arg(row.id)
                   .arg(row.type)
                   .arg(title.replace(QLatin1Char('\''), QLatin1String("''")), row.parent);
    }
    FreshDatabase db(sql);
    QVERIFY(db.ok());
    const QRegularExpression markInBox(QStringLiteral("<textarea[^>]*>[^<]*<font"));
    while (fuzz.next()) {
        QString keyword = fuzzText(fuzz, 4);
        if (keyword.isEmpty())
            continue;
        if (fuzz.chance(10))
            keyword.insert(fuzz.number(0, keyword.size()), fuzz.pick(fuzzRefused));
        QuestionSearch finder(database(), keyword);
        if (!QuestionSearch::keywordProblem(keyword).isEmpty()) {
            QCOMPARE(finder.finish(), QuestionSearch::Status::Failed);
            QVERIFY(!finder.error().isEmpty());
            continue;
        }
        const auto results = search(keyword);
        QCOMPARE(resultIds(*results), referenceHits(rows, keyword));
        const QStringList scanned = labelledHits(keyword, QuestionSearch::IndexUse::Never);
        for (const QuestionSearch::IndexUse way : everyWay)
            QVERIFY2(labelledHits(keyword, way) == scanned, qPrintable(fuzz.describe(keyword)));
        for (const auto &q : results->questions)
            QVERIFY2(!markInBox.match(q->html).hasMatch(), qPrintable(fuzz.describe(keyword)));
    }
}

void SearchTest::typeOrderOfOddValues_data()
{
    QTest::addColumn<QString>("types");   // questionTypeid of t0, t1, ... as SQL values
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("no type before numbers") << "3,NULL,1" << QStringList{"t1", "t2", "t0"};
    QTest::newRow("fractions between whole numbers") << "2,1.5,1" << QStringList{"t2", "t1", "t0"};
    QTest::newRow("text of digits is a number") << "'10',9" << QStringList{"t1", "t0"};
    QTest::newRow("text after numbers, in text order") << "'b',9,'a'" << QStringList{"t1", "t2", "t0"};
    QTest::newRow("bytes after text") << "x'00','z'" << QStringList{"t1", "t0"};
    QTest::newRow("equal types in row order") << "2,1,2,1" << QStringList{"t1", "t3", "t0", "t2"};
    QTest::newRow("composite as its parts in its place") << "7,6,1" << QStringList{"t2", "t1a", "t1b", "t0"};
}

// SQLite's order of any stored type value, ties by row, the same every way
// of finding, with the rows still queued for the index and once it holds them.
void SearchTest::typeOrderOfOddValues()
{
    QFETCH(QString, types);
    QFETCH(QStringList, ids);
    QString rows;
    const QStringList values = types.split(QLatin1Char(','));
    for (int i = 0; i < values.size(); ++i) {
        rows += QStringLiteral("insert into exam_question(id,questionTypeid,title,titleImage,optionLength,relationship)"
                               " values('t%1',%2,'odd kw','odd kw',2,'');\n")
                    .arg(i)
                    .arg(values.at(i));
    }
    rows += questionRow("t1a", 1, "part", "t1") + questionRow("t1b", 1, "part", "t1");
    FreshDatabase db(rows);
    QVERIFY(db.ok());
    for (const bool caughtUp : {false, true}) {
        if (caughtUp)
            QVERIFY(TitleIndex::catchUp(database()));
        const QStringList scanned = labelledHits(QStringLiteral("odd kw"), QuestionSearch::IndexUse::Never);
        QCOMPARE(idsOf(scanned), ids);
        for (const QuestionSearch::IndexUse way : everyWay)
            QCOMPARE(labelledHits(QStringLiteral("odd kw"), way), scanned);
    }
}

void SearchTest::hitsGrowAsAPrefix_data()
{
    QTest::addColumn<QuestionSearch::IndexUse>("way");
    QTest::newRow("index, in type order") << QuestionSearch::IndexUse::InTypeOrder;
    QTest::newRow("index, sorted after") << QuestionSearch::IndexUse::SortedAfter;
    QTest::newRow("scanning") << QuestionSearch::IndexUse::Never;
}

// Stepped in its smallest steps, the search's hits only ever grow: what it
// has found at any step is the start of the final list, labels and note
// marks included; the first hits are known before the search is done.
void SearchTest::hitsGrowAsAPrefix()
{
    QFETCH(QuestionSearch::IndexUse, way);
    FreshDatabase db(mixedRows(QStringLiteral("grow"), 3000) + questionRow("other", 1, "no title hit")
                     + noteRow(QStringLiteral("grow00019p2"), QStringLiteral("grow in the note of a part"))
                     + noteRow(QStringLiteral("grow02001"), QStringLiteral("grow noted"))
                     + noteRow(QStringLiteral("other"), QStringLiteral("grow only here")));
    QVERIFY(db.ok());
    QuestionSearch finder(database(), QStringLiteral("grow"), SubjectScope(), way);
    QVector<QVector<SearchHit>> seen;
    bool foundWhileRunning = false;
    while (finder.step(0) == QuestionSearch::Status::Running && seen.size() < 100000) {
        seen << finder.hits();
        foundWhileRunning = foundWhileRunning || finder.found() > 0;
    }
    QCOMPARE(finder.status(), QuestionSearch::Status::Done);
    QVERIFY(foundWhileRunning);
    const QVector<SearchHit> &all = finder.hits();
    for (const QVector<SearchHit> &early : qAsConst(seen)) {
        QVERIFY(early.size() <= all.size());
        QVERIFY(std::equal(early.cbegin(), early.cend(), all.cbegin(), sameHit));
    }
    QCOMPARE(all.size(), 3000 - 300 + 2 * 300 + 1);
    QStringList marked;
    QSqlQuery id(database());
    id.prepare(QStringLiteral("select id from exam_question where rowid=:r"));
    for (const SearchHit &hit : all) {
        if (!hit.inNote)
            continue;
        id.bindValue(QStringLiteral(":r"), hit.rowid);
        QVERIFY(id.exec() && id.next());
        marked << id.value(0).toString();
    }
    // Types 1 to 5 before the composites; the question found by its note alone comes last.
    QCOMPARE(marked, (QStringList{"grow02001", "grow00019p2", "other"}));
    QCOMPARE(labelledHits(QStringLiteral("grow"), way), labelledHits(QStringLiteral("grow"), QuestionSearch::IndexUse::Never));
}

void SearchTest::refusedOrFailedSearch_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("spoil");
    QTest::addColumn<QString>("message");
    const QString control = QStringLiteral("关键字中不能含有控制字符。");
    QTest::newRow("NUL") << QString(QChar(0)) << QString() << control;
    QTest::newRow("NUL after a word") << QStringLiteral("numkey") + QChar(0) << QString() << control;
    QTest::newRow("control character") << QStringLiteral("num\x1bkey") << QString() << control;
    QTest::newRow("lone surrogate") << QString(QChar(0xDC00)) << QString()
                                    << QStringLiteral("关键字中含有无法识别的字符。");
    QTest::newRow("too long") << QString(60000, QLatin1Char('a')) << QString()
                              << QStringLiteral("关键字太长：最多 200 个字符。");
    QTest::newRow("failing query") << QStringLiteral("numkey") << QStringLiteral("drop table exam_question")
                                   << QStringLiteral("检索没有完成：");
}

void SearchTest::refusedOrFailedSearch()
{
    QFETCH(QString, keyword);
    QFETCH(QString, spoil);
    QFETCH(QString, message);
    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    SoQuestion window;
    QVERIFY(searchInWindow(window, QStringLiteral("numkey")));
    QVERIFY(spoil.isEmpty() || FreshDatabase::exec(spoil));
    QVERIFY(searchInWindow(window, keyword));
    QVERIFY2(shownCountLine(window).startsWith(message), qPrintable(shownCountLine(window)));
    QCOMPARE(evaluate(window, QStringLiteral("document.querySelectorAll('div.content').length")), QStringLiteral("0"));
    QVERIFY(!window.results());
    QCOMPARE(window.hitCount(), 0);
}

void SearchTest::countLine_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("line");
    QTest::newRow("hits") << "numkey" << QStringLiteral("共 6 题");
    QTest::newRow("one hit") << "gap" << QStringLiteral("共 1 题");
    QTest::newRow("nothing") << "zzzz" << QStringLiteral("没有找到包含“zzzz”的试题");
    QTest::newRow("typed markup shows as typed") << "<b>&amp;" << QStringLiteral("没有找到包含“<b>&amp;”的试题");
}

void SearchTest::countLine()
{
    QFETCH(QString, keyword);
    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    SoQuestion window;
    QVERIFY(searchInWindow(window, keyword));
    QTEST(shownCountLine(window), "line");
}

void SearchTest::countLineFollowsTheSearch_data()
{
    QTest::addColumn<int>("hits");
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<bool>("shownWhileFinding");
    QTest::newRow("first block before the last hit is found") << 2400 << 0 << true;
    QTest::newRow("every hit found at once") << 30 << 30 << false;
}

// The first block shows as soon as it is known, under a line saying the search
// goes on; the final count replaces it; the hits on the page are those of the
// whole search, in its order.
void SearchTest::countLineFollowsTheSearch()
{
    QFETCH(int, hits);
    QFETCH(int, stepMs);
    QFETCH(bool, shownWhileFinding);
    FreshDatabase db(mixedRows(QStringLiteral("line"), hits));
    QVERIFY(db.ok());
    SoQuestion window;
    window.searchStepMs = stepMs;
    window.show();
    QVERIFY(TestSupport::waitForPage(window.soWebView));
    // The page notes every count line it is given.
    QCOMPARE(evaluate(window, QStringLiteral(
                                  "window.soLines = []; (function() { var show = soShow, count = soSetCount;"
                                  " soShow = function(l, b, m) { soLines.push(l); return show(l, b, m); };"
                                  " soSetCount = function(l, m) { soLines.push(l); return count(l, m); }; })();"
                                  " 'noting'")),
             QStringLiteral("noting"));
    QVERIFY(searchInWindow(window, QStringLiteral("line")));
    QCOMPARE(window.searching(), shownWhileFinding);
    if (shownWhileFinding)
        QCOMPARE(window.hitCount(), 0);
    QVERIFY(QTest::qWaitFor([&]() { return !window.searching(); }, 30000));
    const auto whole = search(QStringLiteral("line"));
    const int total = int(whole->questions.size());
    QCOMPARE(window.hitCount(), total);
    const QString finalLine = SearchResultPage::countLine(total, QStringLiteral("line"));
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(window, QStringLiteral("soLines[soLines.length - 1]")), finalLine, 5000);
    const QStringList lines = evaluate(window, QStringLiteral("soLines.join('\\n')")).split(QLatin1Char('\n'));
    if (shownWhileFinding) {
        QVERIFY2(lines.size() > 1, qPrintable(lines.join(QLatin1Char('|'))));
        QVERIFY2(lines.first().contains(QStringLiteral("正在继续检索")), qPrintable(lines.first()));
    } else {
        QCOMPARE(lines, QStringList{finalLine});
    }
    // Neither the running lines nor the final one appear twice on the page.
    QCOMPARE(evaluate(window, QStringLiteral("document.querySelectorAll('#so_count').length")), QStringLiteral("1"));
    const QStringList shown = shownCardIds(window);
    QVERIFY(!shown.isEmpty());
    QCOMPARE(shown, cardIds(*whole).mid(0, shown.size()));
}

void SearchTest::enterSearches()
{
    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    SoQuestion window;
    window.show();
    QSignalSpy shown(&window, &SoQuestion::resultsShown);
    window.lineEdit->setFocus();
    QTest::keyClicks(window.lineEdit, QStringLiteral("Harbour"));
    QTest::keyClick(window.lineEdit, Qt::Key_Return);
    QVERIFY(shown.count() > 0 || shown.wait(20000));
    QCOMPARE(resultIds(*window.results()), (QStringList{"c1a", "c1b"}));
}

void SearchTest::scrollingShowsEveryHitOnce_data()
{
    QTest::addColumn<int>("hits");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("one block") << SearchResultPage::hitsPerBlock << false;
    QTest::newRow("one hit in a second block") << SearchResultPage::hitsPerBlock + 1 << false;
    QTest::newRow("several blocks, the last partly filled") << 230 << false;
    QTest::newRow("several blocks, maximised window") << 230 << true;
}

// Scrolled to its end, the page holds every hit once, in order, each exactly
// as the whole page of today shows it.
void SearchTest::scrollingShowsEveryHitOnce()
{
    QFETCH(int, hits);
    QFETCH(bool, maximised);
    FreshDatabase db(bulkRows(QStringLiteral("bulk"), hits));
    QVERIFY(db.ok());
    SoQuestion window;
    window.resize(900, 600);
    window.show();
    if (maximised)
        window.bMax->click();
    QVERIFY(searchInWindow(window, QStringLiteral("bulk")));
    QCOMPARE(shownCountLine(window), QStringLiteral("共 %1 题").arg(hits));
    QCOMPARE(int(window.results()->questions.size()), qMin(hits, SearchResultPage::hitsPerBlock));
    QVERIFY(scrollThroughEveryBlock(window));

    const auto whole = search(QStringLiteral("bulk"));
    QCOMPARE(shownCardIds(window), cardIds(*whole));
    PageView today;
    QVERIFY(TestSupport::loadPage(&today, SearchResultPage::build(*whole, AppPaths::current().pageDir()), 20000));
    QCOMPARE(hitFragments(window.soWebView), hitFragments(&today));
    QCOMPARE(evaluate(window, QStringLiteral("document.getElementById('so_more').style.display")),
             QStringLiteral("none"));
}

void SearchTest::favouriteInALaterBlock_data()
{
    QTest::addColumn<int>("hit");
    QTest::newRow("first of the second block") << SearchResultPage::hitsPerBlock;
    QTest::newRow("last of a partly filled block") << 229;
}

void SearchTest::favouriteInALaterBlock()
{
    QFETCH(int, hit);
    FreshDatabase db(bulkRows(QStringLiteral("bulk"), 230));
    QVERIFY(db.ok());
    SoQuestion window;
    QVERIFY(searchInWindow(window, QStringLiteral("bulk")));
    // The link under the hits asks for the next block, as scrolling does.
    while (window.morePending()) {
        const int shown = int(window.results()->questions.size());
        evaluate(window, QStringLiteral("document.querySelector('#so_more a').click()"));
        QVERIFY(QTest::qWaitFor([&]() { return int(window.results()->questions.size()) > shown; }, 5000));
    }
    const ExamQuestion &q = *window.results()->questions[hit];
    evaluate(window, QStringLiteral("document.getElementById('%1').click()").arg(q.cardId));
    QTRY_COMPARE_WITH_TIMEOUT(collectRows(q.id), 1, 5000);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select isCollect from exam_question where id='%1'").arg(q.id)), 1);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(window, QStringLiteral("document.getElementById('%1').className").arg(q.cardId)),
                              QStringLiteral("but_hidecang"), 5000);
    evaluate(window, QStringLiteral("document.getElementById('%1').click()").arg(q.cardId));
    QTRY_COMPARE_WITH_TIMEOUT(collectRows(q.id), 0, 5000);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_Collect")), 0);
}

// Nine fill-in questions, then a composite of 191 fill-in parts and one of two:
// the part at position 20 (part 11) and the one at 201 (part 1) once shared
// the button id "sc_ti4_2011".
void SearchTest::buttonIdsUnique()
{
    QString rows;
    for (int i = 0; i < 9; ++i)
        rows += questionRow(QStringLiteral("t%1").arg(i), 4, "idkey single");
    rows += questionRow("ca", 6, "idkey case a") + questionRow("cb", 6, "idkey case b");
    for (int i = 0; i < 191; ++i)
        rows += questionRow(QStringLiteral("ca%1").arg(i, 3, 10, QLatin1Char('0')), 4, "part", "ca");
    rows += questionRow("cb1", 4, "part", "cb") + questionRow("cb2", 4, "part", "cb");
    FreshDatabase db(rows);
    QVERIFY(db.ok());
    SoQuestion window;
    window.show();
    QVERIFY(searchInWindow(window, QStringLiteral("idkey")));
    QVERIFY(scrollThroughEveryBlock(window));
    QCOMPARE(window.hitCount(), 202);
    const QStringList buttons =
        evaluate(window, QStringLiteral("Array.prototype.map.call(document.querySelectorAll('input[type=button]'),"
                                        "function(e){return e.id;}).join(',')"))
            .split(QLatin1Char(','));
    QCOMPARE(buttons.size(), 202);
    QCOMPARE(QSet<QString>(buttons.begin(), buttons.end()).size(), 202);

    const ExamQuestion &twentieth = *window.results()->questions[19];
    const ExamQuestion &last = *window.results()->questions[200];
    QCOMPARE(twentieth.leafNo, 11);
    QCOMPARE(last.leafNo, 1);
    evaluate(window, QStringLiteral("document.getElementById('%1').click()").arg(twentieth.cardId));
    QTRY_COMPARE_WITH_TIMEOUT(FreshDatabase::column(QStringLiteral("select questionid from exam_Collect")),
                              QStringList{twentieth.id}, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(window, QStringLiteral("document.getElementById('%1').className").arg(twentieth.cardId)),
                              QStringLiteral("but_hidecang"), 5000);
    QCOMPARE(evaluate(window, QStringLiteral("document.getElementById('%1').className").arg(last.cardId)),
             QStringLiteral("but_showcang"));
}

void SearchTest::newSearchMidwayReplacesTheOld_data()
{
    QTest::addColumn<bool>("whileFinding");
    QTest::addColumn<QString>("secondKeyword");
    QTest::addColumn<QString>("secondLine");
    QTest::newRow("while finding hits, small result") << true << "beta" << QStringLiteral("共 3 题");
    QTest::newRow("while blocks wait, small result") << false << "beta" << QStringLiteral("共 3 题");
    QTest::newRow("while blocks wait, large result") << false << "gamma" << QStringLiteral("共 230 题");
    QTest::newRow("while finding hits, refused keyword")
        << true << QString(QChar(1)) << QStringLiteral("关键字中不能含有控制字符。");
}

void SearchTest::newSearchMidwayReplacesTheOld()
{
    QFETCH(bool, whileFinding);
    QFETCH(QString, secondKeyword);
    FreshDatabase db(bulkRows(QStringLiteral("alpha"), 10000) + bulkRows(QStringLiteral("beta"), 3)
                     + bulkRows(QStringLiteral("gamma"), 230));
    QVERIFY(db.ok());
    SoQuestion window;
    window.show();
    QVERIFY(TestSupport::waitForPage(window.soWebView));
    // One slice of the bank a turn: the first search takes several.
    window.searchStepMs = 0;
    window.lineEdit->setText(QStringLiteral("alpha"));
    QTest::mouseClick(window.soButton, Qt::LeftButton);
    if (whileFinding) {
        // Its first block is on the page while it goes on.
        QVERIFY(window.searching());
        QVERIFY(window.results());
    } else {
        QVERIFY(QTest::qWaitFor([&]() { return !window.searching(); }, 30000));
        QVERIFY(window.morePending());
    }
    QVERIFY(searchInWindow(window, secondKeyword));
    QVERIFY(QTest::qWaitFor([&]() { return !window.searching(); }, 30000));
    QVERIFY(scrollThroughEveryBlock(window));
    // Nothing of the first search arrives later.
    QTest::qWait(200);
    QTEST(shownCountLine(window), "secondLine");
    if (window.results())
        QCOMPARE(shownCardIds(window), cardIds(*window.results()));
    QCOMPARE(window.hitCount(), window.results() ? int(window.results()->questions.size()) : 0);
    QCOMPARE(evaluate(window, QStringLiteral("document.body.innerHTML.indexOf('alpha')")), QStringLiteral("-1"));
}

void SearchTest::closeMidway_data()
{
    QTest::addColumn<int>("stage");   // 0 page loading, 1 finding hits, 2 blocks waiting
    QTest::newRow("page still loading") << 0;
    QTest::newRow("finding hits") << 1;
    QTest::newRow("blocks waiting") << 2;
}

// Closing (and so deleting) the window at any stage leaves nothing behind that
// still runs.
void SearchTest::closeMidway()
{
    QFETCH(int, stage);
    FreshDatabase db(bulkRows(QStringLiteral("alpha"), 10000));
    QVERIFY(db.ok());
    QPointer<SoQuestion> window = new SoQuestion(nullptr);
    window->searchStepMs = 0;
    window->show();
    if (stage > 0) {
        window->lineEdit->setText(QStringLiteral("alpha"));
        QTest::mouseClick(window->soButton, Qt::LeftButton);
        QVERIFY(window->searching());
    }
    if (stage > 1) {
        QVERIFY(QTest::qWaitFor([&]() { return !window->searching(); }, 30000));
        QVERIFY(window->morePending());
    }
    QSignalSpy showMain(window.data(), &SoQuestion::meShow);
    QTest::mouseClick(window->bClose, Qt::LeftButton);
    QCOMPARE(showMain.count(), 1);
    QTRY_VERIFY(window.isNull());
    // The event loop runs on with nothing left to do.
    QTest::qWait(100);
}

void SearchTest::emptyKeywordKeepsPageAndResults()
{
    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    SoQuestion window;
    QVERIFY(searchInWindow(window, QStringLiteral("Harbour")));
    const ExamPaper *before = window.results();
    QVERIFY(before);
    const QString outerHtml = QStringLiteral("document.documentElement.outerHTML");
    const QString page = evaluate(window, outerHtml);
    window.lineEdit->clear();
    QTest::mouseClick(window.soButton, Qt::LeftButton);
    QTest::qWait(50);
    QCOMPARE(window.results(), before);
    QCOMPARE(int(window.results()->questions.size()), 2);
    QCOMPARE(evaluate(window, outerHtml), page);
}

void SearchTest::favouriteFromResultPage_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("questionId");
    QTest::addColumn<QStringList>("scripts");   // %1 is the favourite button's id
    QTest::addColumn<int>("isCollect");
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<QString>("buttonClass");

    const QString click = QStringLiteral("document.getElementById('%1').click()");
    QTest::newRow("add") << "Harbour" << "c1b" << QStringList{click} << 1 << QStringList{"f6"} << "but_hidecang";
    QTest::newRow("add twice")
        << "Harbour" << "c1b"
        << QStringList{click, QStringLiteral("myjstest.shoucang('c1b', 1)")} << 1 << QStringList{"f6"}
        << "but_hidecang";
    QTest::newRow("add, then remove") << "Harbour" << "c1b" << QStringList{click, click} << 0 << QStringList{}
                                      << "but_showcang";
    QTest::newRow("remove a stored favourite") << "numkey" << "n1" << QStringList{click} << 0 << QStringList{}
                                               << "but_showcang";
    QTest::newRow("id outside the results changes nothing")
        << "Harbour" << "s1" << QStringList{QStringLiteral("myjstest.shoucang('s1', 1)")} << 0 << QStringList{}
        << "";
    QTest::newRow("quote in the id") << "Harbour" << "c1b'"
                                     << QStringList{QStringLiteral("myjstest.shoucang(\"c1b'\", 0)")} << -1
                                     << QStringList{} << "";
}

void SearchTest::favouriteFromResultPage()
{
    QFETCH(QString, keyword);
    QFETCH(QString, questionId);
    QFETCH(QStringList, scripts);
    QFETCH(int, isCollect);
    QFETCH(QStringList, categories);
    QFETCH(QString, buttonClass);

    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    SoQuestion window;
    QVERIFY(searchInWindow(window, keyword));
    QString buttonId;
    for (const auto &q : window.results()->questions) {
        if (q->id == questionId)
            buttonId = q->cardId;
    }
    for (QString script : scripts)
        evaluate(window, script.replace(QLatin1String("%1"), buttonId));

    // The page's calls reach the program later on some engines.
    QTRY_COMPARE_WITH_TIMEOUT(FreshDatabase::scalar(QStringLiteral("select isCollect from exam_question where id='%1'")
                                                        .arg(QString(questionId).replace(QLatin1Char('\''), QLatin1String("''")))),
                              isCollect, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(FreshDatabase::column(QStringLiteral("select fuleixingid from exam_Collect where questionid='%1'")
                                                        .arg(questionId)),
                              categories, 5000);
    if (!buttonClass.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(window, QStringLiteral("document.getElementById('%1').className").arg(buttonId)),
                                  buttonClass, 5000);
    // Across the bank, the flag and the rows say the same.
    QCOMPARE(FreshDatabase::scalar(QStringLiteral(
                 "select count(*) from exam_question q where q.isCollect <> "
                 "(select count(*) > 0 from exam_Collect c where c.questionid = q.id)")),
             0);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question")), 13);
}

void SearchTest::favouriteLookFollowsTheAnswer_data()
{
    QTest::addColumn<QString>("questionId");
    QTest::addColumn<QString>("call");       // %1 is the favourite button's id
    QTest::addColumn<QString>("refusal");    // a trigger that makes the write fail
    QTest::addColumn<QString>("answer");     // "id|n|stored|the button's class when the answer came"
    QTest::addColumn<QString>("buttonClass");
    QTest::addColumn<QStringList>("favourites");

    const QString click = QStringLiteral("document.getElementById('%1').click()");
    QTest::newRow("shown hit: the look changes with the answer")
        << "c1b" << click << QString() << "c1b|1|stored|but_showcang" << "but_hidecang"
        << QStringList{"c1b", "n1"};
    QTest::newRow("shown hit, write refused: the look stays")
        << "c1b" << click << "BEFORE INSERT ON exam_Collect" << "c1b|1|not stored|but_showcang"
        << "but_showcang" << QStringList{"n1"};
    QTest::newRow("id in the bank but not shown stores nothing")
        << "s1" << "myjstest.shoucang('s1', 1)" << QString() << "s1|1|not stored|" << QString()
        << QStringList{"n1"};
    QTest::newRow("hit of the search before stores nothing")
        << "n2" << "myjstest.shoucang('n2', 1)" << QString() << "n2|1|not stored|" << QString()
        << QStringList{"n1"};
    QTest::newRow("unknown id stores nothing")
        << "zz9" << "myjstest.shoucang('zz9', 1)" << QString() << "zz9|1|not stored|" << QString()
        << QStringList{"n1"};
    QTest::newRow("stored favourite not shown is not cleared")
        << "n1" << "myjstest.shoucang('n1', 0)" << QString() << "n1|0|not stored|" << QString()
        << QStringList{"n1"};
}

// A favourite button keeps its look until the program has answered whether it
// stored the change; a call for a question the page does not show stores
// nothing, and the page hears so.
void SearchTest::favouriteLookFollowsTheAnswer()
{
    QFETCH(QString, questionId);
    QFETCH(QString, call);
    QFETCH(QString, refusal);
    QFETCH(QString, answer);
    QFETCH(QString, buttonClass);
    QFETCH(QStringList, favourites);

    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    TestSupport::ModalCloser closer;   // the failed write's retry question is declined
    SoQuestion window;
    QVERIFY(searchInWindow(window, QStringLiteral("numkey")));
    QVERIFY(searchInWindow(window, QStringLiteral("Harbour")));
    QString buttonId;
    for (const auto &q : window.results()->questions) {
        if (q->id == questionId)
            buttonId = q->cardId;
    }
    if (!refusal.isEmpty())
        QVERIFY(FreshDatabase::exec(
            QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END;").arg(refusal)));

    // The page notes each answer with the button's class at that moment.
    QCOMPARE(evaluate(window, QStringLiteral(
                 "window.answersHeard = []; var answerFunction = scAnswered;"
                 "scAnswered = function (tid, n, stored) {"
                 " var button = document.getElementById('%1');"
                 " answersHeard.push([tid, n, stored ? 'stored' : 'not stored', button ? button.className : ''].join('|'));"
                 " answerFunction(tid, n, stored); }; 'listening'").arg(buttonId)),
             QStringLiteral("listening"));
    if (!buttonId.isEmpty())
        QCOMPARE(evaluate(window, QStringLiteral("document.getElementById('%1').className").arg(buttonId)),
                 QStringLiteral("but_showcang"));
    evaluate(window, QString(call).replace(QLatin1String("%1"), buttonId));

    QTRY_COMPARE_WITH_TIMEOUT(evaluate(window, QStringLiteral("answersHeard.join(',')")), answer, 5000);
    if (!buttonId.isEmpty())
        QCOMPARE(evaluate(window, QStringLiteral("document.getElementById('%1').className").arg(buttonId)),
                 buttonClass);
    QCOMPARE(FreshDatabase::column(QStringLiteral("select questionid from exam_Collect order by questionid")),
             favourites);
    QCOMPARE(FreshDatabase::column(QStringLiteral("select id from exam_question where isCollect=1 order by id")),
             favourites);
    QCOMPARE(closer.closedCount(), refusal.isEmpty() ? 0 : 1);
}

void SearchTest::bridgeReachesEveryNewPage()
{
    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    SoQuestion window;
    QVERIFY(searchInWindow(window, QStringLiteral("numkey")));
    QVERIFY(searchInWindow(window, QStringLiteral("Harbour")));
    QCOMPARE(evaluate(window, QStringLiteral("typeof myjstest.shoucang")), QStringLiteral("function"));
    evaluate(window, QStringLiteral("document.getElementById('%1').click()").arg(window.results()->questions[0]->cardId));
    QTRY_COMPARE_WITH_TIMEOUT(FreshDatabase::column(QStringLiteral("select questionid from exam_Collect order by questionid")),
                              (QStringList{"c1a", "n1"}), 5000);
}

namespace {
struct CapturedMessage
{
    QString text, function, file;
    QtMsgType type = QtFatalMsg;
};
CapturedMessage captured;
void captureMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    captured = {text, QString::fromLatin1(context.function), QString::fromLatin1(context.file), type};
}
} // namespace

void SearchTest::debugLineNamesItsFunction()
{
    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    SoQuestion window;
    QVERIFY(searchInWindow(window, QStringLiteral("zzzz")));
    captured = CapturedMessage();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    const auto restore = qScopeGuard([previous]() { qInstallMessageHandler(previous); });
    evaluate(window, QStringLiteral("myjstest.soQuestionJS()"));
    QTRY_COMPARE_WITH_TIMEOUT(captured.text, QStringLiteral("dddddd"), 5000);
    QCOMPARE(captured.type, QtDebugMsg);
    QCOMPARE(captured.text, QStringLiteral("dddddd"));
    QCOMPARE(captured.function, QStringLiteral("void SoQuestion::soQuestionJS()"));
    QVERIFY(captured.file.startsWith(QStringLiteral("examform/soquestion")));
}

void SearchTest::showAndCloseDriveTheMainWindow()
{
    QPointer<SoQuestion> window = new SoQuestion(nullptr);
    QSignalSpy hideMain(window.data(), &SoQuestion::meHide);
    QSignalSpy showMain(window.data(), &SoQuestion::meShow);
    window->show();
    QCOMPARE(hideMain.count(), 1);
    QCOMPARE(showMain.count(), 0);
    QTest::mouseClick(window->bClose, Qt::LeftButton);
    QCOMPARE(showMain.count(), 1);
    QCOMPARE(hideMain.count(), 1);
    // Nobody keeps a closed search window; it goes with its results.
    QTRY_VERIFY(window.isNull());
}

void SearchTest::dragOnlyFromTheTopStrip_data()
{
    QTest::addColumn<int>("startY");
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<bool>("moves");
    QTest::newRow("title strip") << 10 << false << true;
    QTest::newRow("last row of the strip") << 89 << false << true;
    QTest::newRow("below the strip") << 100 << false << false;
    QTest::newRow("maximised") << 10 << true << false;
}

void SearchTest::dragOnlyFromTheTopStrip()
{
    QFETCH(int, startY);
    QFETCH(bool, maximised);
    QFETCH(bool, moves);
    SoQuestion window;
    window.setGeometry(100, 100, 600, 400);
    window.show();
    if (maximised)
        QTest::mouseClick(window.bMax, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint before = window.pos();
    const QPoint start = window.mapToGlobal(QPoint(300, startY));
    const QPoint end = start + QPoint(40, 30);
    QMouseEvent press(QEvent::MouseButtonPress, window.mapFromGlobal(start), start, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, window.mapFromGlobal(end), end, Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, window.mapFromGlobal(end), end, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
    QApplication::sendEvent(&window, &move);
    QApplication::sendEvent(&window, &release);
    QCOMPARE(window.pos() != before, moves);
    if (moves)
        QCOMPARE(window.pos(), before + QPoint(40, 30));
}

void SearchTest::maximiseAndRestoreSwapButtons()
{
    SoQuestion window;
    window.setGeometry(50, 50, 600, 400);
    window.show();
    QVERIFY(window.bMax->isVisible());
    QVERIFY(!window.bRest->isVisible());
    QTest::mouseClick(window.bMax, Qt::LeftButton);
    QVERIFY(!window.bMax->isVisible());
    QVERIFY(window.bRest->isVisible());
    QTRY_COMPARE(window.geometry(), QGuiApplication::primaryScreen()->availableGeometry());
    QTest::mouseClick(window.bRest, Qt::LeftButton);
    QVERIFY(window.bMax->isVisible());
    QVERIFY(!window.bRest->isVisible());
}

TESSERA_TEST_MAIN(SearchTest)
#include "tst_search.moc"
