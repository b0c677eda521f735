#include "testsupport.h"

#include "dbconnection.h"
#include "exampaper.h"
#include "pagetext.h"
#include "questionsearch.h"
#include "searchresultpage.h"
#include "soquestion.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QWebFrame>
#include <QWebView>

using TestSupport::FreshDatabase;

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
    return questionRow("c1", 6, "Harbour crane accident", "", "f6")
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
        + questionRow("b1", 4, "path C:\\temp here");
}

QStringList resultIds(const ExamPaper &paper)
{
    QStringList ids;
    for (const auto &q : paper.questions)
        ids << q->id;
    return ids;
}

std::unique_ptr<ExamPaper> search(const QString &keyword)
{
    return QuestionSearch::run(DbConnection::instance(QString(), true)->database(), keyword, 5,
                               QStringLiteral("/opt/tessera/"));
}

QWebFrame *frameOf(SoQuestion &window)
{
    return window.soWebView->page()->mainFrame();
}

QString evaluate(SoQuestion &window, const QString &script)
{
    return frameOf(window)->evaluateJavaScript(script).toString();
}

// Searches through the window's own button and waits for the page's scripts
// and its first result (or the empty text box).
bool searchInWindow(SoQuestion &window, const QString &keyword)
{
    window.lineEdit->setText(keyword);
    QTest::mouseClick(window.soButton, Qt::LeftButton);
    return QTest::qWaitFor([&window]() {
        return evaluate(window, QStringLiteral("typeof jQuery + typeof sc + (document.getElementsByClassName("
                                               "'text_box').length)"))
            == QLatin1String("functionfunction1");
    }, 10000);
}

// n matching rows keyword0000, keyword0001, ... in result order.
QString bulkRows(const QString &keyword, int n)
{
    QString rows;
    for (int i = 0; i < n; ++i)
        rows += questionRow(QStringLiteral("%1%2").arg(keyword).arg(i, 4, 10, QLatin1Char('0')), 1,
                            keyword + QStringLiteral(" item"));
    return rows;
}

// The result ids in the order the page shows them: each hit's favourite button
// carries its card id.
QStringList shownCardIds(SoQuestion &window)
{
    return evaluate(window, QStringLiteral("Array.prototype.map.call(document.querySelectorAll('[id^=\"sc\"]'),"
                                           "function(e){return e.id;}).join(',')"))
        .split(QLatin1Char(','), Qt::SkipEmptyParts);
}

QStringList resultCardIds(const SoQuestion &window)
{
    QStringList ids;
    for (const auto &q : window.results()->questions)
        ids << q->cardId;
    return ids;
}

// Waits until every block of the window's results is on the page.
bool waitForWholePage(SoQuestion &window)
{
    return QTest::qWaitFor([&window]() {
        return !window.resultPagePending()
            && evaluate(window, QStringLiteral("document.getElementsByClassName('content').length")).toInt()
            == int(window.results()->questions.size());
    }, 20000);
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
    void numbering();
    void partsAreFilledAsParts();
    void resultPageText();
    void largeResultsInBlocks_data();
    void largeResultsInBlocks();

    void searchButtonShowsEveryHit();
    void appendedBlocksGiveTheWholePage_data();
    void appendedBlocksGiveTheWholePage();
    void favouriteInALaterBlock_data();
    void favouriteInALaterBlock();
    void newSearchDropsPendingBlocks_data();
    void newSearchDropsPendingBlocks();
    void closeWhileBlocksPending_data();
    void closeWhileBlocksPending();
    void emptyKeywordKeepsPageAndResults();
    void favouriteFromResultPage_data();
    void favouriteFromResultPage();
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
    QTest::newRow("run of spaces") << "  " << QStringList{"s1"};
    QTest::newRow("single quote") << "it's" << QStringList{"s1"};
    QTest::newRow("double quote") << "\"50" << QStringList{"s1"};
    QTest::newRow("percent is literal") << "50%" << QStringList{"s1"};
    QTest::newRow("underscore is literal") << "a_b" << QStringList{"s1"};
    QTest::newRow("backslash is literal") << "C:\\temp" << QStringList{"b1"};
    QTest::newRow("statement text stays a keyword") << "x' or '1'='1" << QStringList{};
    QTest::newRow("no match") << "zzzz" << QStringList{};
}

void SearchTest::hits()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, ids);
    FreshDatabase db(fixtureBank());
    QVERIFY(db.ok());
    const auto results = search(keyword);
    QCOMPARE(resultIds(*results), ids);
    QCOMPARE(results->questionCount, ids.size());
    QCOMPARE(results->askCount, ids.size());
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
    // The third part is shown under the composite's number with its own.
    QVERIFY(results->questions[4]->html.contains(QStringLiteral("<p>3.&nbsp;part c<br>3.&nbsp;")));
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

void SearchTest::largeResultsInBlocks_data()
{
    QTest::addColumn<int>("hits");
    QTest::addColumn<int>("blocks");
    QTest::newRow("a hundred hits stay in the text box") << 100 << 0;
    QTest::newRow("one more opens a second block") << 101 << 2;
    QTest::newRow("a last block only partly filled") << 250 << 3;
}

// Blocks are plain wrappers: every hit appears once, in order, and never split.
void SearchTest::largeResultsInBlocks()
{
    QFETCH(int, hits);
    QFETCH(int, blocks);
    ExamPaper results;
    QString plainBody;
    for (int i = 0; i < hits; ++i) {
        auto q = std::make_unique<ExamQuestion>();
        q->html = QStringLiteral("<p>%1").arg(i);
        q->answerHtml = QStringLiteral("</p>");
        plainBody += q->html + q->answerHtml;
        results.addQuestion(std::move(q));
    }
    const QString page = SearchResultPage::build(results, QStringLiteral("/opt/tessera/"));
    const QString start = QStringLiteral("<body> <div class=\"text_box\"> ");
    QString body = page.mid(page.indexOf(start) + start.size());
    QVERIFY(body.endsWith(QStringLiteral("</div></body> </html>")));
    body.chop(QStringLiteral("</div></body> </html>").size());

    QCOMPARE(body.count(QStringLiteral("<div>")), blocks);
    QCOMPARE(body.count(QStringLiteral("</div>")), blocks);
    if (blocks > 0) {
        QVERIFY(body.startsWith(QStringLiteral("<div><p>0</p>")));
        QVERIFY(body.contains(QStringLiteral("<p>99</p></div><div><p>100</p>")));
    }
    QCOMPARE(body.remove(QStringLiteral("<div>")).remove(QStringLiteral("</div>")), plainBody);

    // The first-block page with the further blocks added at the end of the
    // text box is the whole page, text for text.
    QString stepwise = SearchResultPage::buildFirstBlock(results, QStringLiteral("/opt/tessera/"));
    const QString end = QStringLiteral("</div></body> </html>");
    QVERIFY(stepwise.endsWith(end));
    stepwise.chop(end.size());
    QCOMPARE(SearchResultPage::blockCount(results), qMax(blocks, 1));
    for (int b = 1; b < SearchResultPage::blockCount(results); ++b)
        stepwise += SearchResultPage::block(results, b);
    QCOMPARE(stepwise + end, page);
}

void SearchTest::searchButtonShowsEveryHit()
{
    QString bulk;
    for (int i = 0; i < 300; ++i)
        bulk += questionRow(QStringLiteral("bulk%1").arg(i, 3, 10, QLatin1Char('0')), 1, "bulk item");
    FreshDatabase db(bulk);
    QVERIFY(db.ok());
    SoQuestion window;
    QVERIFY(searchInWindow(window, QStringLiteral("bulk")));
    QVERIFY(waitForWholePage(window));
    QCOMPARE(evaluate(window, QStringLiteral("document.getElementsByClassName('content').length")),
             QStringLiteral("300"));
    QCOMPARE(evaluate(window, QStringLiteral("document.getElementsByTagName('font').length")),
             QStringLiteral("300"));
    QCOMPARE(window.results()->questions.back()->number, 300);
}

void SearchTest::appendedBlocksGiveTheWholePage_data()
{
    QTest::addColumn<int>("hits");
    QTest::newRow("one block") << 100;
    QTest::newRow("one hit in a second block") << 101;
    QTest::newRow("several blocks, the last partly filled") << 350;
}

// The page shown in steps ends as the document the whole page gives: same
// elements, ids and order, every hit once.
void SearchTest::appendedBlocksGiveTheWholePage()
{
    QFETCH(int, hits);
    FreshDatabase db(bulkRows(QStringLiteral("bulk"), hits));
    QVERIFY(db.ok());
    SoQuestion window;
    QVERIFY(searchInWindow(window, QStringLiteral("bulk")));
    QVERIFY(waitForWholePage(window));
    QCOMPARE(shownCardIds(window), resultCardIds(window));
    QCOMPARE(shownCardIds(window).size(), hits);

    QWebView whole;
    QSignalSpy loaded(&whole, &QWebView::loadFinished);
    whole.setHtml(SearchResultPage::build(*window.results(), QCoreApplication::applicationDirPath() + "/"));
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 20000);
    const QString textBox = QStringLiteral("document.querySelector('body > div.text_box').innerHTML");
    const QString wholeText = whole.page()->mainFrame()->evaluateJavaScript(textBox).toString();
    QVERIFY(!wholeText.isEmpty());
    QCOMPARE(evaluate(window, textBox), wholeText);
    QCOMPARE(evaluate(window, QStringLiteral("document.body.children.length")),
             whole.page()->mainFrame()->evaluateJavaScript(QStringLiteral("document.body.children.length"))
                 .toString());
}

void SearchTest::favouriteInALaterBlock_data()
{
    QTest::addColumn<int>("hit");
    QTest::newRow("first of the second block") << 100;
    QTest::newRow("last of a partly filled block") << 249;
}

void SearchTest::favouriteInALaterBlock()
{
    QFETCH(int, hit);
    FreshDatabase db(bulkRows(QStringLiteral("bulk"), 250));
    QVERIFY(db.ok());
    SoQuestion window;
    QVERIFY(searchInWindow(window, QStringLiteral("bulk")));
    QVERIFY(waitForWholePage(window));
    const ExamQuestion &q = *window.results()->questions[hit];
    evaluate(window, QStringLiteral("document.getElementById('%1').click()").arg(q.cardId));
    QCOMPARE(collectRows(q.id), 1);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select isCollect from exam_question where id='%1'").arg(q.id)), 1);
    QCOMPARE(evaluate(window, QStringLiteral("document.getElementById('%1').className").arg(q.cardId)),
             QStringLiteral("but_hidecang"));
    evaluate(window, QStringLiteral("document.getElementById('%1').click()").arg(q.cardId));
    QCOMPARE(collectRows(q.id), 0);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_Collect")), 0);
}

void SearchTest::newSearchDropsPendingBlocks_data()
{
    QTest::addColumn<bool>("firstPageLoaded");
    QTest::addColumn<QString>("secondKeyword");
    QTest::addColumn<int>("secondHits");
    QTest::newRow("first page still loading, small result") << false << "beta" << 3;
    QTest::newRow("blocks pending, small result") << true << "beta" << 3;
    QTest::newRow("blocks pending, large result") << true << "gamma" << 230;
}

void SearchTest::newSearchDropsPendingBlocks()
{
    QFETCH(bool, firstPageLoaded);
    QFETCH(QString, secondKeyword);
    QFETCH(int, secondHits);
    FreshDatabase db(bulkRows(QStringLiteral("alpha"), 600) + bulkRows(QStringLiteral("beta"), 3)
                     + bulkRows(QStringLiteral("gamma"), 230));
    QVERIFY(db.ok());
    SoQuestion window;
    window.lineEdit->setText(QStringLiteral("alpha"));
    QTest::mouseClick(window.soButton, Qt::LeftButton);
    if (firstPageLoaded) {
        QSignalSpy loaded(window.soWebView, &QWebView::loadFinished);
        QVERIFY(loaded.wait(20000));
        QVERIFY(window.resultPagePending());
    }
    QVERIFY(searchInWindow(window, secondKeyword));
    QVERIFY(waitForWholePage(window));
    // Nothing of the first search arrives later.
    QTest::qWait(200);
    QCOMPARE(shownCardIds(window), resultCardIds(window));
    QCOMPARE(shownCardIds(window).size(), secondHits);
    QCOMPARE(evaluate(window, QStringLiteral("document.body.innerHTML.indexOf('alpha')")), QStringLiteral("-1"));
}

void SearchTest::closeWhileBlocksPending_data()
{
    QTest::addColumn<bool>("firstPageLoaded");
    QTest::newRow("first page still loading") << false;
    QTest::newRow("blocks pending") << true;
}

void SearchTest::closeWhileBlocksPending()
{
    QFETCH(bool, firstPageLoaded);
    FreshDatabase db(bulkRows(QStringLiteral("alpha"), 600));
    QVERIFY(db.ok());
    QPointer<SoQuestion> window = new SoQuestion(nullptr);
    window->show();
    window->lineEdit->setText(QStringLiteral("alpha"));
    QTest::mouseClick(window->soButton, Qt::LeftButton);
    if (firstPageLoaded) {
        QSignalSpy loaded(window->soWebView, &QWebView::loadFinished);
        QVERIFY(loaded.wait(20000));
        QVERIFY(window->resultPagePending());
    }
    QSignalSpy showMain(window.data(), &SoQuestion::meShow);
    QTest::mouseClick(window->bClose, Qt::LeftButton);
    QCOMPARE(showMain.count(), 1);
    QTRY_VERIFY(window.isNull());
    // The event loop runs on with nothing left to append.
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
    const QString page = frameOf(window)->toHtml();
    window.lineEdit->clear();
    QTest::mouseClick(window.soButton, Qt::LeftButton);
    QTest::qWait(50);
    QCOMPARE(window.results(), before);
    QCOMPARE(int(window.results()->questions.size()), 2);
    QCOMPARE(frameOf(window)->toHtml(), page);
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

    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select isCollect from exam_question where id='%1'")
                                       .arg(QString(questionId).replace(QLatin1Char('\''), QLatin1String("''")))),
             isCollect);
    QCOMPARE(FreshDatabase::column(QStringLiteral("select fuleixingid from exam_Collect where questionid='%1'")
                                       .arg(questionId)),
             categories);
    if (!buttonClass.isEmpty())
        QCOMPARE(evaluate(window, QStringLiteral("document.getElementById('%1').className").arg(buttonId)),
                 buttonClass);
    // Across the bank, the flag and the rows say the same.
    QCOMPARE(FreshDatabase::scalar(QStringLiteral(
                 "select count(*) from exam_question q where q.isCollect <> "
                 "(select count(*) > 0 from exam_Collect c where c.questionid = q.id)")),
             0);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question")), 13);
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
    QCOMPARE(FreshDatabase::column(QStringLiteral("select questionid from exam_Collect order by questionid")),
             (QStringList{"c1a", "n1"}));
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
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    evaluate(window, QStringLiteral("myjstest.soQuestionJS()"));
    qInstallMessageHandler(previous);
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
