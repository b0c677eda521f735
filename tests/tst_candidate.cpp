// What the candidate meets around a simulated test: deleting an imported
// paper, the ways back from the login and candidate screens, the keyboard
// (Enter, Tab, a visible focus), Qt's own dialogs in Chinese and the
// command line answered before a display is needed.
#include "testsupport.h"

#include "bankfile.h"
#include "bookfile.h"
#include "bankquestion.h"
#include "bankwriter.h"
#include "commandline.h"
#include "dbconnection.h"
#include "exampagebuilder.h"
#include "exampaper.h"
#include "examrenli.h"
#include "focusring.h"
#include "examquestion.h"
#include "fwelcome.h"
#include "historystore.h"
#include "homepages.h"
#include "importdialog.h"
#include "importfolder.h"
#include "importpreview.h"
#include "infoform.h"
#include "loginform.h"
#include "mainwindow.h"
#include "pageprinter.h"
#include "pageview.h"
#include "printdocument.h"
#include "printquestion.h"
#include "progresspages.h"
#include "qttranslations.h"
#include "soquestion.h"
#include "reviewstore.h"
#include "statisticsfigures.h"
#include "sqltransaction.h"
#include "subjectscope.h"
#include "subjectstore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>

using TestSupport::FreshDatabase;

namespace {

// The one visible top-level window of a kind, or null.
template <class T>
T *visibleWindow()
{
    T *found = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *candidate = qobject_cast<T *>(widget);
        if (candidate && candidate->isVisible()) {
            if (found)
                return nullptr;
            found = candidate;
        }
    }
    return found;
}

// Imports a GIFT text as a paper of km1 named name.
QString importPaper(const QString &name, const QByteArray &gift)
{
    QTemporaryDir images;
    ImportRequest request;
    request.subjectId = QStringLiteral("km1");
    request.paperName = name;
    request.sourceName = QStringLiteral("mine.gift");
    request.imageDir = images.path();
    const ImportOutcome imported = BankWriter(DbConnection::instance(QString(), true)->database())
                                       .write(BankFile::parse(gift, QStringLiteral("gift")), request);
    return imported.ok ? imported.paperId : QString();
}

// The words of Latin letters in a text (a mnemonic's "(&O)" is no word).
QStringList englishWords(const QString &text)
{
    QStringList words;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("[A-Za-z]{2,}")).globalMatch(text);
    while (it.hasNext())
        words.append(it.next().captured());
    return words;
}

// "text: word" for every button of a dialog whose text has an English word.
QStringList englishButtons(QWidget *dialog)
{
    QStringList found;
    for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
        if (!englishWords(button->text()).isEmpty())
            found.append(button->text());
    }
    return found;
}

// Every chart place of the statistics page holds its plot.
const QString chartsDrawn = QStringLiteral(
    "Array.prototype.every.call(document.querySelectorAll('div.chart'), function(c){return !!$(c).data('plot');})");

// The home form's one slot the record page calls, counted.
class HistoryBridge : public QObject
{
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void openHistoryAttempt(const QString &id) { opened << id; }
    void zhentiJS() {}
};

} // namespace

class CandidateTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(!QtTranslations::install().isEmpty());
        FocusRing::followApplicationFocus();
    }

    void cleanup()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<ExamRenLi *>(widget) || qobject_cast<LoginForm *>(widget) || qobject_cast<InfoForm *>(widget))
                widget->deleteLater();
        }
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // 导入记录: the 删除 link only deletes (never opens the paper), names the
    // paper and its questions, and the list stays in view without it; a click
    // elsewhere on the row still opens the paper.
    void importedPaperRowClick_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("deletes");
        QTest::newRow("删除 link") << QStringLiteral("a.remove_link") << true;
        QTest::newRow("row's count") << QStringLiteral("span.sl") << false;
    }

    void importedPaperRowClick()
    {
        QFETCH(QString, target);
        QFETCH(bool, deletes);
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        QVERIFY(SubjectStore::choose(QStringLiteral("km1")));
        const QString paperId = importPaper(QStringLiteral("导入的练习"), "Q1 {T}\n\nQ2 {F}\n\nQ3 {=甲 ~乙}\n");
        QVERIFY(!paperId.isEmpty());

        Fwelcome form(nullptr);
        QSignalSpy opened(&form, &Fwelcome::showExam);
        form.homeAction(QStringLiteral("imported"));
        QTRY_VERIFY(TestSupport::pageValue(form.mainWebView, QStringLiteral("document.body.innerHTML"))
                        .toString()
                        .contains(QStringLiteral("导入的练习")));
        QString asked;
        if (deletes) {
            TestSupport::answerNextModal([&asked](QWidget *modal) {
                if (auto *box = qobject_cast<QMessageBox *>(modal))
                    asked = box->text();
                TestSupport::clickMessageBoxButton(modal, QStringLiteral("删除"));
            });
        }
        TestSupport::pageValue(form.mainWebView,
                               QStringLiteral("document.querySelector('%1').click(); true").arg(target));
        if (!deletes) {
            QTRY_COMPARE(opened.count(), 1);
            return;
        }
        QTRY_COMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from import_paper")), 0);
        QVERIFY2(asked.contains(QStringLiteral("“导入的练习”")) && asked.contains(QStringLiteral("3道题")), qPrintable(asked));
        QTRY_VERIFY(!TestSupport::pageValue(form.mainWebView, QStringLiteral("document.body.innerHTML"))
                         .toString()
                         .contains(QStringLiteral("导入的练习")));
        QVERIFY(TestSupport::pageValue(form.mainWebView, QStringLiteral("document.body.innerHTML"))
                    .toString()
                    .contains(QStringLiteral("从文件导入一套试卷")));
        QTest::qWait(100);
        QCOMPARE(opened.count(), 0);
    }

    // 返回 and Escape lead back from the login and the candidate screen: the
    // login's to the main window, the candidate screen's Escape to the login
    // and its 返回首页 to the main window.
    void waysBack_data()
    {
        QTest::addColumn<bool>("fromInfo");
        QTest::addColumn<bool>("byEscape");
        QTest::addColumn<bool>("toLogin");
        QTest::newRow("login 返回") << false << false << false;
        QTest::newRow("login Escape") << false << true << false;
        QTest::newRow("candidate 返回首页") << true << false << false;
        QTest::newRow("candidate Escape") << true << true << true;
    }

    void waysBack()
    {
        QFETCH(bool, fromInfo);
        QFETCH(bool, byEscape);
        QFETCH(bool, toLogin);
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        MainWindow window;
        window.show();
        window.openExam(QStringLiteral("km1p1"), 0);
        QWidget *screen = visibleWindow<LoginForm>();
        QVERIFY(screen);
        QVERIFY(!window.isVisible());
        if (fromInfo) {
            visibleWindow<LoginForm>()->pushButton->click();
            screen = visibleWindow<InfoForm>();
            QVERIFY(screen);
        }
        QAbstractButton *back = screen->findChild<QAbstractButton *>(QStringLiteral("bBack"));
        QVERIFY(back && back->isVisible() && !back->text().isEmpty());
        if (byEscape)
            QTest::keyClick(screen, Qt::Key_Escape);
        else
            back->click();
        QVERIFY(!screen->isVisible());
        if (toLogin) {
            QVERIFY(visibleWindow<LoginForm>());
            QVERIFY(!window.isVisible());
        } else {
            QVERIFY(window.isVisible());
            QVERIFY(!visibleWindow<LoginForm>() && !visibleWindow<InfoForm>());
        }
    }

    // Login, candidate screen and the exam's start by keys alone: Enter in the
    // number field logs in, the candidate screen names the paper, Tab shows
    // where it is, and Enter starts the exam.
    void keysOnlyIntoTheExam()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        TestSupport::ModalCloser closer; // what the exam window asks is of no interest here
        MainWindow window;
        window.show();
        window.openExam(QStringLiteral("km1p1"), 0);
        LoginForm *login = visibleWindow<LoginForm>();
        QVERIFY(login);
        login->activateWindow();
        QApplication::setActiveWindow(login);
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() == login->lineEdit, 15000);
        QVERIFY(FocusRing::current() && FocusRing::current()->target() == login->lineEdit);

        // Tab reaches the login button and the ring goes round it.
        QTest::keyClick(login->lineEdit, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), login->pushButton);
        FocusRing *ring = FocusRing::current();
        QVERIFY(ring && ring->target() == login->pushButton);
        QVERIFY(ring->geometry().contains(login->pushButton->geometry()));
        QTest::keyClick(login->pushButton, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), login->lineEdit);

        QTest::keyClick(login->lineEdit, Qt::Key_End);
        QTest::keyClicks(login->lineEdit, QStringLiteral("7"));
        QTest::keyClick(login->lineEdit, Qt::Key_Return);
        InfoForm *info = visibleWindow<InfoForm>();
        QVERIFY(info);
        QCOMPARE(info->lNumber->text(), QStringLiteral("10017"));
        QCOMPARE(info->lPaper->text(), QStringLiteral("2023年计算机基础知识真题"));
        // Where the keyboard is when the screen comes up: on 开始考试.
        QCOMPARE(info->focusWidget(), info->pushButton_3);
        QTest::keyClick(info->focusWidget(), Qt::Key_Return);
        ExamRenLi *exam = visibleWindow<ExamRenLi>();
        QVERIFY(exam);
        QCOMPARE(exam->paperId, QStringLiteral("km1p1"));
        exam->close();
    }

    // Enter presses the button the keyboard is on: on 重新登录 it goes back to
    // the login rather than starting the exam.
    void enterPressesTheFocusedButton()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        MainWindow window;
        window.show();
        window.openExam(QStringLiteral("km1p1"), 0);
        visibleWindow<LoginForm>()->pushButton->click();
        InfoForm *info = visibleWindow<InfoForm>();
        QVERIFY(info);
        QSignalSpy started(info, &InfoForm::showExam);
        info->pushButton_2->setFocus();
        QTest::keyClick(info->pushButton_2, Qt::Key_Return);
        QCOMPARE(started.count(), 0);
        QVERIFY(visibleWindow<LoginForm>());
    }

    // In the exam, Tab lands on an option button that shows it has the focus,
    // and changes no answer.
    void tabInTheExamChangesNoAnswer()
    {
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        TestSupport::ModalCloser closer;
        ExamRenLi exam(0, 0, 1280, 800, 1);
        exam.paperId = QStringLiteral("km1p1");
        exam.examStatus = 0;
        exam.show();
        PageView *page = exam.webExam;
        QTRY_VERIFY(TestSupport::pageValue(page, QStringLiteral("document.querySelectorAll('input.button_01').length"))
                        .toInt() > 0);
        QApplication::setActiveWindow(&exam);
        page->setFocus();
        const QString answers = QStringLiteral(
            "Array.prototype.map.call(document.querySelectorAll('input[type=hidden]'), function (e) { return e.value; }).join(',')");
        const QString before = TestSupport::pageValue(page, answers).toString();
        TestSupport::pageValue(page, QStringLiteral("document.querySelector('input.button_01').focus(); true"));
        QTest::keyClick(page->inputWidget(), Qt::Key_Tab);
        QTRY_COMPARE(TestSupport::pageValue(page, QStringLiteral("document.activeElement.tagName")).toString(),
                     QStringLiteral("INPUT"));
        if (TestSupport::pageValue(page, QStringLiteral("document.hasFocus()")).toBool()) {
            const QString outline = TestSupport::pageValue(page, QStringLiteral(
                "var s = getComputedStyle(document.activeElement); s.outlineStyle + ' ' + s.outlineWidth")).toString();
            QVERIFY2(!outline.startsWith(QLatin1String("none")) && !outline.endsWith(QLatin1String(" 0px")),
                     qPrintable(outline));
        } else {
            // Offscreen, Qt WebEngine gives its page no system focus, so :focus
            // matches nothing there: the page's own rule is checked instead.
            QVERIFY(TestSupport::pageValue(page, QStringLiteral(
                "Array.prototype.some.call(document.styleSheets, function (sheet) { try {"
                " return Array.prototype.some.call(sheet.cssRules, function (rule) {"
                " return /input[^,{]*:focus/.test(rule.selectorText || '') && /outline/.test(rule.cssText); });"
                " } catch (e) { return false; } })")).toBool());
        }
        QCOMPARE(TestSupport::pageValue(page, answers).toString(), before);
    }

    // Closing a window that took the main window's place brings the main
    // window back exactly where and as large as it was.
    void mainWindowComesBackInPlace_data()
    {
        QTest::addColumn<QString>("child");
        QTest::newRow("exam") << "exam";
        QTest::newRow("search") << "search";
        QTest::newRow("simulated test left at the login") << "login";
    }

    void mainWindowComesBackInPlace()
    {
        QFETCH(QString, child);
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        TestSupport::ModalCloser closer;
        MainWindow window;
        window.show();
        const QRect place(211, 137, 1000, 700);
        window.setGeometry(place);
        QTRY_COMPARE(window.geometry(), place);
        if (child == QLatin1String("exam")) {
            window.openExam(QStringLiteral("km1f1"), 5);
            ExamRenLi *exam = visibleWindow<ExamRenLi>();
            QVERIFY(exam);
            QVERIFY(!window.isVisible());
            exam->close();
        } else if (child == QLatin1String("search")) {
            window.openSo();
            SoQuestion *search = visibleWindow<SoQuestion>();
            QVERIFY(search);
            QVERIFY(!window.isVisible());
            search->close();
        } else {
            window.openExam(QStringLiteral("km1p1"), 0);
            QVERIFY(visibleWindow<LoginForm>());
            QTest::keyClick(visibleWindow<LoginForm>(), Qt::Key_Escape);
        }
        QVERIFY(window.isVisible());
        QCOMPARE(window.geometry(), place);
        QTest::qWait(20);
        QCOMPARE(window.geometry(), place);
    }

    // Qt's own dialogs speak Chinese: no English word on any of their buttons.
    void standardDialogsInChinese_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("message box") << 0;
        QTest::newRow("file dialog") << 1;
        QTest::newRow("input dialog") << 2;
        QTest::newRow("progress dialog") << 3;
        QTest::newRow("print dialog") << 4;
    }

    void standardDialogsInChinese()
    {
        QFETCH(int, kind);
        std::unique_ptr<QPrinter> printer;
        std::unique_ptr<QWidget> dialog;
        switch (kind) {
        case 0:
            dialog = std::make_unique<QMessageBox>(
                QMessageBox::Question, QStringLiteral("标题"), QStringLiteral("文字"),
                QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No | QMessageBox::Save
                    | QMessageBox::Discard | QMessageBox::Close | QMessageBox::Abort | QMessageBox::Retry
                    | QMessageBox::Ignore | QMessageBox::Apply | QMessageBox::Reset | QMessageBox::Open);
            break;
        case 1: {
            auto file = std::make_unique<QFileDialog>();
            file->setOption(QFileDialog::DontUseNativeDialog);
            file->setAcceptMode(QFileDialog::AcceptSave);
            dialog = std::move(file);
            break;
        }
        case 2:
            dialog = std::make_unique<QInputDialog>();
            break;
        case 3: {
            auto progress = std::make_unique<QProgressDialog>();
            progress->setLabelText(QStringLiteral("正在导入"));
            dialog = std::move(progress);
            break;
        }
        default:
            printer = std::make_unique<QPrinter>();
            dialog = std::make_unique<QPrintDialog>(printer.get());
            break;
        }
        dialog->show();
        QApplication::processEvents();
        const QStringList english = englishButtons(dialog.get());
        QVERIFY2(english.isEmpty(), qPrintable(english.join(QStringLiteral(" | "))));
        QVERIFY(!dialog->findChildren<QAbstractButton *>().isEmpty());
        dialog->hide();
    }

    // 今日复习 empties as the day's list is answered: a question reviewed today
    // is not listed again that day, with or without an exam date ahead.
    void todaysReviewEmpties_data()
    {
        QTest::addColumn<int>("examInDays");
        QTest::newRow("no exam date") << 0;
        QTest::newRow("exam in ten days") << 10;
        QTest::newRow("exam tomorrow") << 1;
    }

    void todaysReviewEmpties()
    {
        QFETCH(int, examInDays);
        FreshDatabase db(TestSupport::sampleBankSql() + QStringLiteral(
            "insert into error_answer(questionId,subjectId,examid,fuleixingid) values('km1q001','km1','km1p1','km1f1');\n"
            "insert into error_answer(questionId,subjectId,examid,fuleixingid) values('km1q002','km1','km1p1','km1f1');\n"
            "insert into review_card values('km1q001',2.0,5.0,'2026-12-05','2026-12-08',1,1);\n"
            "insert into review_card values('km1q002',2.0,5.0,'2026-12-06','2026-12-08',1,1);\n"));
        QVERIFY(db.ok());
        QVERIFY(SubjectStore::choose(QStringLiteral("km1")));
        const QDate today(2026, 12, 8);
        const QDate exam = examInDays ? today.addDays(examInDays) : QDate();
        QSqlDatabase database = TestSupport::database();
        const QStringList due = ReviewStore::todaysReviews(database, today, exam, SubjectScope::current());
        QCOMPARE(due.size(), 2);

        // Both answered right, as the hand-in records a review.
        const MemoryModel model;
        for (const QString &id : due) {
            SqlTransaction group(database);
            std::optional<ReviewCard> card = ReviewStore::card(group, id);
            QVERIFY(card);
            const int elapsed = int(card->lastReview.daysTo(today));
            card->review(model, ReviewGrade::Good, today);
            QVERIFY(ReviewStore::saveReview(group, *card, ReviewGrade::Good, elapsed));
            QVERIFY(group.finish());
            QVERIFY(!ReviewStore::todaysReviews(database, today, exam, SubjectScope::current()).contains(id));
        }
        QVERIFY(ReviewStore::todaysReviews(database, today, exam, SubjectScope::current()).isEmpty());
    }

    // Empty study lists say so and what fills them, and offer no button that does nothing.
    void emptyStudyLists_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("says");
        QTest::newRow("顽固错题") << "stubborn" << "暂无顽固错题";
        QTest::newRow("已掌握") << "mastered" << "暂无已掌握的题";
    }

    void emptyStudyLists()
    {
        QFETCH(QString, which);
        QFETCH(QString, says);
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        QVERIFY(SubjectStore::choose(QStringLiteral("km1")));
        const QString page = which == QLatin1String("stubborn") ? HomePages::stubbornList() : HomePages::masteredList();
        QVERIFY(page.contains(says));
        QVERIFY(page.contains(QStringLiteral("会")));   // and what fills it
        QVERIFY(!page.contains(QStringLiteral("练习这些题")));
        QVERIFY(!page.contains(QStringLiteral("practiseList")));
    }

    // 成绩记录 in the program's look: no default blue link, a styled header,
    // and the row opens its attempt once, also from its 查看 link.
    void historyPageLooksLikeTheProgram()
    {
        HistoryRecord record;
        record.id = 7;
        record.paperName = QStringLiteral("2023年真题");
        record.handedInAt = QDateTime(QDate(2026, 12, 1), QTime(9, 30));
        record.score = 30;
        record.totalCent = 40;
        record.passCent = 24;
        PageView view;
        HistoryBridge bridge;
        view.publish(QStringLiteral("myjstest"), &bridge);
        QVERIFY(TestSupport::loadPage(&view, ProgressPages::historyPage({record})));
        const QString link = TestSupport::pageValue(&view, QStringLiteral(
            "getComputedStyle(document.querySelector('table.history a')).color")).toString();
        QVERIFY2(!link.isEmpty() && link != QLatin1String("rgb(0, 0, 238)"), qPrintable(link));
        const QString header = TestSupport::pageValue(&view, QStringLiteral(
            "var s = getComputedStyle(document.querySelector('table.history th')); s.backgroundColor + ' ' + s.color")).toString();
        QVERIFY2(header.contains(QLatin1String("rgb(255, 255, 255)")), qPrintable(header));
        TestSupport::pageValue(&view, QStringLiteral("document.querySelector('table.history a').click(); true"));
        QTRY_COMPARE(bridge.opened, QStringList{QStringLiteral("7")});
        QTest::qWait(50);
        QCOMPARE(bridge.opened.size(), 1);
    }

    // 学习统计 with one attempt: every chart has labels on its axes, counts
    // tick in whole numbers, question types named as elsewhere.
    void statisticsOfOneAttempt()
    {
        StatisticsFigures figures;
        figures.handIns = 1;
        figures.daysPractised = 1;
        figures.scores = {{QStringLiteral("p1"), QStringLiteral("真题"), {75}}};
        figures.byType = {{BankQuestion::typeTitle(5), 1, 2}, {BankQuestion::typeTitle(1), 3, 4}};
        figures.byChapter = {{QStringLiteral("Chapter One: Computer Basics and Their Long Names"), 1, 3}};
        figures.times = {{QDateTime(QDate(2026, 12, 1), QTime(10, 0)), QStringLiteral("真题"), 1500, 3600}};
        figures.book = {{QDateTime(QDate(2026, 12, 1), QTime(10, 0)), 4}};
        PageView view;
        view.resize(1000, 800);
        QVERIFY(TestSupport::loadPage(&view, ProgressPages::statisticsPage(figures)));
        QTRY_VERIFY(TestSupport::pageValue(&view, chartsDrawn).toBool());
        const QString ticks = QStringLiteral(
            "(function(){var a=$('#%1').data('plot').get%2Axes()[0];"
            "return a.ticks.map(function(t){return t.label;}).join('|');})()");
        for (const char *chart : {"scores", "times", "book"})
            QVERIFY2(!TestSupport::pageValue(&view, ticks.arg(QLatin1String(chart), QStringLiteral("X"))).toString().isEmpty(),
                     chart);
        QVERIFY(TestSupport::pageValue(&view, ticks.arg(QStringLiteral("times"), QStringLiteral("X")))
                    .toString()
                    .startsWith(QStringLiteral("12-01|")));
        QStringList book = TestSupport::pageValue(&view, ticks.arg(QStringLiteral("book"), QStringLiteral("Y")))
                                     .toString()
                                     .split(QLatin1Char('|'));
        QCOMPARE(book.removeDuplicates(), 0);
        for (const QString &label : book)
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d+$")).match(label).hasMatch(), qPrintable(label));
        // The longest chapter label fits left of the chart.
        const int room = TestSupport::pageValue(&view, QStringLiteral("$('#chapters').data('plot').getYAxes()[0].labelWidth")).toInt();
        const int needed = TestSupport::pageValue(&view, QStringLiteral(
            "labelRoom('chapters',['Chapter One: Computer Basics and Their Long Names 1/3'])")).toInt();
        QVERIFY(room >= needed - 1);
        QVERIFY(TestSupport::pageValue(&view, QStringLiteral("document.body.innerHTML")).toString().contains(QStringLiteral("简答题")));
        QCOMPARE(BankQuestion::typeTitle(5), QStringLiteral("简答题"));
    }

    // The time axes of one or two attempts carry their dates as drawn text
    // under the chart, not only in the chart's figures.
    void chartDatesDrawn_data()
    {
        QTest::addColumn<int>("attempts");
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("one attempt") << 1 << QStringList{QStringLiteral("12-01")};
        QTest::newRow("two attempts") << 2 << QStringList{QStringLiteral("12-01"), QStringLiteral("12-03")};
    }

    void chartDatesDrawn()
    {
        QFETCH(int, attempts);
        QFETCH(QStringList, dates);
        StatisticsFigures figures;
        figures.handIns = attempts;
        figures.daysPractised = attempts;
        figures.scores = {{QStringLiteral("p1"), QStringLiteral("真题"), {}}};
        for (int i = 0; i < attempts; ++i) {
            const QDateTime at(QDate(2026, 12, 1 + 2 * i), QTime(10, 0));
            figures.scores[0].percents.append(60 + 10 * i);
            figures.times.append({at, QStringLiteral("真题"), 1500 + 60 * i, 3600});
            figures.book.append({at, 4 + i});
        }
        PageView view;
        TestSupport::ScriptErrorLog log(&view);
        view.resize(1000, 800);
        QVERIFY(TestSupport::loadPage(&view, ProgressPages::statisticsPage(figures)));
        // The charts are drawn once jQuery calls its ready handlers, a moment after the page is ready.
        QTRY_VERIFY(TestSupport::pageValue(&view, chartsDrawn).toBool());
        QVERIFY2(log.scriptErrors.isEmpty(), qPrintable(log.scriptErrors.join(QLatin1Char('\n'))));
        const QString drawn = QStringLiteral(
            "Array.prototype.map.call(document.querySelectorAll('#%1 .flot-x-axis text'),"
            " function(t){return t.textContent.trim();}).filter(function(t){return t.length;}).join('|')");
        for (const char *chart : {"times", "book"}) {
            const QStringList labels = TestSupport::pageValue(&view, drawn.arg(QLatin1String(chart))).toString().split(QLatin1Char('|'));
            QVERIFY2(labels == dates, qPrintable(QLatin1String(chart) + QLatin1Char(' ') + labels.join(QLatin1Char(','))));
        }
        QStringList tries;
        for (int i = 1; i <= attempts; ++i)
            tries << QStringLiteral("第%1次").arg(i);
        QCOMPARE(TestSupport::pageValue(&view, drawn.arg(QStringLiteral("scores"))).toString().split(QLatin1Char('|')), tries);
    }

    // An imported file names its paper by its stem, format suffixes off.
    void importedPaperName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("aiken text") << "/tmp/questions.aiken.txt" << "questions";
        QTest::newRow("aiken") << "/tmp/questions.aiken" << "questions";
        QTest::newRow("gift") << "/home/me/第三章.gift" << "第三章";
        QTest::newRow("dots in the name stay") << "/tmp/2023.v2.gift" << "2023.v2";
        QTest::newRow("upper-case suffix") << "/tmp/Bank.XLSX" << "Bank";
        QTest::newRow("Word book") << "/tmp/第二章.docx" << "第二章";
        QTest::newRow("no suffix") << "/tmp/questions" << "questions";
        QTest::newRow("hidden-looking name") << "/tmp/.gift" << ".gift";
    }

    void importedPaperName()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(ImportPreview::paperNameOf(path), name);
    }

    // In review an essay shows its reference answer (never the self-assessment
    // code the bank stores as its answer) and, apart, what the candidate typed
    // and chose; the typed text stays text.
    void essayInReview_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("analysis");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("handedIn");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("bank's code, reference in the explanation")
            << QStringLiteral("A") << QStringLiteral("参考要点：五大部件") << QStringList{QStringLiteral("运算器")}
            << QStringLiteral("A") << true
            << QStringList{QStringLiteral("参考答案：</b>参考要点：五大部件"), QStringLiteral("你的作答："),
                           QStringLiteral(">运算器</p>"), QStringLiteral("自评：</b>我会做")}
            << QStringList{QStringLiteral("答案：A"), QStringLiteral("解析：")};
        QTest::newRow("imported reference keeps one label")
            << QStringLiteral("A") << QStringLiteral("参考答案：要点甲") << QStringList()
            << QStringLiteral("B") << true
            << QStringList{QStringLiteral("参考答案：</b>要点甲"), QStringLiteral("（未作答）"),
                           QStringLiteral("自评：</b>我不会")}
            << QStringList{QStringLiteral("参考答案：参考答案"), QStringLiteral("答案：A")};
        QTest::newRow("reference text in the answer field")
            << QStringLiteral("先断电后施救") << QStringLiteral("触电急救的顺序") << QStringList{QStringLiteral("先断电")}
            << QString() << true
            << QStringList{QStringLiteral("参考答案：</b>先断电后施救"), QStringLiteral("解析：触电急救的顺序"),
                           QStringLiteral("自评：</b>未自评")}
            << QStringList();
        QTest::newRow("typed markup stays text, lines kept")
            << QStringLiteral("A") << QStringLiteral("要点") << QStringList{QStringLiteral("<b>甲</b>\n乙"), QStringLiteral("  ")}
            << QStringLiteral("A") << true
            << QStringList{QStringLiteral("&lt;b&gt;甲&lt;/b&gt;<br/>乙")}
            << QStringList{QStringLiteral("<b>甲</b>"), QStringLiteral("（未作答）")};
        QTest::newRow("no reference given")
            << QStringLiteral("A") << QString() << QStringList() << QString() << true
            << QStringList{QStringLiteral("参考答案：</b>（题库未给出）")} << QStringList{QStringLiteral("答案：A")};
        QTest::newRow("before the hand-in nothing of the candidate's is repeated")
            << QStringLiteral("A") << QStringLiteral("要点") << QStringList{QStringLiteral("运算器")}
            << QStringLiteral("A") << false
            << QStringList{QStringLiteral("参考答案：</b>要点")}
            << QStringList{QStringLiteral("你的作答"), QStringLiteral(">运算器</p>")};
    }

    void essayInReview()
    {
        QFETCH(QString, answer);
        QFETCH(QString, analysis);
        QFETCH(QStringList, typed);
        QFETCH(QString, chosen);
        QFETCH(bool, handedIn);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, absent);
        auto essay = std::make_unique<ExamQuestion>();
        essay->id = QStringLiteral("e1");
        essay->type = ExamQuestion::Essay;
        essay->seq = essay->number = 1;
        essay->optionLength = 1;
        essay->title = QStringLiteral("简述触电急救。");
        essay->answer = answer;
        essay->analysis = analysis;
        essay->render(ExamQuestion::FormalPaper, QDir::tempPath() + QLatin1Char('/'), QString());
        essay->essayTexts = typed;
        essay->userAnswer = chosen;
        ExamPaper paper;
        paper.addQuestion(std::move(essay));
        paper.handedIn = handedIn;
        const QString page = ExamPageBuilder(ExamQuestion::FormalPaper, QDir::tempPath() + QLatin1Char('/'))
                                 .questionPage(paper, 0, -1);
        for (const QString &text : shown)
            QVERIFY2(page.contains(text), qPrintable(text));
        for (const QString &text : absent)
            QVERIFY2(!page.contains(text), qPrintable(text));
        // The printed key says the same as the review.
        const QString printed = PrintQuestion::answer(*paper.questions.front(), QDir::tempPath() + QLatin1Char('/'));
        QVERIFY(printed.contains(QStringLiteral("参考答案：</b>")));
        QVERIFY(!printed.contains(QStringLiteral("答案：</b>A")));
    }

    // After 导入 a message names the paper, its questions by type, the
    // subject and where to find it, and offers to open the paper's login as
    // the list would; a paper imported again says what changed.
    void importMessage_data()
    {
        QTest::addColumn<bool>("importedBefore");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("new paper, opened") << false << true
            << QStringList{QStringLiteral("已导入试卷“我的练习”，共 3 道题："), QStringLiteral("判断 2"),
                           QStringLiteral("单选 1"), QStringLiteral("科目：计算机基础知识"), QStringLiteral("“导入记录”")};
        QTest::newRow("imported again, closed") << true << false
            << QStringList{QStringLiteral("共 3 道题"), QStringLiteral("以前导入过，本次新增 1，修改 0，未变 2，删除 1"),
                           QStringLiteral("科目：计算机基础知识")};
    }

    void importMessage()
    {
        QFETCH(bool, importedBefore);
        QFETCH(bool, opens);
        QFETCH(QStringList, said);
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        QVERIFY(SubjectStore::choose(QStringLiteral("km1")));
        const QString judgements = QStringLiteral("一、判断题\n1．电气设备着火可用水扑救。（×）\n2．安全帽应系好下颏带。（√）\n");
        if (importedBefore) {
            QTemporaryDir images;
            ImportRequest request;
            request.subjectId = QStringLiteral("km1");
            request.paperName = QStringLiteral("我的练习");
            request.sourceName = QStringLiteral("旧的.txt");
            request.imageDir = images.path();
            const ParsedBank before = BookFile::parseText(judgements + QStringLiteral("3．灭火器应定期检查。（√）\n"));
            QVERIFY(BankWriter(TestSupport::database()).write(before, request).ok);
        }
        Fwelcome form(nullptr);
        QSignalSpy opened(&form, &Fwelcome::showExam);
        QString message;
        bool imported = false;
        TestSupport::answerNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<ImportDialog *>(modal);
            if (!dialog) {
                modal->close();
                return;
            }
            dialog->sourceTabs->setCurrentIndex(1);
            dialog->pasteEdit->setPlainText(judgements + QStringLiteral("二、单项选择题\n1．下列属于输出设备的是（ ）。\n"
                                                                       "A．键盘\nB．打印机\nC．鼠标\nD．扫描仪\n答案：B\n"));
            dialog->recognisePaste();
            dialog->paperEdit->setText(QStringLiteral("我的练习"));
            TestSupport::answerNextModal([&](QWidget *box) {
                if (auto *messageBox = qobject_cast<QMessageBox *>(box))
                    message = messageBox->text();
                imported = TestSupport::clickMessageBoxButton(box, opens ? QStringLiteral("打开这套试卷")
                                                                         : QStringLiteral("关闭"));
            }, 30000);
            if (dialog->importButton->isEnabled())
                dialog->importButton->click();
            else
                dialog->reject();
        }, 30000);
        form.homeAction(QStringLiteral("importBank"));
        QVERIFY2(imported, qPrintable(message));
        for (const QString &text : said)
            QVERIFY2(message.contains(text), qPrintable(message));
        const QString paperId = FreshDatabase::column(QStringLiteral("select paperId from import_paper")).value(0);
        QVERIFY(!paperId.isEmpty());
        QCOMPARE(opened.count(), opens ? 1 : 0);
        if (opens)
            QCOMPARE(opened.first().first().toString(), paperId);
    }

    // The import's file dialog opens in the documents folder, then in the
    // folder of the file chosen last while it is there.
    void importFolder_data()
    {
        QTest::addColumn<QString>("remembered"); // "docs", "other", "gone" or ""
        QTest::addColumn<QString>("expected");
        QTest::newRow("first time: documents") << QString() << QStringLiteral("docs");
        QTest::newRow("the folder used last") << QStringLiteral("other") << QStringLiteral("other");
        QTest::newRow("a folder since removed") << QStringLiteral("gone") << QStringLiteral("docs");
    }

    void importFolder()
    {
        QFETCH(QString, remembered);
        QFETCH(QString, expected);
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        QTemporaryDir home;
        const QDir root(home.path());
        for (const char *folder : {"config", "docs", "other"})
            QVERIFY(root.mkpath(QLatin1String(folder)));
        QFile dirs(root.filePath(QStringLiteral("config/user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOCUMENTS_DIR=\"" + root.filePath(QStringLiteral("docs")).toUtf8() + "\"\n");
        dirs.close();
        const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
        const auto restore = qScopeGuard([&configHome] {
            if (configHome.isEmpty())
                qunsetenv("XDG_CONFIG_HOME");
            else
                qputenv("XDG_CONFIG_HOME", configHome);
        });
        if (!remembered.isEmpty())
            QVERIFY(ImportFolder::remember(TestSupport::database(), root.filePath(remembered + QStringLiteral("/a.gift"))));
        QCOMPARE(ImportFolder::start(TestSupport::database()), root.filePath(expected));

        // The dialog opens there, and a file chosen makes its folder the next start.
        QFile chosen(root.filePath(QStringLiteral("other/b.gift")));
        QVERIFY(chosen.open(QIODevice::WriteOnly));
        chosen.write("Q {T}\n");
        chosen.close();
        ImportDialog dialog(QString(), TestSupport::database(), root.filePath(QStringLiteral("img")));
        QString openedIn;
        TestSupport::answerNextModal([&](QWidget *modal) {
            auto *files = qobject_cast<QFileDialog *>(modal);
            if (!files) {
                modal->close();
                return;
            }
            openedIn = files->directory().absolutePath();
            // The name typed, as a person would: selecting a file of the
            // folder shown depends on the folder's listing having come in.
            files->selectFile(chosen.fileName());
            if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(chosen.fileName());
            static_cast<QDialog *>(files)->accept();
            // A dialog that took nothing is closed, so that the test fails instead of waiting.
            if (files->isVisible())
                files->reject();
        }, 30000); // a file dialog may take long to come up on a busy machine
        dialog.chooseButton->click();
        QCOMPARE(openedIn, root.filePath(expected));
        QCOMPARE(dialog.paperEdit->text(), QStringLiteral("b"));
        QCOMPARE(ImportFolder::start(TestSupport::database()), root.filePath(QStringLiteral("other")));
    }

    // Fill-in answers print as a person writes them.
    void printedAnswerText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("printed");
        QTest::newRow("one blank, two forms") << 4 << QStringLiteral("32¦thirty-two") << QStringLiteral("32 或 thirty-two");
        QTest::newRow("two blanks") << 4 << QStringLiteral("控制器|输出设备¦输出") << QStringLiteral("(1) 控制器 (2) 输出设备 或 输出");
        QTest::newRow("escaped bar stays in its blank") << 4 << QStringLiteral("a\\|b|c") << QStringLiteral("(1) a|b (2) c");
        QTest::newRow("choice letters") << 2 << QStringLiteral("AC") << QStringLiteral("AC");
    }

    void printedAnswerText()
    {
        QFETCH(int, type);
        QFETCH(QString, answer);
        ExamQuestion question;
        question.type = type;
        question.answer = answer;
        QTEST(PrintQuestion::answerText(question), "printed");
    }

    // A printed paper is laid out for paper: no input boxes, buttons or
    // self-assessment; options as "A. …"; answers where the candidate chose;
    // the PDF holds the paper's name and its text.
    void printedPaper_data()
    {
        QTest::addColumn<int>("answers");
        QTest::newRow("questions only") << int(PrintDocument::Answers::None);
        QTest::newRow("answers after each") << int(PrintDocument::Answers::AfterEach);
        QTest::newRow("key at the end") << int(PrintDocument::Answers::KeyAtEnd);
    }

    void printedPaper()
    {
        QFETCH(int, answers);
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        QTemporaryDir dir;
        const QString html = PrintDocument(TestSupport::database(), dir.path() + QLatin1Char('/'))
                                 .paper(QStringLiteral("km1p1"), PrintDocument::Answers(answers));
        for (const char *control : {"<input", "<button", "<textarea", "自评", "onclick"})
            QVERIFY2(!html.contains(QLatin1String(control), Qt::CaseInsensitive), control);
        QVERIFY(html.contains(QStringLiteral("2023年计算机基础知识真题")));
        QVERIFY(html.contains(QStringLiteral("A. ")));
        const int answerCount = html.count(QStringLiteral("答案：</b>"));
        const int keyAt = html.indexOf(QStringLiteral("参考答案与解析"));
        switch (PrintDocument::Answers(answers)) {
        case PrintDocument::Answers::None:
            QCOMPARE(answerCount, 0);
            break;
        case PrintDocument::Answers::AfterEach:
            QVERIFY(answerCount > 10);
            QCOMPARE(keyAt, -1);
            break;
        case PrintDocument::Answers::KeyAtEnd:
            QVERIFY(answerCount > 10);
            QVERIFY(keyAt > 0 && html.indexOf(QStringLiteral("答案：</b>")) > keyAt);
            break;
        }

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir.filePath(QStringLiteral("paper.pdf"));
        printer.setOutputFileName(pdf);
        QVERIFY(PagePrinter::print(html, QUrl::fromLocalFile(dir.path() + QLatin1Char('/')), &printer, 30000));
        QVERIFY(QFileInfo(pdf).size() > 0);
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            return;
        QProcess text;
        text.start(pdftotext, {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY(printed.contains(QStringLiteral("2023年计算机基础知识真题")) && printed.contains(QStringLiteral("A. ")));
    }

    // Every printed page carries the paper's name and "第 N 页 / 共 M 页",
    // counted right: a sheet that ran over its page would shift the numbers
    // off the pages the PDF holds.
    void printedPageNumbers_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("marginMm");
        QTest::addColumn<bool>("wrongBook");
        QTest::newRow("A4, key at the end") << int(QPageSize::A4) << false << 15 << false;
        QTest::newRow("A5, many pages") << int(QPageSize::A5) << false << 10 << false;
        QTest::newRow("A4 landscape, wide margins") << int(QPageSize::A4) << true << 30 << false;
        QTest::newRow("Letter, wrong-question book") << int(QPageSize::Letter) << false << 20 << true;
    }

    void printedPageNumbers()
    {
        QFETCH(int, size);
        QFETCH(bool, landscape);
        QFETCH(int, marginMm);
        QFETCH(bool, wrongBook);
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        if (wrongBook)
            QVERIFY(FreshDatabase::exec(QStringLiteral(
                "insert into error_answer(questionId, subjectId, examid, fuleixingid) "
                "select id, 'km1', 'km1p1', fuleixingid from exam_question where id between 'km1q001' and 'km1q020'")));
        QTemporaryDir dir;
        PrintDocument document(TestSupport::database(), dir.path() + QLatin1Char('/'));
        const QString html = wrongBook ? document.wrongBook(QStringLiteral("km1"))
                                       : document.paper(QStringLiteral("km1p1"), PrintDocument::Answers::KeyAtEnd);
        const QString name = wrongBook ? QStringLiteral("错题本") : QStringLiteral("2023年计算机基础知识真题");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir.filePath(QStringLiteral("paper.pdf"));
        printer.setOutputFileName(pdf);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::PageSizeId(size)),
                                          landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                          QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter));
        QVERIFY(PagePrinter::print(html, QUrl::fromLocalFile(dir.path() + QLatin1Char('/')), &printer, 30000));
        QProcess text;
        text.start(pdftotext, {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        // The font's tables make pdftotext report some ideographs as radicals
        // ("⻚" for "页", "⼀" for "一"): read as the ideographs they show.
        const QString printed = QString::fromUtf8(text.readAllStandardOutput())
                                    .normalized(QString::NormalizationForm_KC)
                                    .replace(QChar(0x2EDA), QChar(0x9875));
        QStringList pages = printed.split(QLatin1Char('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        QVERIFY(!pages.isEmpty());
        for (int i = 0; i < pages.size(); ++i) {
            const QRegularExpression number(
                QStringLiteral("第\\s*%1\\s*页\\s*/\\s*共\\s*%2\\s*页").arg(i + 1).arg(pages.size()));
            QVERIFY2(pages.at(i).contains(number), qPrintable(QStringLiteral("page %1 of %2:\n").arg(i + 1).arg(pages.size())
                                                                + pages.at(i)));
            QVERIFY2(pages.at(i).contains(name), qPrintable(pages.at(i)));
        }
        if (size == int(QPageSize::A5))
            QVERIFY(pages.size() > 2);

        // Each sheet fills its page: the number stands at the foot of the
        // printed area, not higher up (a sheet shorter than its page).
        QProcess boxes;
        boxes.start(pdftotext, {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        QVERIFY(boxes.waitForFinished(30000));
        const QStringList pageBoxes = QString::fromUtf8(boxes.readAllStandardOutput()).split(QStringLiteral("<page ")).mid(1);
        QCOMPARE(pageBoxes.size(), pages.size());
        const QRegularExpression height(QStringLiteral("height=\"([0-9.]+)\""));
        const QRegularExpression footWord(QStringLiteral("yMax=\"([0-9.]+)\">共</word>"));
        for (const QString &page : pageBoxes) {
            const double pageHeight = height.match(page).captured(1).toDouble();
            const double areaBottom = pageHeight - marginMm * 72.0 / 25.4;
            const double foot = footWord.match(page).captured(1).toDouble();
            QVERIFY2(foot > areaBottom - 0.04 * pageHeight && foot <= areaBottom + 1,
                     qPrintable(QStringLiteral("foot at %1 of %2, area ends at %3").arg(foot).arg(pageHeight).arg(areaBottom)));
        }
    }

    // The program's own arguments are judged before Qt needs a display; Qt's
    // options pass to Qt.
    void commandLineBeforeTheDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        const int run = int(CommandLine::Action::Run);
        const int refuse = int(CommandLine::Action::Refuse);
        QTest::newRow("nothing") << QStringList() << run;
        QTest::newRow("bogus") << QStringList{"--bogus"} << refuse;
        QTest::newRow("platform with value") << QStringList{"-platform", "offscreen"} << run;
        QTest::newRow("platform then bogus") << QStringList{"-platform", "xcb", "--bogus"} << refuse;
        QTest::newRow("style=") << QStringList{"-style=fusion", "-reverse"} << run;
        QTest::newRow("double dash platform") << QStringList{"--platform", "offscreen", "--help"}
                                              << int(CommandLine::Action::Help);
        QTest::newRow("value-less option takes no value") << QStringList{"-reverse", "--bogus"} << refuse;
    }

    void commandLineBeforeTheDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QCOMPARE(int(CommandLine::parse(CommandLine::withoutToolkitOptions(arguments)).action()), action);
    }

    // Without any display, a bogus argument gets the usage answer, not Qt's abort.
    void bogusArgumentWithoutDisplay()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(TESSERA_BIN_DIR "/tessera"), {QStringLiteral("--bogus")});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(QString::fromLocal8Bit(program.readAllStandardError()).contains(QStringLiteral("--bogus")));
    }
};

TESSERA_TEST_MAIN(CandidateTest)
#include "tst_candidate.moc"
