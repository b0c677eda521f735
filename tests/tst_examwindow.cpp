#include "testsupport.h"

#include "calculatorlauncher.h"
#include "answersheet.h"
#include "determine.h"
#include "examrenli.h"
#include "pagetext.h"
#include "pageview.h"
#include "papergrader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTemporaryDir>

namespace {

QString evaluate(PageView *view, const QString &script)
{
    return TestSupport::pageValue(view, script).toString();
}

// Paper "T" of the typing race: an essay, then a fill-in of one blank, then a
// single choice, so that both boxes have a question after them.
const QString raceBank = QStringLiteral(
    "INSERT INTO exam_paper(id,name,asname,subjectId,totalCent,passCent,examTime) VALUES ('T','Typing','T','S1',3,2,60);\n"
    "INSERT INTO exam_paper_static(id,paperId,subjectid,sequence,captionName,questionTypeid,fuleixingid,questionIds,"
    "quantity,mark) VALUES ('t-1','T','S1',1,'各题型',1,'F1','[{\"qid\":\"w1\"},{\"qid\":\"k4\"},{\"qid\":\"a1\"}]',3,3);\n");

// An exam window on one paper, loaded and ready for answers. Every dialog the
// run opens (introductions, refusals) is closed and its text kept.
class ExamSession
{
public:
    explicit ExamSession(const QString &paperId, int status = 0)
        : closer(new TestSupport::ModalCloser)
        , window(0, 0, 1024, 740, 1)
        , examCalls(new TestSupport::BridgeBarrier(window.webExam))
    {
        window.paperId = paperId;
        window.examStatus = status;
        window.show();
        ready = TestSupport::waitUntil([this]() {
            return window.paper && window.paper->startTime.isValid() && !window.pagesLoading();
        }, 15000)
            && evaluate(window.webExam, QStringLiteral("typeof setdanxuan")) == QLatin1String("function")
            && evaluate(window.webbutton, QStringLiteral("typeof setCurrQuestionHS")) == QLatin1String("function");
        textsAtStart = closer->texts().size();
    }

    ~ExamSession() { window.countdownTimer->stop(); }

    // Dialog texts since the paper was loaded, trimmed.
    QStringList newTexts() const
    {
        QStringList texts;
        const QStringList all = closer->texts();
        for (int i = textsAtStart; i < all.size(); ++i)
            texts << all.at(i).trimmed();
        return texts;
    }

    // Page contents once the window has settled; the calls the script makes
    // on the window have arrived when it returns.
    QString exam(const QString &script)
    {
        settle();
        const QString value = evaluate(window.webExam, script);
        settle();
        return value;
    }
    QString card(const QString &script)
    {
        settle();
        return evaluate(window.webbutton, script);
    }
    // Waits until the window has done what it was asked (a move waits for
    // the page's typed answers first), the pages have loaded and what the
    // question page called on the window has arrived.
    void settle()
    {
        const auto idle = [this]() { return !window.flushingTypedAnswers() && !window.pagesLoading(); };
        QVERIFY(TestSupport::waitUntil(idle));
        QVERIFY(examCalls->wait());
        QVERIFY(TestSupport::waitUntil(idle));
    }

    QString cardClass(int index)
    {
        const QString id = window.paper->questions.at(size_t(index))->cardId;
        return card(QStringLiteral("document.getElementById('%1').className").arg(id));
    }

    ExamQuestion &question(int index) { return *window.paper->questions.at(size_t(index)); }

    // Does action, then waits until the window has settled.
    void act(const QString &action)
    {
        if (action == QLatin1String("next"))
            QMetaObject::invokeMethod(&window, "on_pbUp_clicked");
        else if (action == QLatin1String("previous"))
            QMetaObject::invokeMethod(&window, "on_pbOn_clicked");
        else if (action.startsWith(QLatin1String("jump:")))
            window.setLocationJs(QString(), action.mid(5).toInt());
        else if (action == QLatin1String("right"))
            QTest::keyClick(&window, Qt::Key_Right);
        else if (action == QLatin1String("left"))
            QTest::keyClick(&window, Qt::Key_Left);
        else if (action == QLatin1String("close"))
            window.close();
        settle();
    }

    // Types text into the page, where the page's focus is.
    void type(const QString &text)
    {
        window.webExam->inputWidget()->setFocus();
        QTest::keyClicks(window.webExam->inputWidget(), text);
    }

    std::unique_ptr<TestSupport::ModalCloser> closer;
    ExamRenLi window;
    TestSupport::BridgeBarrier *examCalls;
    bool ready = false;
    int textsAtStart = 0;
};

} // namespace

class ExamWindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::FreshDatabase> db;

private slots:
    void initTestCase()
    {
        db = std::make_unique<TestSupport::FreshDatabase>(
            TestSupport::fixtureSql(QStringLiteral("examwindow_bank.sql")) + raceBank);
        QVERIFY(db->ok());
    }

    void loadShowsFirstQuestionAndCounts()
    {
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        QCOMPARE(session.window.currentIndex, 0);
        QCOMPARE(session.window.promptedSection, 0);
        QCOMPARE(session.window.lCount->text(), QStringLiteral("总题数：4"));
        QCOMPARE(session.window.lRight->text(), QStringLiteral("已答：0"));
        QCOMPARE(session.window.lNoAnswer->text(), QStringLiteral("剩余：4"));
        QCOMPARE(session.window.lexamTime->text(), QStringLiteral("考试总时间：60分钟"));
        QVERIFY(session.window.countdownTimer->isActive());
        QVERIFY(!session.exam(QStringLiteral("document.getElementById('div_ti1') ? 'yes' : ''")).isEmpty());
        // The introduction of the paper, then that of the first section.
        const QStringList texts = session.closer->texts();
        QVERIFY(texts.size() >= 2);
        QVERIFY(texts.at(0).contains(QStringLiteral("本试卷共有三部分组成")));
        QCOMPARE(texts.at(1).trimmed(), QStringLiteral("第一部分：单项选择题"));
    }

    void recording_data()
    {
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("answeredCount");
        QTest::newRow("single choice") << 1 << QStringList{"setdanxuan('ti1_1_1','hdan_1','B')"} << "B" << 1;
        QTest::newRow("single choice changed")
            << 1 << QStringList{"setdanxuan('ti1_1_1','hdan_1','B')", "setdanxuan('ti1_1_0','hdan_1','A')"}
            << "A" << 1;
        QTest::newRow("multiple choice in click order")
            << 3 << QStringList{"setduoxuan('ti2_3_2','hduo_3','C')", "setduoxuan('ti2_3_0','hduo_3','A')"}
            << "CA" << 1;
        QTest::newRow("multiple choice emptied")
            << 3 << QStringList{"setduoxuan('ti2_3_0','hduo_3','A')", "setduoxuan('ti2_3_0','hduo_3','A')"}
            << "" << 1;
        QTest::newRow("fill-in blanks joined")
            << 4
            << QStringList{"var b=document.getElementsByName('kong_4'); b[0].value='x'; b[1].value='y';"
                           " settiankong('ti4_4','ti4_4','A');"}
            << "x|y" << 1;
        QTest::newRow("fill-in left empty is not answered")
            << 4 << QStringList{"settiankong('ti4_4','ti4_4','A');"} << "" << 0;
        QTest::newRow("true/false") << 5 << QStringList{"setpanduan('ti3_5_1','hpan_5','B')"} << "B" << 1;
    }

    void recording()
    {
        QFETCH(int, sequence);
        QFETCH(QStringList, calls);
        QFETCH(QString, answer);
        QFETCH(int, answeredCount);
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        session.act(QStringLiteral("jump:%1").arg(sequence));
        QCOMPARE(session.window.currentIndex, sequence - 1);
        for (const QString &call : calls)
            session.exam(call);
        const ExamQuestion &question = session.question(sequence - 1);
        QCOMPARE(question.userAnswer, answer);
        QCOMPARE(question.answered, answeredCount > 0);
        QCOMPARE(session.window.paper->answeredCount, answeredCount);
        QCOMPARE(session.window.lRight->text(), QStringLiteral("已答：%1").arg(answeredCount));
        QCOMPARE(session.window.pBar->value(), answeredCount);
        QCOMPARE(session.window.pBar->maximum(), session.window.paper->askCount);
        const QString cardClass = session.cardClass(sequence - 1);
        QCOMPARE(cardClass.contains(QLatin1String("button_select")), answeredCount > 0);
        QVERIFY(cardClass.contains(QLatin1String("zico")));
    }

    void flaggedQuestionKeepsItsFlagLook()
    {
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        session.window.shoucang(QStringLiteral("a1"), 1);
        QVERIFY(session.question(0).marked);
        QVERIFY(session.cardClass(0).contains(QLatin1String("button_color")));

        session.exam(QStringLiteral("setdanxuan('ti1_1_1','hdan_1','B')"));
        QVERIFY(session.question(0).answered);
        QCOMPARE(session.window.paper->answeredCount, 1);
        QVERIFY(session.cardClass(0).contains(QLatin1String("button_color")));
        QVERIFY(!session.cardClass(0).contains(QLatin1String("button_select")));

        session.window.shoucang(QStringLiteral("a1"), 0);
        QVERIFY(!session.question(0).marked);
        QVERIFY(!session.cardClass(0).contains(QLatin1String("button_color")));
        QVERIFY(session.cardClass(0).contains(QLatin1String("button_select")));

        // A question that is not on the page is not flagged.
        session.window.shoucang(QStringLiteral("t1"), 1);
        QVERIFY(!session.question(4).marked);
    }

    void replay_data()
    {
        QTest::addColumn<int>("sequence");
        QTest::addColumn<int>("elsewhere");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("checks");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("single choice")
            << 1 << 3 << QStringList{"setdanxuan('ti1_1_1','hdan_1','B')"}
            << QStringList{"document.getElementById('hdan_1').value",
                           "document.getElementById('ti1_1_1').className.indexOf('button_02') >= 0",
                           "document.getElementById('ti1_1_0').className.indexOf('button_02') >= 0"}
            << QStringList{"B", "true", "false"};
        QTest::newRow("multiple choice")
            << 3 << 1 << QStringList{"setduoxuan('ti2_3_2','hduo_3','C')", "setduoxuan('ti2_3_0','hduo_3','A')"}
            << QStringList{"document.getElementById('hduo_3').value",
                           "document.getElementById('ti2_3_0').className.indexOf('button_04') >= 0",
                           "document.getElementById('ti2_3_1').className.indexOf('button_04') >= 0",
                           "document.getElementById('ti2_3_2').className.indexOf('button_04') >= 0"}
            << QStringList{"AC", "true", "false", "true"};
        QTest::newRow("fill-in with quotes and markup")
            << 4 << 3
            << QStringList{"var b=document.getElementsByName('kong_4'); b[0].value='it\\'s'; "
                           "b[1].value='a\"b\\\\c</script>'; settiankong('ti4_4','ti4_4','A');"}
            << QStringList{"document.getElementsByName('kong_4')[0].value",
                           "document.getElementsByName('kong_4')[1].value"}
            << QStringList{"it's", "a\"b\\c</script>"};
        QTest::newRow("fill-in with a separator and a backslash typed in blanks")
            << 4 << 1
            << QStringList{"var b=document.getElementsByName('kong_4'); b[0].value='a|b'; "
                           "b[1].value='c\\\\'; settiankong('ti4_4','ti4_4','A');"}
            << QStringList{"document.getElementsByName('kong_4')[0].value",
                           "document.getElementsByName('kong_4')[1].value"}
            << QStringList{"a|b", "c\\"};
        QTest::newRow("true/false")
            << 5 << 1 << QStringList{"setpanduan('ti3_5_0','hpan_5','A')"}
            << QStringList{"document.getElementById('hpan_5').value",
                           "document.getElementById('ti3_5_0').className.indexOf('button_02') >= 0"}
            << QStringList{"A", "true"};
    }

    void replay()
    {
        QFETCH(int, sequence);
        QFETCH(int, elsewhere);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, checks);
        QFETCH(QStringList, expected);
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        session.act(QStringLiteral("jump:%1").arg(sequence));
        for (const QString &call : calls)
            session.exam(call);
        const QString answer = session.question(sequence - 1).userAnswer;
        session.act(QStringLiteral("jump:%1").arg(elsewhere));
        QCOMPARE(session.window.currentIndex, elsewhere - 1);
        session.act(QStringLiteral("jump:%1").arg(sequence));
        QCOMPARE(session.window.currentIndex, sequence - 1);
        for (int i = 0; i < checks.size(); ++i)
            QCOMPARE(session.exam(checks.at(i)), expected.at(i));
        QCOMPARE(session.window.paper->answeredCount, 1);
        if (session.question(sequence - 1).type != 2)
            QCOMPARE(session.question(sequence - 1).userAnswer, answer);
    }

    // The text typed into an essay box comes back after a move and in review,
    // and rides in the answer sheet.
    void essayTextSurvivesMovesAndReview()
    {
        ExamSession session(QStringLiteral("K"));
        QVERIFY(session.ready);
        session.act(QStringLiteral("jump:5"));
        const QString typed = QStringLiteral("第一行\n'引号' | \\ </textarea>");
        session.exam(QStringLiteral("var box = $('textarea#ti5_5')[0]; box.value = '%1';"
                                    "var e = document.createEvent('Event'); e.initEvent('input', true, true);"
                                    "box.dispatchEvent(e); setwenda('wen_5_01','ti5_5','A');")
                         .arg(jsEscape(typed)));
        const QString boxText = QStringLiteral("$('textarea#ti5_5')[0].value");
        session.act(QStringLiteral("jump:1"));
        session.act(QStringLiteral("jump:5"));
        QCOMPARE(session.exam(boxText), typed);

        session.window.paper->endTime = QTime::currentTime();
        PaperGrader::markPaper(*session.window.paper);
        const AnswerSheetReading sheet = AnswerSheet::read(AnswerSheet::stored(session.window.paper->answerSheet));
        QVERIFY2(sheet.ok(), qPrintable(sheet.error));
        QCOMPARE(sheet.entries.at(4).essay, QStringList{typed});
        QCOMPARE(sheet.entries.at(4).answer, QStringLiteral("A"));
        session.window.showAnswerForm();
        session.act(QStringLiteral("jump:5"));
        QCOMPARE(session.exam(boxText), typed);
    }

    void keyboardAnswers_data()
    {
        QTest::addColumn<int>("sequence");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("buttonClass");
        QTest::newRow("single choice") << 1 << int(Qt::Key_B) << "B" << "ti1_1_1:button_02";
        QTest::newRow("single choice beyond its options") << 1 << int(Qt::Key_E) << "" << "";
        QTest::newRow("multiple choice") << 2 << int(Qt::Key_C) << "C" << "ti2_2_2:button_04";
        QTest::newRow("multiple choice beyond its options") << 2 << int(Qt::Key_D) << "" << "";
        QTest::newRow("true/false") << 3 << int(Qt::Key_B) << "B" << "ti3_3_1:button_02";
        QTest::newRow("true/false third letter") << 3 << int(Qt::Key_C) << "" << "";
        QTest::newRow("fill-in ignores letters") << 4 << int(Qt::Key_A) << "" << "";
        QTest::newRow("essay ignores letters") << 5 << int(Qt::Key_A) << "" << "";
    }

    void keyboardAnswers()
    {
        QFETCH(int, sequence);
        QFETCH(int, key);
        QFETCH(QString, answer);
        QFETCH(QString, buttonClass);
        ExamSession session(QStringLiteral("K"));
        QVERIFY(session.ready);
        session.act(QStringLiteral("jump:%1").arg(sequence));
        QTest::keyClick(&session.window, Qt::Key(key));
        session.settle();
        QCOMPARE(session.question(sequence - 1).userAnswer, answer);
        QCOMPARE(session.window.paper->answeredCount, answer.isEmpty() ? 0 : 1);
        if (!buttonClass.isEmpty()) {
            const QStringList parts = buttonClass.split(QLatin1Char(':'));
            QVERIFY(session.exam(QStringLiteral("document.getElementById('%1').className").arg(parts.at(0)))
                        .contains(parts.at(1)));
        }
    }

    void keysReachTheWindowFromThePage()
    {
        ExamSession session(QStringLiteral("K"));
        QVERIFY(session.ready);
        QWidget *input = session.window.webExam->inputWidget();
        input->setFocus();
        QTest::keyClick(input, Qt::Key_B);
        QTRY_COMPARE(session.question(0).userAnswer, QStringLiteral("B"));
        // The page moves on the arrow; the window must not move a second time.
        QTest::keyClick(input, Qt::Key_Right);
        QTRY_COMPARE(session.window.currentIndex, 1);
        session.settle();
        QCOMPARE(session.window.currentIndex, 1);
    }

    void navigation_data()
    {
        QTest::addColumn<QString>("paperId");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("dialogs");
        QTest::newRow("next skips the composite stem")
            << "E" << QStringList{"next"} << 2 << QStringList{"第二部分：案例分析题"};
        QTest::newRow("previous skips the composite stem")
            << "E" << QStringList{"next", "previous"} << 0 << QStringList{"第二部分：案例分析题"};
        QTest::newRow("each section introduced once")
            << "E" << QStringList{"jump:5", "jump:1", "next", "jump:5"} << 4
            << QStringList{"第三部分：判断题", "第二部分：案例分析题"};
        QTest::newRow("next within a section shows no introduction")
            << "E" << QStringList{"next", "next"} << 3 << QStringList{"第二部分：案例分析题"};
        QTest::newRow("next from the last leaf")
            << "E" << QStringList{"jump:4", "next"} << 4
            << QStringList{"第二部分：案例分析题", "第三部分：判断题"};
        QTest::newRow("arrow keys")
            << "E" << QStringList{"right", "right", "left"} << 2 << QStringList{"第二部分：案例分析题"};
        QTest::newRow("next on the last question refused")
            << "E" << QStringList{"jump:5", "next"} << 4
            << QStringList{"第三部分：判断题", "考卷试题已经是最后一题"};
        QTest::newRow("previous on the first question refused")
            << "E" << QStringList{"previous"} << 0 << QStringList{"考卷试题已经是第一题"};
        QTest::newRow("jump to a leaf") << "E" << QStringList{"jump:3"} << 2
                                        << QStringList{"第二部分：案例分析题"};
        QTest::newRow("jump past the end ignored") << "E" << QStringList{"jump:6"} << 0 << QStringList();
        QTest::newRow("jump to zero ignored") << "E" << QStringList{"jump:0"} << 0 << QStringList();
        QTest::newRow("jump below zero ignored") << "E" << QStringList{"jump:-3"} << 0 << QStringList();
        QTest::newRow("paper opening with a composite starts on its stem")
            << "C" << QStringList() << 0 << QStringList();
        QTest::newRow("back from its first leaf refused")
            << "C" << QStringList{"next", "previous"} << 1 << QStringList{"考卷试题已经是第一题"};
        QTest::newRow("opening composite to the next section")
            << "C" << QStringList{"next", "next", "next"} << 3 << QStringList{"第二部分：单项选择题"};
    }

    void navigation()
    {
        QFETCH(QString, paperId);
        QFETCH(QStringList, actions);
        QFETCH(int, index);
        QFETCH(QStringList, dialogs);
        ExamSession session(paperId);
        QVERIFY(session.ready);
        for (const QString &action : actions)
            session.act(action);
        QCOMPARE(session.window.currentIndex, index);
        QCOMPARE(session.newTexts(), dialogs);
        // The page shows the entry the window points at.
        const QString focusId = session.question(index).focusId;
        QCOMPARE(session.exam(QStringLiteral("document.getElementById('%1') ? 'shown' : ''").arg(focusId)),
                 QStringLiteral("shown"));
    }

    // Text typed into a blank is recorded however the page is left at once,
    // without the blank losing focus first.
    void typedTextIsKeptWhenLeaving_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("next") << "next";
        QTest::newRow("previous") << "previous";
        QTest::newRow("card jump") << "jump:1";
        QTest::newRow("window closed") << "close";
    }

    void typedTextIsKeptWhenLeaving()
    {
        QFETCH(QString, action);
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        session.act(QStringLiteral("jump:4"));
        session.exam(QStringLiteral("document.getElementsByName('kong_4')[1].focus()"));
        session.type(QStringLiteral("cpu"));
        QTRY_COMPARE(evaluate(session.window.webExam, QStringLiteral("document.getElementsByName('kong_4')[1].value")),
                     QStringLiteral("cpu"));
        session.act(action);
        QTRY_COMPARE(session.question(3).userAnswer, QStringLiteral("|cpu"));
        QVERIFY(session.question(3).answered);
        QCOMPARE(session.window.paper->answeredCount, 1);
    }

    // Text typed into a box and, in the same turn of the event loop, a way
    // out of the page: what was typed reaches the question's record, and the
    // stored result after a hand-in, however late the page answers.
    void typedTextRacesTheWayOut_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("way");
        for (const char *box : {"blank", "essay"}) {
            for (const char *way : {"next", "hand in", "close", "jump by card"})
                QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(box), QLatin1String(way))))
                    << QString::fromLatin1(box) << QString::fromLatin1(way);
        }
    }

    void typedTextRacesTheWayOut()
    {
        QFETCH(QString, box);
        QFETCH(QString, way);
        const bool blank = box == QLatin1String("blank");
        // Each row starts afresh: no kept run to take up, no result before.
        QVERIFY(TestSupport::FreshDatabase::exec(QStringLiteral("delete from exam_attempt where paperId='T';\n"
                                                                "delete from exam_answer where paperId='T';")));
        ExamSession session(QStringLiteral("T"));
        QVERIFY(session.ready);
        // The essay is the first question, the blank the second.
        const int index = blank ? 1 : 0;
        if (blank)
            session.act(QStringLiteral("next"));
        QCOMPARE(session.window.currentIndex, index);
        const QString focus = blank ? QStringLiteral("document.getElementsByName('kong_2')[0].focus()")
                                    : QStringLiteral("var t = $('textarea')[0]; t.value = ''; t.focus()");
        session.exam(focus);
        // The hand-in asks twice (unanswered questions, then for sure): yes.
        if (way == QLatin1String("hand in"))
            session.closer = std::make_unique<TestSupport::ModalCloser>([](QWidget *modal) {
                auto *determine = qobject_cast<Determine *>(modal);
                if (determine)
                    determine->pbYes->click();
                return determine != nullptr;
            });

        const QString typed = blank ? QStringLiteral("cpu") : QStringLiteral("ram disk");
        session.type(typed);
        if (way == QLatin1String("next"))
            session.window.pbUp->click();
        else if (way == QLatin1String("hand in"))
            session.window.assignment->click();
        else if (way == QLatin1String("close"))
            session.window.close();
        else
            session.window.setLocationJs(QString(), 3);

        const ExamQuestion &question = session.question(index);
        if (blank)
            QTRY_COMPARE_WITH_TIMEOUT(question.userAnswer, typed, 10000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(question.essayTexts, QStringList{typed}, 10000);
        QVERIFY(TestSupport::waitUntil([&session]() { return !session.window.flushingTypedAnswers(); }, 10000));
        if (way == QLatin1String("close"))
            QVERIFY(!session.window.isVisible());
        else if (way != QLatin1String("hand in"))
            QCOMPARE(session.window.currentIndex, way == QLatin1String("next") ? index + 1 : 2);
        if (way != QLatin1String("hand in"))
            return;
        QTRY_VERIFY_WITH_TIMEOUT(session.window.paper->handedIn, 10000);
        const QString sheet = QStringLiteral("select answers from exam_answer where paperId='T'");
        QTRY_COMPARE_WITH_TIMEOUT(TestSupport::FreshDatabase::column(sheet).size(), 1, 10000);
        const AnswerSheetReading stored = AnswerSheet::read(TestSupport::FreshDatabase::column(sheet).value(0));
        QVERIFY2(stored.ok(), qPrintable(stored.error));
        QCOMPARE(stored.entries.size(), 3);
        if (blank)
            QCOMPARE(stored.entries.at(index).answer, typed);
        else
            QCOMPARE(stored.entries.at(index).essay, QStringList{typed});
    }

    // Moves asked for in one turn of the event loop, as quick clicks make
    // them: each counts, the later worked out from where the earlier led
    // (an engine that answers later is still reading the typed answers when
    // the second comes), and the text typed before them is kept.
    void quickMovesEachCount_data()
    {
        QTest::addColumn<QStringList>("moves");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("refused");
        // Each row starts on the fill-in (index 3), between the composite's
        // last leaf (2) and the true/false question (4).
        QTest::newRow("previous twice skips the composite stem") << QStringList{"previous", "previous"} << 0 << false;
        QTest::newRow("next, then previous") << QStringList{"next", "previous"} << 3 << false;
        QTest::newRow("second next refused on the last question") << QStringList{"next", "next"} << 4 << true;
        QTest::newRow("card jump, then next") << QStringList{"jump:1", "next"} << 2 << false;
        QTest::newRow("previous, then card jump") << QStringList{"previous", "jump:5"} << 4 << false;
    }

    void quickMovesEachCount()
    {
        QFETCH(QStringList, moves);
        QFETCH(int, index);
        QFETCH(bool, refused);
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        session.act(QStringLiteral("jump:4"));
        session.exam(QStringLiteral("document.getElementsByName('kong_4')[1].focus()"));
        session.type(QStringLiteral("cpu"));
        for (const QString &move : moves) {
            if (move == QLatin1String("next"))
                session.window.pbUp->click();
            else if (move == QLatin1String("previous"))
                session.window.pbOn->click();
            else
                session.window.setLocationJs(QString(), move.mid(5).toInt());
        }
        QTRY_COMPARE_WITH_TIMEOUT(session.window.currentIndex, index, 10000);
        session.settle();
        QCOMPARE(session.window.currentIndex, index);
        QCOMPARE(session.question(3).userAnswer, QStringLiteral("|cpu"));
        QCOMPARE(session.newTexts().contains(QStringLiteral("考卷试题已经是最后一题")), refused);
        const QString focusId = session.question(index).focusId;
        QCOMPARE(session.exam(QStringLiteral("document.getElementById('%1') ? 'shown' : ''").arg(focusId)),
                 QStringLiteral("shown"));
    }

    // The arrows move between questions on a page that scrolls; in a blank
    // they move the caret.
    void arrowKeys_data()
    {
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("index");
        const QString scrolls = QStringLiteral(
            "var d = document.createElement('div'); d.style.width = '4000px'; d.style.height = '4000px';"
            " document.body.appendChild(d); window.scrollTo(0, 0); document.body.focus();");
        QTest::newRow("right on a long page") << 1 << scrolls << int(Qt::Key_Right) << 2;
        QTest::newRow("left on a long page") << 5 << scrolls << int(Qt::Key_Left) << 3;
        QTest::newRow("left in a blank moves the caret")
            << 4 << QStringLiteral("document.getElementsByName('kong_4')[0].focus()") << int(Qt::Key_Left) << 3;
    }

    void arrowKeys()
    {
        QFETCH(int, sequence);
        QFETCH(QString, prepare);
        QFETCH(int, key);
        QFETCH(int, index);
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        session.act(QStringLiteral("jump:%1").arg(sequence));
        session.exam(prepare);
        QWidget *input = session.window.webExam->inputWidget();
        input->setFocus();
        QTest::keyClick(input, Qt::Key(key));
        QTRY_COMPARE(session.window.currentIndex, index);
        session.settle();
        QCOMPARE(session.window.currentIndex, index);
        QCOMPARE(session.exam(QStringLiteral("String(window.pageXOffset)")), QStringLiteral("0"));
    }

    void flagControl()
    {
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        QVERIFY(session.window.checkBox->isVisible());
        session.window.checkBox->click();
        QVERIFY(session.question(0).marked);
        QVERIFY(session.cardClass(0).contains(QLatin1String("button_color")));
        // The box shows the flag of the question on the page.
        session.act(QStringLiteral("next"));
        QVERIFY(!session.window.checkBox->isChecked());
        session.act(QStringLiteral("jump:1"));
        QVERIFY(session.window.checkBox->isChecked());
        session.window.checkBox->click();
        QVERIFY(!session.question(0).marked);
        QVERIFY(!session.cardClass(0).contains(QLatin1String("button_color")));
    }

    void calculatorRunsOnce()
    {
        QTemporaryDir dir;
        const QString started = dir.path() + QStringLiteral("/started");
        QFile script(dir.path() + QStringLiteral("/xcalc"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho run >> '%1'\nexec sleep 30\n").arg(started).toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()) + ":/usr/bin:/bin");
        {
            TestSupport::ModalCloser closer;
            ExamRenLi window(0, 0, 800, 600, 1);
            window.examStatus = 1;
            window.show();
            QTest::keyClick(&window, Qt::Key_2);
            QVERIFY(TestSupport::waitUntil([&]() { return QFile::exists(started); }, 5000));
            QTest::keyClick(&window, Qt::Key_2);
            window.pbCalc->click();
            QTest::qWait(300);
        }
        qputenv("PATH", savedPath);
        QFile runs(started);
        QVERIFY(runs.open(QIODevice::ReadOnly));
        QCOMPARE(runs.readAll().count('\n'), 1);
    }

    void refusalBoxIsAWarningWithOneButton()
    {
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        session.closer.reset();
        QString title, text;
        QStringList buttons;
        bool warning = false;
        TestSupport::answerNextModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            warning = box->icon() == QMessageBox::Warning;
            for (QAbstractButton *button : box->buttons())
                buttons << button->text();
            box->buttons().first()->click();
        });
        QTest::keyClick(&session.window, Qt::Key_Left);
        QCOMPARE(title, QStringLiteral("提示信息"));
        QCOMPARE(text, QStringLiteral("考卷试题已经是第一题"));
        QVERIFY(warning);
        QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
        QCOMPARE(session.window.currentIndex, 0);
    }

    void cardLabels()
    {
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        QCOMPARE(session.card(QStringLiteral(
                     "var r=[]; var a=document.querySelectorAll('.a_list a');"
                     " for (var i=0;i<a.length;i++) r.push(a[i].textContent); r.join(',')")),
                 QStringLiteral("1,2.1,2.2,3"));
        // One list per section, headed by its ordinal.
        QCOMPARE(session.card(QStringLiteral("document.querySelectorAll('.s_menu1').length")),
                 QStringLiteral("3"));
        QCOMPARE(session.card(QStringLiteral("document.getElementById('s_e-2').textContent")),
                 QStringLiteral("第二部分"));
    }

    void cardEntryStates()
    {
        ExamSession session(QStringLiteral("E"));
        QVERIFY(session.ready);
        QVERIFY(session.cardClass(0).contains(QLatin1String("zico")));
        QVERIFY(session.cardClass(4).contains(QLatin1String("wico")));

        session.exam(QStringLiteral("setdanxuan('ti1_1_1','hdan_1','B')"));
        session.act(QStringLiteral("next"));
        QVERIFY(session.window.shoucang(QStringLiteral("m1"), 1));
        session.act(QStringLiteral("next"));

        const QString answered = session.cardClass(0);
        QVERIFY2(answered.contains(QLatin1String("yico")) && !answered.contains(QLatin1String("zico")),
                 qPrintable(answered));
        QVERIFY(answered.contains(QLatin1String("button_select")));
        const QString flagged = session.cardClass(2);
        QVERIFY2(flagged.contains(QLatin1String("button_color")) && flagged.contains(QLatin1String("wico")),
                 qPrintable(flagged));
        const QString current = session.cardClass(3);
        QVERIFY2(current.contains(QLatin1String("zico")), qPrintable(current));
        const QString untouched = session.cardClass(4);
        QVERIFY2(untouched.contains(QLatin1String("wico")) && !untouched.contains(QLatin1String("button")),
                 qPrintable(untouched));
    }

    void practiceKeyIsReadAsJsonOnShow()
    {
        TestSupport::ModalCloser closer;
        ExamRenLi window(0, 0, 800, 600, 1);
        window.paperId = QStringLiteral("[{\"itype\":\"2\",\"paperid\":\"E\"}]");
        window.examStatus = 3;
        window.show();
        QCOMPARE(window.paperId, QStringLiteral("E"));
        QTRY_VERIFY(window.paper);
        QCOMPARE(window.paper->name, QStringLiteral("错题练习"));
        QVERIFY(window.lCount->isHidden());
        QVERIFY(window.pBar->isHidden());
    }

    void unknownStatusLoadsNothing()
    {
        TestSupport::ModalCloser closer;
        ExamRenLi window(0, 0, 800, 600, 1);
        window.paperId = QStringLiteral("E");
        window.examStatus = 1;
        window.show();
        QTest::qWait(400);
        QVERIFY(!window.paper);
        // No value that is not the paper's own: the counts stay blank.
        QCOMPARE(window.lCount->text(), QString());
        QCOMPARE(closer.closedCount(), 0);
        // Moves without a paper do nothing and ask nothing.
        QTest::keyClick(&window, Qt::Key_Right);
        QTest::keyClick(&window, Qt::Key_A);
        QTest::qWait(50);
        QCOMPARE(closer.closedCount(), 0);
    }

    void showAndCloseSignals()
    {
        TestSupport::ModalCloser closer;
        ExamRenLi window(0, 0, 800, 600, 1);
        window.examStatus = 1;
        QSignalSpy hidden(&window, &ExamRenLi::meHide);
        QSignalSpy shown(&window, &ExamRenLi::meShow);
        window.show();
        QCOMPARE(hidden.count(), 1);
        window.bClose->click();
        QCOMPARE(shown.count(), 1);
        QVERIFY(!window.isVisible());
    }

    void dragOnlyFromTheTitleStrip_data()
    {
        QTest::addColumn<int>("pressY");
        QTest::addColumn<bool>("moves");
        QTest::newRow("inside the strip") << 89 << true;
        QTest::newRow("below the strip") << 90 << false;
    }

    void dragOnlyFromTheTitleStrip()
    {
        QFETCH(int, pressY);
        QFETCH(bool, moves);
        TestSupport::ModalCloser closer;
        ExamRenLi window(0, 0, 800, 600, 1);
        window.examStatus = 1;
        window.move(100, 100);
        window.show();
        const QPoint start = window.frameGeometry().topLeft();
        const QPoint pressAt = start + QPoint(300, pressY);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(300, pressY), QPointF(pressAt),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(350, pressY + 20), QPointF(pressAt + QPoint(50, 20)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(350, pressY + 20),
                            QPointF(pressAt + QPoint(50, 20)), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &release);
        QCOMPARE(window.frameGeometry().topLeft(), moves ? start + QPoint(50, 20) : start);
    }

    void calculatorLookup_data()
    {
        QTest::addColumn<QStringList>("besideProgram");
        QTest::addColumn<QStringList>("onPath");
        QTest::addColumn<QString>("found");
        QTest::newRow("none anywhere") << QStringList() << QStringList() << "";
        QTest::newRow("calc.exe beside the program") << QStringList{"calc.exe"} << QStringList{"xcalc"}
                                                     << "app/calc.exe";
        QTest::newRow("calc.exe on the path") << QStringList() << QStringList{"calc.exe", "kcalc"}
                                              << "path/calc.exe";
        QTest::newRow("one desktop calculator") << QStringList() << QStringList{"xcalc"} << "path/xcalc";
        QTest::newRow("first in the usual order") << QStringList()
                                                  << QStringList{"qalculate-gtk", "galculator", "kcalc"}
                                                  << "path/kcalc";
    }

    void calculatorLookup()
    {
        QFETCH(QStringList, besideProgram);
        QFETCH(QStringList, onPath);
        QFETCH(QString, found);
        QTemporaryDir root;
        QDir(root.path()).mkpath(QStringLiteral("app"));
        QDir(root.path()).mkpath(QStringLiteral("path"));
        auto place = [&](const QString &folder, const QStringList &names) {
            for (const QString &name : names) {
                QFile file(root.path() + QLatin1Char('/') + folder + QLatin1Char('/') + name);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write("#!/bin/sh\n");
                file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
            }
        };
        place(QStringLiteral("app"), besideProgram);
        place(QStringLiteral("path"), onPath);
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(root.path() + QStringLiteral("/path")));
        const QString located = CalculatorLauncher::locate(root.path() + QStringLiteral("/app/"));
        qputenv("PATH", savedPath);
        QCOMPARE(located, found.isEmpty() ? QString() : root.path() + QLatin1Char('/') + found);
    }

    // The question page and the card take the room the window gives its
    // body; the information strip and the button bar keep their own height,
    // whichever engine draws the pages.
    void pagesTakeTheBodysRoom_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("opened size") << QSize(1024, 740);
        QTest::newRow("smallest size") << QSize(900, 600);
    }

    void pagesTakeTheBodysRoom()
    {
        QFETCH(QSize, size);
        ExamRenLi window(0, 0, size.width(), size.height(), 1);
        window.resize(size);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto ownHeight = [](const QWidget *strip) { return qMax(strip->minimumHeight(), strip->sizeHint().height()); };
        QCOMPARE(window.infoWidget->height(), ownHeight(window.infoWidget));
        QCOMPARE(window.widget->height(), ownHeight(window.widget));
        const int body = window.bodyWidget->contentsRect().height();
        QCOMPARE(window.webExam->height(), body - 16);
        QVERIFY(window.webbutton->height() > body / 2);
    }

    void maximiseAndRestoreSwapTheirButtons()
    {
        TestSupport::ModalCloser closer;
        ExamRenLi window(0, 0, 800, 600, 1);
        window.examStatus = 1;
        window.show();
        QVERIFY(window.bRest->isHidden());
        window.bMax->click();
        QVERIFY(window.isMaximized());
        QVERIFY(window.bMax->isHidden());
        QVERIFY(!window.bRest->isHidden());
        window.bRest->click();
        QVERIFY(!window.isMaximized());
        QVERIFY(!window.bMax->isHidden());
        QVERIFY(window.bRest->isHidden());
    }

    void rightClickOpensNoMenu()
    {
        TestSupport::ModalCloser closer;
        ExamRenLi window(0, 0, 800, 600, 1);
        window.examStatus = 1;
        window.show();
        for (PageView *view : {window.webExam, window.webbutton}) {
            QTest::mouseClick(view->inputWidget(), Qt::RightButton);
            QVERIFY(!QApplication::activePopupWidget());
            QCOMPARE(view->inputWidget()->contextMenuPolicy(), Qt::NoContextMenu);
        }
    }
};

TESSERA_TEST_MAIN(ExamWindowTest)
#include "tst_examwindow.moc"
