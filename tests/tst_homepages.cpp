#include "testsupport.h"

#include "fwelcome.h"
#include "homepages.h"
#include "pagetext.h"
#include "pageview.h"

#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

// Paper types: "real" papers count for the wrong-answer list (typekey sjlx),
// "mock" papers for the mock list (dtype 1), "both" for both.
const QString fixtureBank = QStringLiteral(
    "INSERT INTO exam_subject(id,name) VALUES('s1','会计实务');\n"
    "INSERT INTO t_dic_data(id,dtype,typekey,name) VALUES('t_real',2,'sjlx','历年真题');\n"
    "INSERT INTO t_dic_data(id,dtype,typekey,name) VALUES('t_mock',1,'mnsj','模拟试卷');\n"
    "INSERT INTO t_dic_data(id,dtype,typekey,name) VALUES('t_both',1,'sjlx','真题模拟');\n"
    "INSERT INTO exam_paper(id,name,subjectId,paperTypeid,sortNo) VALUES('p1','2019年真题','s1','t_real',3);\n"
    "INSERT INTO exam_paper(id,name,subjectId,paperTypeid,sortNo) VALUES('p2','模拟卷一','s1','t_mock',2);\n"
    "INSERT INTO exam_paper(id,name,subjectId,paperTypeid,sortNo) VALUES('p3','<b>模拟卷二</b>','s1','t_both',1);\n"
    "INSERT INTO exam_paper(id,name,subjectId,paperTypeid,sortNo) VALUES('p4','未分类','s1','t_none',0);\n"
    "INSERT INTO exam_answer(id,paperId,rightCount,worngCount,allCount) VALUES('a1','p1',7,3,10);\n"
    "INSERT INTO error_answer(questionId,examid) VALUES('q1','p1');\n"
    "INSERT INTO error_answer(questionId,examid) VALUES('q2','p1');\n"
    "INSERT INTO error_answer(questionId,examid) VALUES('q3','p3');\n"
    "INSERT INTO error_answer(questionId,examid) VALUES('q4','p2');\n"
    "INSERT INTO exam_dic_fuleixing(id,name,questionType) VALUES('f1','多项选择题',2);\n"
    "INSERT INTO exam_dic_fuleixing(id,name,questionType) VALUES('f2','单项选择题',1);\n"
    "INSERT INTO exam_dic_fuleixing(id,name,questionType) VALUES('f3','判断题',3);\n"
    "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('q1','f1');\n"
    "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('q2','f1');\n"
    "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('q3','f2');\n");

// An id that needs escaping in every layer it passes: HTML attribute, script
// string, JSON.
const QString awkwardId = QStringLiteral("it's \"q\" \\ <7>");

// The entries of a list page as "key|name|count[|count]", the key as written
// in the handler.
QStringList entriesOf(const QString &html)
{
    static const QRegularExpression entry(QStringLiteral(
        "<li><h4 class=\"mc_h4 mc\"><span style=\"cursor:pointer;\"  onclick=\"\\w+\\('((?:[^'\\\\]|\\\\.)*)'\\);\">(.*?)</span></h4><span class=\"sl\">(\\d+)</span>(?:<span class=\"sl\">(\\d+)</span>)?</li>"));
    QStringList entries;
    auto it = entry.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QStringList parts{m.captured(1), m.captured(2), m.captured(3)};
        if (!m.captured(4).isNull())
            parts << m.captured(4);
        entries << parts.join(QLatin1Char('|'));
    }
    return entries;
}

using Builder = QString (*)();

} // namespace

class HomePagesTest : public QObject
{
    Q_OBJECT

private:
    QString js(PageView *view, const QString &script)
    {
        return TestSupport::pageValue(view, script).toString();
    }

    // Waits until the shown list's page has its library and bridge.
    void waitForPage(Fwelcome &form)
    {
        QTRY_COMPARE_WITH_TIMEOUT(js(form.mainWebView, QStringLiteral("typeof showkaojuang + typeof myjstest")),
                                  QStringLiteral("functionobject"), 10000);
    }

    // Shows the start page, then the list of the given slot (zhentiJS ...).
    void showList(Fwelcome &form, const QString &slot)
    {
        form.resize(1000, 700);
        form.show();
        QVERIFY(QMetaObject::invokeMethod(&form, slot.toLatin1().constData()));
        waitForPage(form);
    }

    void clickElement(PageView *view, const QString &selector)
    {
        QVERIFY2(TestSupport::clickElement(view, selector), qPrintable(selector));
    }

    bool hasElement(PageView *view, const QString &selector)
    {
        return js(view, QStringLiteral("String(document.querySelector('%1') !== null)").arg(selector))
            == QLatin1String("true");
    }

private slots:
    void listEntries_data()
    {
        QTest::addColumn<QString>("extraSql");
        QTest::addColumn<int>("builder");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("papers: saved result counted, others 0 and 0")
            << QString() << 0
            << QStringList{"p1|2019年真题|7|3", "p2|模拟卷一|0|0", "p3|<b>模拟卷二</b>|0|0", "p4|未分类|0|0"};
        QTest::newRow("mock papers: dtype 1 only, by sort number")
            << QString() << 1 << QStringList{"p3|<b>模拟卷二</b>|0|0", "p2|模拟卷一|0|0"};
        QTest::newRow("mock papers show the saved counts")
            << QStringLiteral("INSERT INTO exam_answer(id,paperId,rightCount,worngCount,allCount) VALUES('a2','p2',4,1,5);")
            << 1 << QStringList{"p3|<b>模拟卷二</b>|0|0", "p2|模拟卷一|4|1"};
        QTest::newRow("wrong answers: sjlx papers with wrong answers, counted, by sort number")
            << QString() << 2 << QStringList{"p3|<b>模拟卷二</b>|1", "p1|2019年真题|2"};
        QTest::newRow("wrong answers: a paper without any leaves the list")
            << QStringLiteral("DELETE FROM error_answer WHERE examid='p3';") << 2
            << QStringList{"p1|2019年真题|2"};
        QTest::newRow("favourites: categories with favourites, by question type")
            << QString() << 3 << QStringList{"f2|单项选择题|1", "f1|多项选择题|2"};
        QTest::newRow("favourites: none at all")
            << QStringLiteral("DELETE FROM exam_Collect;") << 3 << QStringList{};
        QTest::newRow("papers: empty table gives the header only")
            << QStringLiteral("DELETE FROM exam_paper;") << 0 << QStringList{};
    }

    void listEntries()
    {
        QFETCH(QString, extraSql);
        QFETCH(int, builder);
        QFETCH(QStringList, expected);
        TestSupport::FreshDatabase db(fixtureBank + extraSql);
        QVERIFY(db.ok());
        const Builder builders[] = {&HomePages::paperList, &HomePages::mockPaperList,
                                    &HomePages::wrongAnswerList, &HomePages::favouritesList};
        const QString html = builders[builder]();
        QCOMPARE(entriesOf(html), expected);
        QVERIFY(html.endsWith(QLatin1String(" </ul> </div> </div> </body> </html>")));
    }

    void listsReadEveryRow_data()
    {
        QTest::addColumn<int>("builder");
        QTest::newRow("papers") << 0;
        QTest::newRow("mock papers") << 1;
        QTest::newRow("wrong answers") << 2;
        QTest::newRow("favourites") << 3;
    }

    void listsReadEveryRow()
    {
        QFETCH(int, builder);
        const int count = 300;
        TestSupport::FreshDatabase db(QStringLiteral(
            "INSERT INTO t_dic_data(id,dtype,typekey) VALUES('t',1,'sjlx');\n"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<%1) "
            "INSERT INTO exam_paper(id,name,paperTypeid,sortNo) SELECT 'p'||i, 'Paper '||i, 't', i FROM n;\n"
            "INSERT INTO error_answer(questionId,examid) SELECT 'q'||id, id FROM exam_paper;\n"
            "INSERT INTO exam_dic_fuleixing(id,name,questionType) SELECT 'f'||sortNo, 'Kind', sortNo FROM exam_paper;\n"
            "INSERT INTO exam_Collect(questionid,fuleixingid) SELECT 'q'||sortNo, 'f'||sortNo FROM exam_paper;\n")
                                           .arg(count));
        QVERIFY(db.ok());
        const Builder builders[] = {&HomePages::paperList, &HomePages::mockPaperList,
                                    &HomePages::wrongAnswerList, &HomePages::favouritesList};
        const QStringList entries = entriesOf(builders[builder]());
        QCOMPARE(entries.size(), count);
        QVERIFY(entries.last().startsWith(builder == 3 ? QLatin1String("f300|") : QLatin1String("p300|")));
    }

    void listPageHeadAndEntryAreExact()
    {
        TestSupport::FreshDatabase db(fixtureBank);
        QVERIFY(db.ok());
        const QString q = QLatin1String("\"") + appFileUrlBase();
        const QString expectedHead =
            QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" \"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">")
            + QStringLiteral("<html > <head> <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /> ")
            + QStringLiteral("<link href=") + q + QStringLiteral("css/maincss.css\" rel=\"stylesheet\" type=\"text/css\" > </link>")
            + QStringLiteral("<link href=") + q + QStringLiteral("css/welcss.css\" rel=\"stylesheet\" type=\"text/css\" > </link>")
            + QStringLiteral("<link href=") + q + QStringLiteral("css/jijin.css\" rel=\"stylesheet\" type=\"text/css\" > </link>")
            + QStringLiteral("<script type=\"text/javascript\" src=") + q + QStringLiteral("js/jQuery.js\"></script>")
            + QStringLiteral("<script type=\"text/javascript\" src=") + q + QStringLiteral("js/popup.js\"></script>")
            + QStringLiteral("<script type=\"text/javascript\">");
        const QString expectedStyle =
            QStringLiteral("</script><style type=\"text/css\">td ,p { background-color:#FFFFFF;font-family:\"宋体\";}"
                           ".con_div{ height:500px; width=800px; text-align:center; display:table-cell; vertical-align:middle; }"
                           "</style></head><body><div class=\"con\"> <div class=\"con_box2\"> <ul>"
                           "<li class=\"bt_li\"><h4 class=\"mc\">考卷名称</h4><h4 class=\"sl\">正确数量</h4><h4 class=\"sl\">当前错题</h4></li>");
        const QString expectedEntry = QStringLiteral(
            "<li><h4 class=\"mc_h4 mc\"><span style=\"cursor:pointer;\"  onclick=\"showkaojuang('p1');\">2019年真题</span></h4>"
            "<span class=\"sl\">7</span><span class=\"sl\">3</span></li>");

        const QString html = HomePages::paperList();
        QVERIFY2(html.startsWith(expectedHead), qPrintable(html.left(expectedHead.size())));
        QVERIFY(!appFileUrlBase().contains(QLatin1String("////")));
        const QString library = readTextFile(QStringLiteral(":/js/mian.js"));
        QVERIFY(!library.isEmpty());
        QVERIFY(html.mid(expectedHead.size()).startsWith(library));
        QVERIFY(!html.contains(QLatin1String("MM_swapImage")));  // jijin.js is for the start page only
        QVERIFY(html.contains(expectedStyle + expectedEntry));
    }

    void entriesEscapeTheScriptStringOnly()
    {
        TestSupport::FreshDatabase db(QStringLiteral(
            "INSERT INTO exam_paper(id,name) VALUES('%1','<i>斜体</i> & \"引号\"');").arg(QString(awkwardId).replace("'", "''")));
        QVERIFY(db.ok());
        const QString html = HomePages::paperList();
        QVERIFY(html.contains(QStringLiteral("onclick=\"showkaojuang('") + jsEscapeInAttribute(awkwardId)
                              + QStringLiteral("');\"><i>斜体</i> & \"引号\"</span>")));
    }

    void startPageTitle_data()
    {
        QTest::addColumn<QString>("subjects");
        QTest::addColumn<QString>("title");
        QTest::newRow("one subject: its name")
            << QStringLiteral("INSERT INTO exam_subject VALUES('s1','会计实务');") << QStringLiteral("会计实务");
        const QString twoSubjects = QStringLiteral(
            "INSERT INTO exam_subject VALUES('s1','会计实务');\nINSERT INTO exam_subject VALUES('s2','税法');\n");
        const QString switchLink = QStringLiteral("<a class='switch_subject' href='javascript:switchSubject();'>切换科目</a>");
        QTest::newRow("two subjects: not chosen yet")
            << twoSubjects << QStringLiteral("你还未选择学习科目") + switchLink;
        QTest::newRow("two subjects: the chosen one")
            << twoSubjects + QStringLiteral("INSERT INTO app_setting VALUES('currentSubject','s2');")
            << QStringLiteral("税法") + switchLink;
        QTest::newRow("two subjects: a chosen one since gone")
            << twoSubjects + QStringLiteral("INSERT INTO app_setting VALUES('currentSubject','s9');")
            << QStringLiteral("你还未选择学习科目") + switchLink;
        QTest::newRow("no subject: not chosen yet") << QString() << QStringLiteral("你还未选择学习科目");
    }

    void startPageTitle()
    {
        QFETCH(QString, subjects);
        QFETCH(QString, title);
        TestSupport::FreshDatabase db(subjects);
        QVERIFY(db.ok());
        const QString html = HomePages::startPage();
        QVERIFY(html.contains(QStringLiteral("<div class=\"con\"> <div class=\"con_box\"> <div><p class='top_p'>")
                              + title + QStringLiteral("</p></div><ul>")));
        QVERIFY(html.contains(QStringLiteral("</head><body >")));
        QVERIFY(html.contains(readTextFile(QStringLiteral(":/js/jijin.js"))));
        QVERIFY(html.contains(QStringLiteral("<img src='") + appFileUrlBase()
                              + QStringLiteral("images/index11.png' name='Image2' width='198' height='177' border='0' id='Image2' />")));
        QVERIFY(html.endsWith(QStringLiteral("images/wechart.png' height='160px' width='140px' style='float:right'/></a> </div></div></body></html>")));
    }

    void wrongPracticeIdIsJson_data()
    {
        QTest::addColumn<QString>("paperId");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain id") << QStringLiteral("12") << QStringLiteral("[{\"itype\":\"2\",\"paperid\":\"12\"}]");
        QTest::newRow("quotes and backslash")
            << QStringLiteral("a\"b\\c'd") << QStringLiteral("[{\"itype\":\"2\",\"paperid\":\"a\\\"b\\\\c'd\"}]");
        QTest::newRow("empty") << QString() << QStringLiteral("[{\"itype\":\"2\",\"paperid\":\"\"}]");
        QTest::newRow("Chinese") << QStringLiteral("试卷一") << QStringLiteral("[{\"itype\":\"2\",\"paperid\":\"试卷一\"}]");
    }

    void wrongPracticeIdIsJson()
    {
        QFETCH(QString, paperId);
        QFETCH(QString, expected);
        const QString text = HomePages::wrongPracticeId(paperId);
        QCOMPARE(text, expected);
        QJsonParseError error;
        const QJsonDocument parsed = QJsonDocument::fromJson(text.toUtf8(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(parsed.array().at(0).toObject().value(QStringLiteral("paperid")).toString(), paperId);
    }

    // A click on an entry of the real page reaches the form through the page
    // library and the bridge, and leaves as showExam.
    void clickingAnEntryEmitsShowExam_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("paperId");
        QTest::addColumn<int>("status");
        QTest::newRow("paper list") << QStringLiteral("zhentiJS") << QStringLiteral("p2") << 0;
        QTest::newRow("mock list") << QStringLiteral("moniJS") << QStringLiteral("p3") << 0;
        QTest::newRow("paper id with quotes") << QStringLiteral("zhentiJS") << awkwardId << 0;
        QTest::newRow("wrong-answer list") << QStringLiteral("cuotiJS") << QStringLiteral("p1") << 3;
        QTest::newRow("wrong-answer id with quotes") << QStringLiteral("cuotiJS") << awkwardId << 3;
        QTest::newRow("favourites") << QStringLiteral("shoucangJS") << QStringLiteral("f1") << 5;
    }

    void clickingAnEntryEmitsShowExam()
    {
        QFETCH(QString, slot);
        QFETCH(QString, paperId);
        QFETCH(int, status);
        const QString sqlId = QString(awkwardId).replace(QLatin1String("'"), QLatin1String("''"));
        TestSupport::FreshDatabase db(fixtureBank + QStringLiteral(
            "INSERT INTO exam_paper(id,name,paperTypeid,sortNo) VALUES('%1','Awkward','t_both',-1);\n"
            "INSERT INTO error_answer(questionId,examid) VALUES('q9','%1');\n").arg(sqlId));
        QVERIFY(db.ok());
        Fwelcome form(nullptr);
        QSignalSpy spy(&form, &Fwelcome::showExam);
        showList(form, slot);

        // The entry whose handler carries this id, found by the key it hands on.
        const int index = js(form.mainWebView, QStringLiteral(
            "(function(){var s=document.querySelectorAll('span[onclick]');"
            "for(var i=0;i<s.length;++i){if(s[i].getAttribute('onclick').indexOf(%1)>=0)return i;}return -1;})()")
                                 .arg(QStringLiteral("'") + jsEscape(jsEscape(paperId)) + QStringLiteral("'")))
                              .toInt();
        QVERIFY(index >= 0);
        clickElement(form.mainWebView, QStringLiteral("li:nth-child(%1) span[onclick]").arg(index + 2));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        QCOMPARE(spy.at(0).at(1).toInt(), status);
        const QString id = spy.at(0).at(0).toString();
        if (status == 3) {
            const QJsonArray list = QJsonDocument::fromJson(id.toUtf8()).array();
            QCOMPARE(list.size(), 1);
            QCOMPARE(list.at(0).toObject().value(QStringLiteral("itype")).toString(), QStringLiteral("2"));
            QCOMPARE(list.at(0).toObject().value(QStringLiteral("paperid")).toString(), paperId);
        } else {
            QCOMPARE(id, paperId);
        }
    }

    // The whole row opens its entry; the header row opens nothing.
    void clickingAnywhereOnARowOpensIt_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QString>("opened");
        QTest::newRow("paper count") << "zhentiJS" << "li:nth-child(2) span.sl" << "p1";
        QTest::newRow("paper row's empty end") << "zhentiJS" << "li:nth-child(3)" << "p2";
        QTest::newRow("favourites count") << "shoucangJS" << "li:nth-child(2) span.sl" << "f2";
        QTest::newRow("header row") << "zhentiJS" << "li.bt_li h4.sl" << "";
    }

    void clickingAnywhereOnARowOpensIt()
    {
        QFETCH(QString, slot);
        QFETCH(QString, selector);
        QFETCH(QString, opened);
        TestSupport::FreshDatabase db(fixtureBank);
        QVERIFY(db.ok());
        Fwelcome form(nullptr);
        QSignalSpy spy(&form, &Fwelcome::showExam);
        showList(form, slot);
        const QRect box = TestSupport::elementRect(form.mainWebView, selector);
        QVERIFY(!box.isEmpty());
        // Just inside the element's right edge: away from the name.
        QTest::mouseClick(form.mainWebView->inputWidget(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(box.right() - 4, box.center().y()));
        if (opened.isEmpty()) {
            QTest::qWait(100);
            QCOMPARE(spy.count(), 0);
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        QCOMPARE(spy.at(0).at(0).toString(), opened);
    }

    void startPageTiles()
    {
        TestSupport::FreshDatabase db(fixtureBank);
        QVERIFY(db.ok());
        Fwelcome form(nullptr);
        form.resize(1000, 700);
        form.show();
        QSignalSpy so(&form, &Fwelcome::showSo);
        QTRY_COMPARE_WITH_TIMEOUT(js(form.mainWebView, QStringLiteral("typeof soti + typeof myjstest")),
                                  QStringLiteral("functionobject"), 10000);
        QCOMPARE(js(form.mainWebView, QStringLiteral("document.querySelector('.top_p').textContent")),
                 QStringLiteral("会计实务"));

        clickElement(form.mainWebView, QStringLiteral("#Image5"));
        QTRY_COMPARE_WITH_TIMEOUT(so.count(), 1, 5000);
        QVERIFY(hasElement(form.mainWebView, QStringLiteral(".top_p")));

        js(form.mainWebView, QStringLiteral("qingchu()"));
        QVERIFY(hasElement(form.mainWebView, QStringLiteral(".top_p")));

        clickElement(form.mainWebView, QStringLiteral("#Image2"));
        QTRY_VERIFY_WITH_TIMEOUT(js(form.mainWebView, QStringLiteral("document.body.innerHTML")).contains(QStringLiteral("2019年真题")), 5000);
        form.my_refresh01();
        QTRY_COMPARE_WITH_TIMEOUT(js(form.mainWebView, QStringLiteral("document.querySelector('.top_p').textContent")),
                                  QStringLiteral("会计实务"), 5000);
    }

    // The action row: program texts escaped as text, the key escaped for its
    // script string, and a press hands the key to the form unchanged.
    void actionRowHandsItsKeyOn()
    {
        TestSupport::FreshDatabase db(fixtureBank);
        QVERIFY(db.ok());
        const QString key = QStringLiteral("im'port\"\\");
        const QString html = HomePages::startPage({{key, QStringLiteral("导入<题库>"), QStringLiteral("12"), QStringLiteral("a'b")},
                                                   {QStringLiteral("plain"), QStringLiteral("统计"), QString(), QString()}});
        QVERIFY(html.contains(QStringLiteral(
            "</ul><div class='home_tools'><a class='home_tool' title=\"a'b\" href=\"javascript:homeAction('im\\'port\\&quot;\\\\');\">"
            "导入&lt;题库&gt;<span class='badge'>12</span></a><a class='home_tool' title=\"\" href=\"javascript:homeAction('plain');\">"
            "统计</a></div> <p class=\"s_p\">")));
        QVERIFY(!HomePages::startPage().contains(QStringLiteral("home_tools")));

        PageView view;
        view.resize(1000, 700);
        view.show();
        TestSupport::RecordingBridge bridge;
        bridge.attachTo(&view);
        QVERIFY(TestSupport::loadPage(&view, html));
        clickElement(&view, QStringLiteral(".home_tool"));
        QTRY_COMPARE_WITH_TIMEOUT(bridge.calls, QStringList{QStringLiteral("homeAction(") + key + QLatin1Char(')')}, 5000);
        // The 每日一练 card opens today's practice.
        clickElement(&view, QStringLiteral("a.daily img"));
        QTRY_COMPARE_WITH_TIMEOUT(bridge.calls.size(), 2, 5000);
        QCOMPARE(bridge.calls.last(), QStringLiteral("dailyPractice()"));
    }

    // The guard of the page view: no copying out of a list and no context
    // menu, while left clicks still reach the page.
    void rightClickAndCopyAreSwallowed()
    {
        TestSupport::FreshDatabase db(fixtureBank);
        QVERIFY(db.ok());
        Fwelcome form(nullptr);
        showList(form, QStringLiteral("zhentiJS"));
        PageView *view = form.mainWebView;
        QWidget *input = view->inputWidget();

        QClipboard *clipboard = QApplication::clipboard();
        clipboard->setText(QStringLiteral("probe"));
        const bool clipboardWorks = clipboard->text() == QLatin1String("probe");
        clipboard->setText(QStringLiteral("before"));
        QCOMPARE(js(view, QStringLiteral("String(document.execCommand('selectAll'))"
                                         " + String(window.getSelection().toString().indexOf('2019年真题') >= 0)")),
                 QStringLiteral("truetrue"));
        input->setFocus();
        QTest::keyClick(input, Qt::Key_C, Qt::ControlModifier);
        QTest::qWait(100);
        QCOMPARE(clipboard->text(), QStringLiteral("before"));
        if (!clipboardWorks)
            qWarning("the platform's clipboard takes no text; only the swallowing is checked");

        // The page counts the presses that reach it, by button, and the menus it is asked for.
        js(view, QStringLiteral("window.pressesSeen = {left: 0, right: 0, menus: 0};"
                                "document.addEventListener('mousedown', function (e) {"
                                " if (e.button === 0) ++pressesSeen.left; if (e.button === 2) ++pressesSeen.right; }, true);"
                                "document.addEventListener('contextmenu', function () { ++pressesSeen.menus; }, true);"
                                "'listening'"));
        const QString seen = QStringLiteral("[pressesSeen.left, pressesSeen.right, pressesSeen.menus].join('/')");
        QTest::mouseClick(input, Qt::RightButton, Qt::NoModifier, QPoint(50, 50));
        QTest::mouseDClick(input, Qt::RightButton, Qt::NoModifier, QPoint(50, 50));
        QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QTRY_COMPARE_WITH_TIMEOUT(js(view, seen).section(QLatin1Char('/'), 0, 0), QStringLiteral("1"), 5000);
        QCOMPARE(js(view, seen), QStringLiteral("1/0/0"));
        QCOMPARE(input->contextMenuPolicy(), Qt::NoContextMenu);
        QVERIFY(!QApplication::activePopupWidget());
    }
};

TESSERA_TEST_MAIN(HomePagesTest)
#include "tst_homepages.moc"
