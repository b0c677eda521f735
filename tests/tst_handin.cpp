#include "testsupport.h"

#include "determine.h"
#include "examrenli.h"
#include "papergrader.h"
#include "resultspage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWebFrame>

namespace {

QString evaluate(QWebView *view, const QString &script)
{
    return view->page()->mainFrame()->evaluateJavaScript(script).toString();
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

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *determine = qobject_cast<Determine *>(modal)) {
            questions << determine->textEdit->toPlainText().trimmed();
            (answerYes ? determine->pbYes : determine->pbNo)->click();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
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
    return QTest::qWaitFor([&window]() {
        return window.paper && window.paper->startTime.isValid() && !window.pagesLoading()
            && evaluate(window.webExam, QStringLiteral("typeof setdanxuan")) == QLatin1String("function")
            && evaluate(window.webbutton, QStringLiteral("typeof showCent")) == QLatin1String("function");
    }, 20000);
}

bool waitUntilSettled(ExamRenLi &window)
{
    return QTest::qWaitFor([&window]() { return !window.pagesLoading(); }, 10000);
}

int storedResults(const QString &paperId)
{
    return TestSupport::FreshDatabase::scalar(
        QStringLiteral("select count(*) from exam_answer where paperId='%1'").arg(paperId));
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

    void countdownHandsInAtZero()
    {
        DialogAnswerer answerer(true);
        ExamRenLi window(0, 0, 1024, 740, 1);
        openOneMinutePaper(window);
        // One question answered, the rest left open.
        window.setAsQuestionJs(window.paper->questions.front()->tname, QStringLiteral("A"));
        window.paper->startTime = QTime::currentTime().addSecs(-60);
        QTRY_VERIFY_WITH_TIMEOUT(window.paper->handedIn, 10000);

        QVERIFY(!window.countdownTimer->isActive());
        QCOMPARE(window.lexamTimeTo->text(),
                 QStringLiteral("剩余时间  ：<font color='#FF0000'>00:00:00</font>"));
        QCOMPARE(answerer.questions.size(), 2);
        QVERIFY(answerer.questions.at(0).startsWith(QStringLiteral("你还存在未答完试题")));
        QVERIFY(answerer.questions.at(0).contains(PaperGrader::unansweredPositions(*window.paper)));
        QVERIFY(!PaperGrader::unansweredPositions(*window.paper).split(QLatin1Char(',')).contains(QStringLiteral("1")));
        QCOMPARE(answerer.questions.at(1), QStringLiteral("你确定要交卷吗？"));
        QCOMPARE(storedResults(countdownPaper), 1);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(window.webExam, QStringLiteral("document.body.innerHTML"))
                                     .contains(QStringLiteral("试卷得分")), 10000);
    }

    void decliningAtZeroLeavesThePaperOpen()
    {
        DialogAnswerer answerer(false);
        ExamRenLi window(0, 0, 1024, 740, 1);
        openOneMinutePaper(window);
        window.paper->startTime = QTime::currentTime().addSecs(-61);
        QTRY_COMPARE_WITH_TIMEOUT(answerer.questions.size(), 1, 10000);
        QTest::qWait(200);
        QVERIFY(!window.countdownTimer->isActive());
        QCOMPARE(window.lexamTimeTo->text(),
                 QStringLiteral("剩余时间  ：<font color='#FF0000'>00:00:00</font>"));
        QVERIFY(!window.paper->handedIn);
        QCOMPARE(storedResults(countdownPaper), 0);
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
        QMetaObject::invokeMethod(&window, "on_assignment_clicked");
        QTRY_COMPARE_WITH_TIMEOUT(answerer.questions.size(), 4, 10000);
        QTest::qWait(200);
        QCOMPARE(window.paper->answerSheet, firstSheet);
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral("select id from exam_answer")),
                 QStringList{firstId});
    }
};

TESSERA_TEST_MAIN(HandInTest)
#include "tst_handin.moc"
