#include "testsupport.h"

#include "boundstatement.h"
#include "dbconnection.h"
#include "determine.h"
#include "fwelcome.h"
#include "infoform.h"
#include "loginform.h"
#include "mainwindow.h"
#include "pagetext.h"
#include "pageview.h"
#include "subjectstore.h"
#include "examrenli.h"
#include "answersheet.h"
#include "papergrader.h"
#include "prompt.h"
#include "resultspage.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

namespace {

QString evaluate(PageView *view, const QString &script)
{
    return TestSupport::pageValue(view, script).toString();
}

// Answers every modal the run opens: a yes/no question with the chosen answer,
// everything else closed. Keeps the texts of the yes/no questions.
class DialogAnswerer
{
public:
    explicit DialogAnswerer(bool yes = true)
        : answerYes(yes)
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this]() { answer(); });
        timer.start();
    }

    bool answerYes;
    QStringList questions;
    QStringList prompts;
    QStringList notices;        // texts of the message boxes, closed unanswered

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *determine = qobject_cast<Determine *>(modal)) {
            questions << determine->textEdit->toPlainText().trimmed();
            (answerYes ? determine->pbYes : determine->pbNo)->click();
        } else if (auto *prompt = qobject_cast<Prompt *>(modal)) {
            prompts << prompt->textEdit->toPlainText().trimmed();
            prompt->pbOk->click();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                notices << box->text();
            dialog->reject();
        } else {
            modal->close();
        }
    }

    QTimer timer;
};

} // namespace

namespace {

// Waits until the window has loaded its paper and both pages can take calls.
bool waitUntilReady(ExamRenLi &window)
{
    return TestSupport::waitUntil([&window]() {
        return window.paper && window.paper->startTime.isValid() && !window.pagesLoading()
            && evaluate(window.webExam, QStringLiteral("typeof setdanxuan")) == QLatin1String("function")
            && evaluate(window.webbutton, QStringLiteral("typeof showCent")) == QLatin1String("function");
    }, 20000);
}

bool waitUntilSettled(ExamRenLi &window)
{
    return TestSupport::waitUntil([&window]() { return !window.pagesLoading(); }, 10000);
}

int storedResults(const QString &paperId)
{
    return TestSupport::FreshDatabase::scalar(
        QStringLiteral("select count(*) from exam_answer where paperId='%1'").arg(paperId));
}


// The one visible top-level window of a kind, or null.
template <class T>
T *visibleWindow()
{
    T *found = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *candidate = qobject_cast<T *>(widget);
        if (candidate && candidate->isVisible())
            found = candidate;
    }
    return found;
}

// The visible window of a kind once one is there (a page's call may reach the
// program later); null when none comes within five seconds.
template <class T>
T *awaitedWindow()
{
    TestSupport::waitUntil([]() { return visibleWindow<T>() != nullptr; }, 5000);
    return visibleWindow<T>();
}

Fwelcome *homeForm(MainWindow &window)
{
    const QList<Fwelcome *> forms = window.showForm->findChildren<Fwelcome *>(QString(), Qt::FindDirectChildrenOnly);
    return forms.size() == 1 ? forms.first() : nullptr;
}

// The list entry of a paper on the home page, as "right/wrong" counts.
QString paperCounts(Fwelcome *home, const QString &paperId)
{
    return evaluate(home->mainWebView, QStringLiteral(
        "(function () { var entry = document.querySelector('span[onclick=\"showkaojuang(\\'%1\\');\"]');"
        " if (!entry) return '';"
        " return Array.prototype.map.call(entry.parentNode.parentNode.querySelectorAll('span.sl'),"
        " function (e) { return e.textContent; }).join('/'); })()").arg(jsEscape(paperId)));
}

// Clicks the option with the given letter index of a question in the page.
void clickOption(ExamRenLi &window, const ExamQuestion &question, int letter)
{
    evaluate(window.webExam, QStringLiteral("document.getElementById('%1').click()")
                                 .arg(question.optionIds.at(letter)));
}

int letterIndex(const QString &answer)
{
    return answer.trimmed().toUpper().at(0).unicode() - 'A';
}


// The indexes of the first single choices of a loaded paper.
QVector<int> singleChoices(const ExamPaper &paper, int wanted)
{
    QVector<int> found;
    for (size_t i = 0; i < paper.questions.size() && found.size() < wanted; ++i) {
        if (paper.questions[i]->type == ExamQuestion::SingleChoice)
            found << int(i);
    }
    return found;
}

// Records an answer as the page reports it: the right letter or another one.
void answer(ExamRenLi &window, const ExamQuestion &question, bool right)
{
    const int letter = letterIndex(question.answer);
    window.setAsQuestionJs(question.tname, QString(QChar('A' + (right ? letter : (letter + 1) % 4))));
}

const QString countdownPaper = QStringLiteral("km1p1");

} // namespace

class HandInTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::FreshDatabase> db;

    // A formal paper of one minute, loaded in a shown window.
    void openOneMinutePaper(ExamRenLi &window)
    {
        QVERIFY(TestSupport::FreshDatabase::exec(
            QStringLiteral("update exam_paper set examTime=1 where id='%1'").arg(countdownPaper)));
        QVERIFY(TestSupport::FreshDatabase::exec(QStringLiteral("delete from exam_answer")));
        window.paperId = countdownPaper;
        window.examStatus = 0;
        window.show();
        QVERIFY(waitUntilReady(window));
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<TestSupport::FreshDatabase>(TestSupport::sampleBankSql());
        QVERIFY(db->ok());
    }

    void countdownShowsTheTimeLeft()
    {
        DialogAnswerer answerer;
        ExamRenLi window(0, 0, 1024, 740, 1);
        openOneMinutePaper(window);
        QVERIFY(window.countdownTimer->isActive());
        window.paper->startTime = QTime::currentTime().addSecs(-1);
        window.examJiShi();
        QCOMPARE(window.lexamTimeTo->text(),
                 QStringLiteral("剩余时间  ：<font color='#FF0000'>00:00:59</font>"));
        QVERIFY(!window.paper->handedIn);
        window.countdownTimer->stop();
    }

    // Time running out hands the paper in as it stands, once, whatever
    // question is open: the hand-in questions are closed, none asked anew.
    void timeUpHandsInOnce_data()
    {
        QTest::addColumn<int>("openQuestion"); // 0: none open, 1: unanswered list, 2: confirmation
        QTest::newRow("no question open") << 0;
        QTest::newRow("unanswered list open") << 1;
        QTest::newRow("confirmation open") << 2;
    }

    void timeUpHandsInOnce()
    {
        QFETCH(int, openQuestion);
        ExamRenLi window(0, 0, 1024, 740, 1);
        QStringList asked;
        QElapsedTimer hesitating;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&]() {
            auto *determine = qobject_cast<Determine *>(QApplication::activeModalWidget());
            if (!determine || !determine->isVisible())
                return;
            if (determine->property("seen").toBool()) {
                // A question the clock left open would hold the test forever.
                if (hesitating.isValid() && hesitating.hasExpired(3000))
                    determine->reject();
                return;
            }
            determine->setProperty("seen", true);
            asked << determine->textEdit->toPlainText().trimmed();
            if (asked.size() < openQuestion) {
                determine->pbYes->click();
            } else if (asked.size() > qMax(openQuestion, 1)) {
                determine->pbNo->click(); // asked again after the time was up
            } else if (openQuestion > 0) {
                // The candidate hesitates until the time is up.
                window.paper->startTime = QTime::currentTime().addSecs(-61);
                hesitating.start();
            } else {
                determine->pbNo->click(); // asked at all when time is up
            }
        });
        {
            DialogAnswerer introductions;
            openOneMinutePaper(window);
        }
        poll.start();
        if (openQuestion == 0)
            window.paper->startTime = QTime::currentTime().addSecs(-61);
        else
            QMetaObject::invokeMethod(&window, "on_assignment_clicked", Qt::QueuedConnection);
        QTRY_VERIFY_WITH_TIMEOUT(window.paper && window.paper->handedIn, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(window.webExam, QStringLiteral("document.body.innerHTML"))
                                     .contains(QStringLiteral("试卷得分")), 10000);
        QTest::qWait(300);
        QCOMPARE(asked.size(), openQuestion);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!window.countdownTimer->isActive());
        QCOMPARE(window.lexamTimeTo->text(), QStringLiteral("剩余时间  ：<font color='#FF0000'>00:00:00</font>"));
        QCOMPARE(storedResults(countdownPaper), 1);
    }

    // After the hand-in the page shows the answers and takes none.
    void reviewIsReadOnly()
    {
        DialogAnswerer answerer(true);
        ExamRenLi window(0, 0, 1024, 740, 1);
        openOneMinutePaper(window);
        window.countdownTimer->stop();
        ExamQuestion &first = *window.paper->questions.front();
        clickOption(window, first, 0);
        QTRY_COMPARE_WITH_TIMEOUT(first.userAnswer, QStringLiteral("A"), 5000);
        window.assignment->click();
        QTRY_VERIFY_WITH_TIMEOUT(window.paper->handedIn, 10000);
        window.showAnswerForm();
        QVERIFY(waitUntilSettled(window));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(window.webExam, QStringLiteral("String(answersLocked)")),
                                  QStringLiteral("true"), 5000);

        clickOption(window, first, 2);
        window.webExam->inputWidget()->setFocus();
        QTest::keyClick(window.webExam->inputWidget(), Qt::Key_B);
        QVERIFY(waitUntilSettled(window));
        QCOMPARE(first.userAnswer, QStringLiteral("A"));
        QCOMPARE(evaluate(window.webExam, QStringLiteral("document.getElementById('%1').value").arg(first.tname)),
                 QStringLiteral("A"));
        QVERIFY(evaluate(window.webExam, QStringLiteral("document.getElementById('%1').className").arg(first.optionIds.at(0)))
                    .contains(QStringLiteral("button_02")));
        QVERIFY(!evaluate(window.webExam, QStringLiteral("document.getElementById('%1').className").arg(first.optionIds.at(2)))
                     .contains(QStringLiteral("button_02")));
        QVERIFY(!window.checkBox->isEnabled());

        // A blank of a marked paper cannot be typed in.
        for (const auto &question : window.paper->questions) {
            if (question->type == ExamQuestion::FillIn) {
                window.setLocationJs(QString(), question->seq);
                QVERIFY(waitUntilSettled(window));
                QTRY_COMPARE_WITH_TIMEOUT(evaluate(window.webExam, QStringLiteral("String(document.getElementById('%1').readOnly)")
                                                                       .arg(question->tname)),
                                          QStringLiteral("true"), 5000);
                break;
            }
        }
        // 交卷 shows the results again without asking anything.
        QCOMPARE(answerer.questions.size(), 2);
        window.assignment->click();
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(window.webExam, QStringLiteral("document.body.innerHTML"))
                                     .contains(QStringLiteral("试卷得分")), 10000);
        QCOMPARE(answerer.questions.size(), 2);
    }

    // Answering again, from the results or from the review, introduces the
    // paper and its first section once each, as the first load does.
    void answerAgainIntroducesOnce_data()
    {
        QTest::addColumn<bool>("reviewFirst");
        QTest::newRow("from the results") << false;
        QTest::newRow("from the review") << true;
    }

    void answerAgainIntroducesOnce()
    {
        QFETCH(bool, reviewFirst);
        DialogAnswerer answerer(true);
        ExamRenLi window(0, 0, 1024, 740, 1);
        openOneMinutePaper(window);
        window.countdownTimer->stop();
        const QStringList firstLoad = answerer.prompts;
        QCOMPARE(firstLoad.size(), 2);
        window.setLocationJs(QString(), 8);
        window.assignment->click();
        QTRY_VERIFY_WITH_TIMEOUT(window.paper->handedIn, 10000);
        if (reviewFirst)
            window.showAnswerForm();
        QVERIFY(waitUntilSettled(window));
        const int before = answerer.prompts.size();
        evaluate(window.webExam, QStringLiteral("againQuestion()"));
        QTRY_VERIFY_WITH_TIMEOUT(window.paper && !window.paper->handedIn, 10000);
        QVERIFY(waitUntilReady(window));
        QTRY_VERIFY_WITH_TIMEOUT(answerer.prompts.size() >= before + firstLoad.size(), 10000);
        QTest::qWait(300);
        QCOMPARE(answerer.prompts.mid(before), firstLoad);
        window.countdownTimer->stop();
    }

    // The results popup shows its buttons without scrolling.
    void resultsButtonsInView()
    {
        DialogAnswerer answerer(true);
        ExamRenLi window(0, 0, 1024, 740, 1);
        openOneMinutePaper(window);
        window.countdownTimer->stop();
        window.assignment->click();
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(window.webExam, QStringLiteral("document.body.innerHTML"))
                                     .contains(QStringLiteral("重新答题")), 10000);
        const QString inView = QStringLiteral(
            "(function () { var c = document.querySelector('.popup_content');"
            " var b = c.querySelector('input[value=\"查看答案\"]').getBoundingClientRect();"
            " var r = c.getBoundingClientRect();"
            " return c.scrollHeight <= c.clientHeight && b.bottom <= r.bottom && b.bottom <= window.innerHeight; })()");
        QCOMPARE(evaluate(window.webExam, inView), QStringLiteral("true"));
        QVERIFY(evaluate(window.webExam, QStringLiteral("document.querySelector('.pass_line').textContent"))
                    .startsWith(QStringLiteral("不合格")));
    }

    // The card keeps the current entry in view, also after maximise and restore.
    void cardFollowsTheCurrentEntry()
    {
        DialogAnswerer answerer(true);
        ExamRenLi window(0, 0, 900, 600, 1);
        openOneMinutePaper(window);
        window.countdownTimer->stop();
        window.resize(900, 600);
        auto entryInView = [&window]() {
            const ExamQuestion *question = window.currentQuestion();
            return evaluate(window.webbutton, QStringLiteral(
                "(function () { var r = document.getElementById('%1').getBoundingClientRect();"
                " return r.top >= 0 && r.bottom <= window.innerHeight; })()").arg(question->cardId));
        };
        window.setLocationJs(QString(), int(window.paper->questions.size()));
        QVERIFY(waitUntilSettled(window));
        QTRY_COMPARE_WITH_TIMEOUT(entryInView(), QStringLiteral("true"), 5000);
        QVERIFY(evaluate(window.webbutton, QStringLiteral("String(window.pageYOffset)")).toInt() > 0);
        window.bMax->click();
        QTRY_COMPARE_WITH_TIMEOUT(entryInView(), QStringLiteral("true"), 5000);
        window.bRest->click();
        window.resize(900, 600);
        QTRY_COMPARE_WITH_TIMEOUT(entryInView(), QStringLiteral("true"), 5000);
    }

    void secondHandInShowsTheSameResults()
    {
        DialogAnswerer answerer(true);
        ExamRenLi window(0, 0, 1024, 740, 1);
        openOneMinutePaper(window);
        window.countdownTimer->stop();
        QMetaObject::invokeMethod(&window, "on_assignment_clicked");
        QTRY_VERIFY_WITH_TIMEOUT(window.paper->handedIn, 10000);
        const QString firstSheet = window.paper->answerSheet;
        const QString firstId = TestSupport::FreshDatabase::column(QStringLiteral("select id from exam_answer")).value(0);
        // Handed in: the results come again without the questions.
        QMetaObject::invokeMethod(&window, "on_assignment_clicked");
        QTest::qWait(300);
        QCOMPARE(answerer.questions.size(), 2);
        QCOMPARE(window.paper->answerSheet, firstSheet);
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral("select id from exam_answer")),
                 QStringList{firstId});
    }


    void reviewShowsExplanationsAndMarks()
    {
        DialogAnswerer answerer(true);
        ExamRenLi window(0, 0, 1024, 740, 1);
        openOneMinutePaper(window);
        window.countdownTimer->stop();
        answer(window, *window.paper->questions.front(), false);
        QMetaObject::invokeMethod(&window, "on_assignment_clicked");
        QTRY_VERIFY_WITH_TIMEOUT(window.paper->handedIn, 10000);
        window.setLocationJs(QString(), 3);
        window.showAnswerForm();
        QCOMPARE(window.currentIndex, 0);
        QVERIFY(waitUntilSettled(window));
        const ExamQuestion &first = *window.paper->questions.front();
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(window.webExam, QStringLiteral("document.getElementById('%1').className").arg(first.resultId)),
                                  QStringLiteral("wrong"), 5000);
        QCOMPARE(evaluate(window.webExam, QStringLiteral("document.getElementById('%1').style.display").arg(first.explainId)),
                 QStringLiteral("block"));
    }

    void answerAgainStartsAFreshRun()
    {
        DialogAnswerer answerer(true);
        ExamRenLi window(0, 0, 1024, 740, 1);
        openOneMinutePaper(window);
        window.countdownTimer->stop();
        answer(window, *window.paper->questions.front(), true);
        QMetaObject::invokeMethod(&window, "on_assignment_clicked");
        QTRY_VERIFY_WITH_TIMEOUT(window.paper->handedIn, 10000);
        QCOMPARE(storedResults(countdownPaper), 1);

        const QStringList stored = TestSupport::FreshDatabase::column(QStringLiteral("select id||answers from exam_answer"));
        window.againQuestion();
        QVERIFY(waitUntilReady(window));
        QVERIFY(!window.paper->handedIn);
        QVERIFY(!window.paper->questions.front()->answered);
        QCOMPARE(window.paper->answeredCount, 0);
        QVERIFY(window.countdownTimer->isActive());
        // The result stays until the new run is handed in, then is replaced.
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral("select id||answers from exam_answer")), stored);
        window.countdownTimer->stop();
        QMetaObject::invokeMethod(&window, "on_assignment_clicked");
        QTRY_VERIFY_WITH_TIMEOUT(window.paper->handedIn, 10000);
        QCOMPARE(storedResults(countdownPaper), 1);
        QVERIFY(TestSupport::FreshDatabase::column(QStringLiteral("select id||answers from exam_answer")) != stored);
    }

    void favouriteButtonTogglesTheQuestion()
    {
        DialogAnswerer answerer;
        ExamRenLi window(0, 0, 1024, 740, 1);
        openOneMinutePaper(window);
        window.countdownTimer->stop();
        const QString id = window.paper->questions.front()->id;
        const QString rowsSql = QStringLiteral("select questionid from exam_Collect where questionid='%1'").arg(id);
        const QString flagSql = QStringLiteral("select isCollect from exam_question where id='%1'").arg(id);

        window.pbCollect->click();
        QVERIFY(window.paper->questions.front()->isCollect);
        QVERIFY(window.pbCollect->styleSheet().contains(QStringLiteral("sc21.png")));
        QCOMPARE(TestSupport::FreshDatabase::column(rowsSql), QStringList{id});
        QCOMPARE(TestSupport::FreshDatabase::scalar(flagSql), 1);

        window.pbCollect->click();
        QVERIFY(!window.paper->questions.front()->isCollect);
        QVERIFY(window.pbCollect->styleSheet().contains(QStringLiteral("sc11.png")));
        QVERIFY(TestSupport::FreshDatabase::column(rowsSql).isEmpty());
        QCOMPARE(TestSupport::FreshDatabase::scalar(flagSql), 0);
    }

    void wrongPracticeTakesOutWhatIsNowMastered()
    {
        // Two questions enter the book from a formal paper...
        DialogAnswerer answerer(true);
        QVERIFY(TestSupport::FreshDatabase::exec(QStringLiteral("delete from error_answer")));
        QStringList wrongIds;
        {
            ExamRenLi formal(0, 0, 1024, 740, 1);
            openOneMinutePaper(formal);
            formal.countdownTimer->stop();
            for (int index : singleChoices(*formal.paper, 2)) {
                answer(formal, *formal.paper->questions[size_t(index)], false);
                wrongIds << formal.paper->questions[size_t(index)]->id;
            }
            QMetaObject::invokeMethod(&formal, "on_assignment_clicked");
            QTRY_VERIFY_WITH_TIMEOUT(formal.paper->handedIn, 10000);
        }
        QCOMPARE(TestSupport::FreshDatabase::scalar(QStringLiteral("select count(*) from error_answer")), 2);
        // The first has been reviewed well for weeks: one more right answer masters it.
        QVERIFY(execBound(DbConnection::instance(QString(), true)->database(),
                          QStringLiteral("update review_card set stability=20, difficulty=5, reviews=4, "
                                         "lastReview=:last, due=:due where questionId=:id"),
                          {{QStringLiteral(":id"), wrongIds.first()},
                           {QStringLiteral(":last"), QDate::currentDate().addDays(-20).toString(Qt::ISODate)},
                           {QStringLiteral(":due"), QDate::currentDate().toString(Qt::ISODate)}}));

        // ...and the practice answers the first right and the second wrong again.
        ExamRenLi practice(0, 0, 1024, 740, 1);
        practice.paperId = QStringLiteral("[{\"itype\":\"2\",\"paperid\":\"%1\"}]").arg(countdownPaper);
        practice.examStatus = 3;
        practice.show();
        QVERIFY(waitUntilReady(practice));
        QCOMPARE(int(practice.paper->questions.size()), 2);
        // The practice is captioned by what it holds, not by the paper's section.
        QCOMPARE(evaluate(practice.webExam, QStringLiteral("document.querySelector('.title_01 p').textContent")),
                 QStringLiteral("一、单项选择题（共2题，每题2分，共4分）"));
        for (const auto &question : practice.paper->questions)
            answer(practice, *question, question->id == wrongIds.first());
        QMetaObject::invokeMethod(&practice, "on_assignment_clicked");
        QTRY_VERIFY_WITH_TIMEOUT(practice.paper->handedIn, 10000);
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral("select questionId from error_answer")),
                 QStringList{wrongIds.last()});
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral("select questionId from mastered_question")),
                 QStringList{wrongIds.first()});
        QCOMPARE(storedResults(countdownPaper), 1); // the paper's own result stays
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(practice.webExam, QStringLiteral("document.body.innerHTML"))
                                     .contains(QStringLiteral("不限时")), 10000);
    }

    void deleteFromTheBookRebuildsTheCard()
    {
        DialogAnswerer answerer(true);
        ExamRenLi practice(0, 0, 1024, 740, 1);
        practice.paperId = QStringLiteral("[{\"itype\":\"2\",\"paperid\":\"%1\"}]").arg(countdownPaper);
        practice.examStatus = 3;
        QVERIFY(TestSupport::FreshDatabase::exec(QStringLiteral("delete from error_answer")));
        QVERIFY(TestSupport::FreshDatabase::exec(QStringLiteral(
            "insert into error_answer(questionId,examid,fuleixingid,sequence) "
            "select a.id, '%1', b.fuleixingid, 1 from exam_question a, exam_paper_static b "
            "where b.paperId='%1' and a.questionTypeid=1 and b.questionTypeid=1 and a.fuleixingid=b.fuleixingid "
            "order by a.id limit 2").arg(countdownPaper)));
        practice.show();
        QVERIFY(waitUntilReady(practice));
        QCOMPARE(int(practice.paper->questions.size()), 2);
        const QString first = practice.paper->questions.front()->id;
        const QString second = practice.paper->questions.back()->id;

        practice.del_question(first);
        QVERIFY(waitUntilReady(practice));
        QCOMPARE(int(practice.paper->questions.size()), 1);
        const ExamQuestion &remaining = *practice.paper->questions.front();
        QCOMPARE(remaining.id, second);
        QCOMPARE(remaining.seq, 1);
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral("select questionId from error_answer")), QStringList{second});
        // The card has one entry, and it leads to the remaining question.
        QCOMPARE(evaluate(practice.webbutton, QStringLiteral("document.querySelectorAll('a.wico, a.zico, a.yico').length")), QStringLiteral("1"));
        const QString link = evaluate(practice.webbutton, QStringLiteral("document.getElementById('%1').getAttribute('href')").arg(remaining.cardId));
        QVERIFY2(link.contains(QStringLiteral("'1')")), qPrintable(link));
        QVERIFY(evaluate(practice.webExam, QStringLiteral("document.body.innerHTML")).contains(remaining.tname));

        practice.del_question(second);
        QVERIFY(!practice.paper);
        QVERIFY(TestSupport::FreshDatabase::column(QStringLiteral("select questionId from error_answer")).isEmpty());
        practice.del_question(second); // nothing left: nothing happens
        QVERIFY(!practice.paper);
    }


    // A refused write is told in the user's words and changes nothing, in the
    // database or on the screen.
    void refusedWritesAreTold_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("notice");
        QTest::newRow("favourite") << "favourite" << "BEFORE INSERT ON exam_Collect"
                                   << "收藏未能保存：数据库写入失败（refused）。收藏状态没有改变，请检查磁盘空间或文件权限后重试。";
        QTest::newRow("book removal") << "book removal" << "BEFORE DELETE ON error_answer"
                                      << "错题未能移出错题本：数据库写入失败（refused）。错题本没有改变，请检查磁盘空间或文件权限后重试。";
    }

    void refusedWritesAreTold()
    {
        QFETCH(QString, write);
        QFETCH(QString, trigger);
        QFETCH(QString, notice);
        DialogAnswerer answerer(true);
        QVERIFY(TestSupport::FreshDatabase::exec(QStringLiteral("delete from error_answer;\ndelete from exam_Collect")));
        QVERIFY(TestSupport::FreshDatabase::exec(QStringLiteral(
            "insert into error_answer(questionId,examid,fuleixingid,sequence) "
            "select a.id, '%1', b.fuleixingid, 1 from exam_question a, exam_paper_static b "
            "where b.paperId='%1' and a.questionTypeid=1 and b.questionTypeid=1 and a.fuleixingid=b.fuleixingid "
            "order by a.id limit 2").arg(countdownPaper)));
        const QString records = QStringLiteral("select questionId from error_answer union all select 'c'||questionid from exam_Collect");
        const QStringList before = TestSupport::FreshDatabase::column(records);
        QVERIFY(TestSupport::FreshDatabase::exec(
            QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END;").arg(trigger)));
        const auto dropTrigger = qScopeGuard([]() { TestSupport::FreshDatabase::exec(QStringLiteral("DROP TRIGGER refuse")); });

        ExamRenLi window(0, 0, 1024, 740, 1);
        window.paperId = QStringLiteral("[{\"itype\":\"2\",\"paperid\":\"%1\"}]").arg(countdownPaper);
        window.examStatus = 3;
        window.show();
        QVERIFY(waitUntilReady(window));
        if (write == QLatin1String("favourite")) {
            window.pbCollect->click();
            QVERIFY(!window.paper->questions.front()->isCollect);
            QVERIFY(window.pbCollect->styleSheet().contains(QStringLiteral("sc11.png")));
        } else {
            window.del_question(window.paper->questions.front()->id);
            QCOMPARE(int(window.paper->questions.size()), 2);
        }
        QCOMPARE(answerer.notices, QStringList{notice});
        QCOMPARE(TestSupport::FreshDatabase::column(records), before);
    }

    void onlyTheChosenOptionalSectionCounts_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<double>("score");
        QTest::newRow("the essay section chosen") << QStringLiteral("km1p4s7") << 10.0;
        QTest::newRow("the case section chosen") << QStringLiteral("km1p4s6") << 0.0;
        QTest::newRow("none chosen") << QString() << 0.0;
    }

    void onlyTheChosenOptionalSectionCounts()
    {
        QFETCH(QString, chosen);
        QFETCH(double, score);
        DialogAnswerer answerer(true);
        ExamRenLi window(0, 0, 1024, 740, 1);
        window.paperId = QStringLiteral("km1p4");
        window.examStatus = 0;
        window.show();
        QVERIFY(waitUntilReady(window));
        window.countdownTimer->stop();
        if (!chosen.isEmpty()) {
            evaluate(window.webExam, QStringLiteral("setXZBF('%1')").arg(chosen));
            const auto choiceHeard = [&]() {
                for (const auto &section : window.paper->sections)
                    if (section->id == chosen && section->chosen)
                        return true;
                return false;
            };
            QTRY_VERIFY_WITH_TIMEOUT(choiceHeard(), 5000);
        }
        ExamQuestion &essay = *window.paper->questions.back();
        QCOMPARE(essay.id, QStringLiteral("km1q080"));
        window.setAsQuestionJs(essay.tname, QStringLiteral("A"));
        QMetaObject::invokeMethod(&window, "on_assignment_clicked");
        QTRY_VERIFY_WITH_TIMEOUT(window.paper->handedIn, 10000);
        QCOMPARE(essay.status, 0);
        QCOMPARE(window.paper->rightCount, 1);
        QCOMPARE(window.paper->score, score);
        QCOMPARE(window.paper->sections.back()->rightCount, score > 0 ? 1 : 0);
    }

    void failedStorageKeepsThePreviousResultAndShowsTheNewOne()
    {
        DialogAnswerer answerer(true);
        {
            ExamRenLi first(0, 0, 1024, 740, 1);
            openOneMinutePaper(first);
            first.countdownTimer->stop();
            QMetaObject::invokeMethod(&first, "on_assignment_clicked");
            QTRY_VERIFY_WITH_TIMEOUT(first.paper->handedIn, 10000);
        }
        const QStringList before = TestSupport::FreshDatabase::column(QStringLiteral("select id||answers from exam_answer"));
        QCOMPARE(before.size(), 1);
        QVERIFY(TestSupport::FreshDatabase::exec(QStringLiteral(
            "CREATE TRIGGER refuse_result BEFORE INSERT ON exam_answer BEGIN SELECT RAISE(ABORT, 'refused'); END;")));

        ExamRenLi second(0, 0, 1024, 740, 1);
        second.paperId = countdownPaper;
        second.examStatus = 0;
        second.show();
        QVERIFY(waitUntilReady(second));
        second.countdownTimer->stop();
        answer(second, *second.paper->questions.front(), true);
        QMetaObject::invokeMethod(&second, "on_assignment_clicked");
        QTRY_VERIFY_WITH_TIMEOUT(second.paper->handedIn, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(second.webExam, QStringLiteral("document.body.innerHTML"))
                                     .contains(QStringLiteral("试卷得分")), 10000);
        QCOMPARE(answerer.notices, QStringList{QStringLiteral(
            "成绩未能保存：数据库写入失败（refused）。本次答题结果仍显示在屏幕上，请检查磁盘空间或文件权限后重新交卷。")});
        QVERIFY(!second.handInSaved);
        QVERIFY(TestSupport::FreshDatabase::exec(QStringLiteral("DROP TRIGGER refuse_result")));
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral("select id||answers from exam_answer")), before);

        // Handing in again stores the run as it was marked.
        QMetaObject::invokeMethod(&second, "on_assignment_clicked");
        QTRY_VERIFY_WITH_TIMEOUT(second.handInSaved, 10000);
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral("select answers from exam_answer")),
                 QStringList{AnswerSheet::stored(second.paper->answerSheet)});
        QCOMPARE(answerer.notices.size(), 1);
    }

    // Home page → login → candidate → exam → answers → hand-in → stored result,
    // book and card → closed → home list with the new counts.
    void formalPaperEndToEnd()
    {
        TestSupport::FreshDatabase roadDb(TestSupport::sampleBankSql());
        QVERIFY(roadDb.ok());
        QVERIFY(SubjectStore::choose(QStringLiteral("km1")));
        DialogAnswerer answerer(true);
        MainWindow main;
        main.show();
        Fwelcome *home = homeForm(main);
        QVERIFY(home);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(home->mainWebView, QStringLiteral("typeof zhenti")) == QLatin1String("function"), 10000);
        evaluate(home->mainWebView, QStringLiteral("zhenti()"));
        QTRY_COMPARE_WITH_TIMEOUT(paperCounts(home, countdownPaper), QStringLiteral("0/0"), 10000);

        // The user clicks the paper's name.
        home->mainWebView->runScript(
            QStringLiteral("document.querySelector('span[onclick=\"showkaojuang(\\'%1\\');\"]').click()")
                .arg(jsEscape(countdownPaper)));
        LoginForm *login = awaitedWindow<LoginForm>();
        QVERIFY(login);
        login->pushButton->click();
        InfoForm *info = visibleWindow<InfoForm>();
        QVERIFY(info);
        info->pushButton_3->click();
        ExamRenLi *exam = visibleWindow<ExamRenLi>();
        QVERIFY(exam);
        QVERIFY(waitUntilReady(*exam));
        exam->countdownTimer->stop();

        // The first two single choices: one right, one wrong.
        QVector<int> singles;
        for (size_t i = 0; i < exam->paper->questions.size() && singles.size() < 2; ++i) {
            if (exam->paper->questions[i]->type == ExamQuestion::SingleChoice)
                singles << int(i);
        }
        QCOMPARE(singles.size(), 2);
        ExamQuestion &right = *exam->paper->questions[size_t(singles[0])];
        ExamQuestion &wrong = *exam->paper->questions[size_t(singles[1])];
        exam->setLocationJs(QString(), right.seq);
        QVERIFY(waitUntilSettled(*exam));
        clickOption(*exam, right, letterIndex(right.answer));
        QTRY_VERIFY_WITH_TIMEOUT(right.answered, 5000);
        exam->setLocationJs(QString(), wrong.seq);
        QVERIFY(waitUntilSettled(*exam));
        clickOption(*exam, wrong, (letterIndex(wrong.answer) + 1) % 4);
        QTRY_VERIFY_WITH_TIMEOUT(wrong.answered, 5000);
        QVERIFY(right.answered && wrong.answered);

        exam->assignment->click();
        QTRY_VERIFY_WITH_TIMEOUT(exam->paper->handedIn, 10000);
        QCOMPARE(answerer.questions.size(), 2);
        QCOMPARE(right.status, 0);
        QCOMPARE(wrong.status, 1);

        // Stored result and book.
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral(
                     "select rightCount||'/'||worngCount||'/'||allCount from exam_answer where paperId='km1p1'")),
                 QStringList{QStringLiteral("%1/1/%2").arg(exam->paper->rightCount).arg(exam->paper->allCount)});
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral("select questionId||'/'||examid||'/'||sequence from error_answer")),
                 QStringList{QStringLiteral("%1/km1p1/%2").arg(wrong.id).arg(wrong.seq)});

        // The card shows right, wrong and not answered.
        QVERIFY(waitUntilSettled(*exam));
        auto cardClass = [exam](const ExamQuestion &q) {
            return evaluate(exam->webbutton, QStringLiteral("document.getElementById('%1').className").arg(q.cardId));
        };
        QTRY_VERIFY_WITH_TIMEOUT(cardClass(right).contains(QStringLiteral("button_right")), 5000);
        QVERIFY(cardClass(wrong).contains(QStringLiteral("button_wrong")));
        for (const auto &q : exam->paper->questions) {
            if (q->type != ExamQuestion::Composite && q->status == 2) {
                QVERIFY(cardClass(*q).contains(QStringLiteral("button_no_select")));
                break;
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(exam->webExam, QStringLiteral("document.body.innerHTML"))
                                     .contains(QStringLiteral("试卷得分")), 10000);

        // Closing brings the home page back; the list shows the new counts.
        const QString expected = QStringLiteral("%1/%2").arg(exam->paper->rightCount).arg(exam->paper->wrongCount);
        exam->close();
        QVERIFY(main.isVisible());
        home = homeForm(main);
        QVERIFY(home);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(home->mainWebView, QStringLiteral("typeof zhenti")) == QLatin1String("function"), 10000);
        evaluate(home->mainWebView, QStringLiteral("zhenti()"));
        QTRY_COMPARE_WITH_TIMEOUT(paperCounts(home, countdownPaper), expected, 10000);
    }
};

TESSERA_TEST_MAIN(HandInTest)
#include "tst_handin.moc"
