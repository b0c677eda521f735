#include "testsupport.h"

#include "attemptcontroller.h"
#include "bankfile.h"
#include "bankwriter.h"
#include "examrenli.h"
#include "homepages.h"
#include "pageview.h"
#include "soquestion.h"

#include <QApplication>
#include <QTemporaryDir>

using TestSupport::FreshDatabase;
using TestSupport::pageValue;

namespace {

// A bank passed on as a file, every text of it trying to run: each payload
// marks the page (window.hacked) and reaches for the bridge to delete a row
// of another paper's wrong-question book.
const QByteArray hostileCsv(
    "题号,题型,题干,选项A,选项B,选项C,选项D,选项E,答案,解析,分值,章节,分类,难度,所属案例\n"
    "h1,单选,\"<img src=x onerror=\"\"window.hacked=1;myjstest.del_question('km1q002')\"\">敌意题干一\","
    "<script>window.hacked=2;myjstest.del_question('km1q002')</script>甲,"
    "<svg onload=\"\"window.hacked=3\"\">乙</svg>,<iframe src=\"\"javascript:parent.hacked=4\"\"></iframe>丙,丁,,A,"
    "\"<img src=x onerror=\"\"window.hacked=5\"\">解析\",1,章节,,1,\n"
    "h2,判断,\"<body onload=\"\"window.hacked=6\"\">敌意题干二<a href=\"\"javascript:window.hacked=7\"\">链接</a>\","
    ",,,,,对,\"<details open ontoggle=\"\"window.hacked=8\"\">x</details>\",1,章节,,1,\n");

// The book's rows, one text each, for comparing before and after.
QStringList bookRows()
{
    return FreshDatabase::column(QStringLiteral(
        "select questionId||'|'||examid||'|'||sequence from error_answer order by 1"));
}

QString hackedIn(PageView *view)
{
    return pageValue(view, QStringLiteral("typeof window.hacked")).toString();
}

} // namespace

// An imported bank is shown in the exam window, the wrong-question practice
// and the search without any of its scripts running, and the records of
// other papers stay as they were.
class HostileBankTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FreshDatabase> db;
    QTemporaryDir images;
    QString paperId;
    QStringList bookBefore;

private slots:
    void initTestCase()
    {
        db = std::make_unique<FreshDatabase>(TestSupport::sampleBankSql());
        QVERIFY(db->ok());
        QVERIFY(FreshDatabase::exec(QStringLiteral(
            "insert into error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid) "
            "values('km1q002','km1','','','km1p1',2,'')")));
        const ParsedBank bank = BankFile::parse(hostileCsv, QStringLiteral("csv"));
        QCOMPARE(bank.errorCount(), 0);
        ImportRequest request;
        request.newSubjectName = QStringLiteral("导入科目");
        request.paperName = QStringLiteral("敌意试卷");
        request.sourceName = QStringLiteral("hostile.csv");
        request.imageDir = images.path();
        BankWriter writer(TestSupport::database());
        const ImportOutcome outcome = writer.write(bank, request);
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        paperId = outcome.paperId;
        // Both questions in the book, so that the practice shows them.
        QVERIFY(FreshDatabase::exec(QStringLiteral(
            "insert into error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid) "
            "select id,subjectid,chapterId,'',:paper,sortNo,fuleixingid from exam_question where subjectid=:subject")
                                        .replace(QStringLiteral(":paper"), QStringLiteral("'%1'").arg(paperId))
                                        .replace(QStringLiteral(":subject"), QStringLiteral("'%1'").arg(outcome.subjectId))));
        bookBefore = bookRows();
        QCOMPARE(bookBefore.size(), 3);
    }

    void examWindowsRunNothing_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("formal paper") << 0;
        QTest::newRow("wrong-question practice") << 3;
    }

    void examWindowsRunNothing()
    {
        QFETCH(int, status);
        TestSupport::ModalCloser closer;
        ExamRenLi window(0, 0, 1024, 740, 1);
        window.paperId = status == 3 ? HomePages::wrongPracticeId(paperId) : paperId;
        window.examStatus = status;
        window.show();
        QVERIFY(QTest::qWaitFor([&window] { return window.paper && !window.pagesLoading(); }, 15000));
        QCOMPARE(window.paper->questions.size(), size_t(2));
        for (int i = 0; i < 2; ++i) {
            QVERIFY(TestSupport::waitForPage(window.webExam));
            QVERIFY(pageValue(window.webExam, QStringLiteral("document.body.textContent")).toString().contains(
                QStringLiteral("敌意题干")));
            // Explanations shown, as in review.
            pageValue(window.webExam, QStringLiteral("$('[name=jiexi]').show(); 1"));
            QTest::qWait(100);
            QCOMPARE(hackedIn(window.webExam), QStringLiteral("undefined"));
            QCOMPARE(hackedIn(window.webbutton), QStringLiteral("undefined"));
            QMetaObject::invokeMethod(&window, "on_pbUp_clicked");
        }
        window.countdownTimer->stop();
        window.attempts->discard();
        QCOMPARE(bookRows(), bookBefore);
    }

    void searchRunsNothing()
    {
        SoQuestion window;
        window.show();
        window.runSearch(QStringLiteral("敌意题干"));
        QVERIFY(QTest::qWaitFor([&window] { return !window.searching() && window.results(); }, 15000));
        QTRY_COMPARE_WITH_TIMEOUT(window.results()->questions.size(), size_t(2), 10000);
        QVERIFY(TestSupport::waitForPage(window.soWebView));
        QTest::qWait(100);
        QVERIFY(pageValue(window.soWebView, QStringLiteral("document.body.textContent")).toString().contains(
            QStringLiteral("敌意题干二")));
        QCOMPARE(hackedIn(window.soWebView), QStringLiteral("undefined"));
        QCOMPARE(bookRows(), bookBefore);
    }

    // Even a page that did run a script could not reach another paper's rows.
    void bridgeActsOnlyOnShownQuestions()
    {
        TestSupport::ModalCloser closer;
        ExamRenLi window(0, 0, 1024, 740, 1);
        window.paperId = HomePages::wrongPracticeId(paperId);
        window.examStatus = 3;
        window.show();
        QVERIFY(QTest::qWaitFor([&window] { return window.paper && !window.pagesLoading(); }, 15000));
        window.webExam->runScript(QStringLiteral("myjstest.del_question('km1q002')"));
        QTest::qWait(300);
        QCOMPARE(bookRows(), bookBefore);
        window.attempts->discard();
    }
};

TESSERA_TEST_MAIN(HostileBankTest)
#include "tst_hostilebank.moc"
