#include "testsupport.h"

#include "constants.h"
#include "dbconnection.h"
#include "fwelcome.h"
#include "homepages.h"
#include "paperloader.h"
#include "questionsearch.h"
#include "subject.h"
#include "subjectstore.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

const QString quoteId = QStringLiteral("s'3");

// Two subjects (three with the quoted id), each with a chapter, a paper and a
// paper section, plus rows that belong to no subject, and the user's records
// on the second subject's paper.
QString bank(bool withQuotedSubject)
{
    QString sql = QStringLiteral(
        "INSERT INTO exam_subject(id,name) VALUES('s1','会计实务');\n"
        "INSERT INTO exam_subject(id,name) VALUES('s2','税法');\n"
        "INSERT INTO exam_chapter(id,subjectid,name) VALUES('c1','s1','总论');\n"
        "INSERT INTO exam_chapter(id,subjectid,name) VALUES('c2','s2','增值税');\n"
        "INSERT INTO exam_chapter(id,subjectid,name) VALUES('c0',NULL,'通用');\n"
        "INSERT INTO exam_paper(id,name,subjectId) VALUES('p1','会计一','s1');\n"
        "INSERT INTO exam_paper(id,name,subjectId) VALUES('p2','税法一','s2');\n"
        "INSERT INTO exam_paper(id,name,subjectId) VALUES('p0','公共卷',NULL);\n"
        "INSERT INTO exam_paper_static(id,paperId,subjectid) VALUES('ps1','p1','s1');\n"
        "INSERT INTO exam_paper_static(id,paperId,subjectid) VALUES('ps2','p2','s2');\n"
        "INSERT INTO exam_paper_static(id,paperId,subjectid) VALUES('ps0','p0',NULL);\n"
        "INSERT INTO exam_question(id,chapterId) VALUES('q1','c1');\n"
        "INSERT INTO exam_question(id,chapterId) VALUES('q2','c2');\n"
        "INSERT INTO exam_dic_fuleixing(id,name,subjectid) VALUES('f2','单选','s2');\n"
        "INSERT INTO t_dic_data(id,dtype,typekey) VALUES('t1',1,'sjlx');\n"
        "INSERT INTO exam_answer(id,subjectid,paperId,rightCount) VALUES('a2','s2','p2',5);\n"
        "INSERT INTO error_answer(questionId,subjectId,examid) VALUES('q2','s2','p2');\n"
        "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('q2','f2');\n");
    if (withQuotedSubject)
        sql += QStringLiteral(
            "INSERT INTO exam_subject(id,name) VALUES('s''3','经济法');\n"
            "INSERT INTO exam_chapter(id,subjectid,name) VALUES('c3','s''3','合同');\n"
            "INSERT INTO exam_paper(id,name,subjectId) VALUES('p3','经济法一','s''3');\n"
            "INSERT INTO exam_paper_static(id,paperId,subjectid) VALUES('ps3','p3','s''3');\n");
    return sql;
}

using Column = TestSupport::FreshDatabase;

// The bank's subject-bound rows: "table: ids" in a fixed order.
QStringList subjectRows()
{
    QStringList rows;
    for (const QString &table : {"exam_subject", "exam_chapter", "exam_paper", "exam_paper_static"})
        rows << table + QStringLiteral(": ")
                + Column::column(QStringLiteral("select id from %1 order by id").arg(table)).join(QLatin1Char(','));
    return rows;
}

// Everything the pruning must not touch.
QStringList untouchedRows()
{
    return {Column::column(QStringLiteral("select id from exam_question order by id")).join(','),
            Column::column(QStringLiteral("select id from exam_dic_fuleixing")).join(','),
            Column::column(QStringLiteral("select id from t_dic_data")).join(','),
            Column::column(QStringLiteral("select id||rightCount from exam_answer")).join(','),
            Column::column(QStringLiteral("select questionId||examid from error_answer")).join(','),
            Column::column(QStringLiteral("select questionid||fuleixingid from exam_Collect")).join(',')};
}

void choose(Subject *dialog, const QString &subjectId)
{
    const int index = dialog->cb_subject->findData(subjectId);
    QVERIFY(index >= 0);
    dialog->cb_subject->setCurrentIndex(index);
    dialog->pushButton->click();
}

QString startPageTitle(Fwelcome &form)
{
    return TestSupport::pageValue(form.mainWebView, QStringLiteral("document.querySelector('.top_p').textContent"))
        .toString();
}

// Two subjects side by side, each with a paper, a category, questions and
// records, plus a paper and a question that name no subject.
const QString sideBySide = QStringLiteral(
    "INSERT INTO exam_subject(id,name) VALUES('s1','会计实务');\n"
    "INSERT INTO exam_subject(id,name) VALUES('s2','税法');\n"
    "INSERT INTO t_dic_data(id,dtype,typekey) VALUES('t1',1,'sjlx');\n"
    "INSERT INTO exam_paper(id,name,subjectId,paperTypeid,sortNo) VALUES('p1','会计一','s1','t1',1);\n"
    "INSERT INTO exam_paper(id,name,subjectId,paperTypeid,sortNo) VALUES('p2','税法一','s2','t1',2);\n"
    "INSERT INTO exam_paper(id,name,subjectId,paperTypeid,sortNo) VALUES('p0','公共卷',NULL,'t1',3);\n"
    "INSERT INTO exam_dic_fuleixing(id,name,questionType,subjectid) VALUES('f1','会计单选',1,'s1');\n"
    "INSERT INTO exam_dic_fuleixing(id,name,questionType,subjectid) VALUES('f2','税法单选',2,'s2');\n"
    "INSERT INTO exam_dic_fuleixing(id,name,questionType,subjectid) VALUES('f0','通用单选',3,NULL);\n"
    "INSERT INTO exam_question(id,questionTypeid,title,titleImage,relationship,fuleixingid,subjectid) VALUES('q1',1,'增值 会计','增值 会计','','f0','s1');\n"
    "INSERT INTO exam_question(id,questionTypeid,title,titleImage,relationship,fuleixingid,subjectid) VALUES('q2',1,'增值 税法','增值 税法','','f0','s2');\n"
    "INSERT INTO exam_question(id,questionTypeid,title,titleImage,relationship,fuleixingid,subjectid) VALUES('q0',1,'增值 公共','增值 公共','','f0',NULL);\n"
    "INSERT INTO exam_answer(id,subjectid,paperId,rightCount,worngCount) VALUES('a1','s1','p1',4,1);\n"
    "INSERT INTO exam_answer(id,subjectid,paperId,rightCount,worngCount) VALUES('a2','s2','p2',7,2);\n"
    "INSERT INTO error_answer(questionId,subjectId,examid,fuleixingid) VALUES('q1','s1','p1','f1');\n"
    "INSERT INTO error_answer(questionId,subjectId,examid,fuleixingid) VALUES('q2','s2','p2','f2');\n"
    "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('q1','f1');\n"
    "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('q2','f2');\n"
    "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('q1','f0');\n"
    "INSERT INTO exam_Collect(questionid,fuleixingid) VALUES('q2','f0');\n");

// The keys of a list page's entries, in page order.
QStringList listKeys(const QString &html)
{
    QStringList keys;
    const QRegularExpression key(QStringLiteral("onclick=\"\\w+\\('([^']*)'\\);"));
    for (auto it = key.globalMatch(html); it.hasNext();)
        keys << it.next().captured(1);
    return keys;
}

} // namespace

class SubjectTest : public QObject
{
    Q_OBJECT

private slots:
    void choosingKeepsEveryRow_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::newRow("first subject") << QStringLiteral("s1");
        QTest::newRow("second subject") << QStringLiteral("s2");
        QTest::newRow("id with a quote") << quoteId;
    }

    void choosingKeepsEveryRow()
    {
        QFETCH(QString, chosen);
        TestSupport::FreshDatabase db(bank(true));
        QVERIFY(db.ok());
        const QStringList before = subjectRows() + untouchedRows();
        TestSupport::ModalCloser closer;  // a failure's warning must not block the test
        Subject dialog;
        QSignalSpy rest(&dialog, &Subject::restSubject);
        dialog.show();
        choose(&dialog, chosen);
        QCOMPARE(subjectRows() + untouchedRows(), before);
        QCOMPARE(SubjectStore::currentSubjectId(), chosen);
        QVERIFY(!SubjectStore::choiceNeeded());
        QCOMPARE(rest.count(), 1);
        QVERIFY(!dialog.isVisible());
    }

    // A choice that cannot be stored keeps the previous one; the dialog says
    // so and stays, instead of ending the program without a subject.
    void failedChoiceKeepsThePreviousOne()
    {
        TestSupport::FreshDatabase db(bank(false) + QStringLiteral(
            "INSERT INTO app_setting(key,value) VALUES('currentSubject','s2');\n"
            "CREATE TRIGGER no_setting BEFORE UPDATE ON app_setting "
            "BEGIN SELECT RAISE(ABORT, 'read only'); END;\n"
            "CREATE TRIGGER no_new_setting BEFORE INSERT ON app_setting "
            "BEGIN SELECT RAISE(ABORT, 'read only'); END;\n"));
        QVERIFY(db.ok());
        QVERIFY(!SubjectStore::choose(QStringLiteral("s1")));
        QVERIFY(!SubjectStore::choose(QStringLiteral("no such subject")));
        QCOMPARE(SubjectStore::currentSubjectId(), QStringLiteral("s2"));

        Subject dialog;
        QSignalSpy rest(&dialog, &Subject::restSubject);
        dialog.show();
        QCOMPARE(dialog.cb_subject->currentData().toString(), QStringLiteral("s2"));
        bool warned = false;
        TestSupport::answerNextModal([&warned](QWidget *modal) {
            warned = modal->inherits("QMessageBox");
            if (auto *box = qobject_cast<QDialog *>(modal))
                box->accept();
        });
        choose(&dialog, QStringLiteral("s1"));
        QVERIFY(warned);
        QCOMPARE(SubjectStore::currentSubjectId(), QStringLiteral("s2"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(rest.count(), 0);
    }

    // Every list, the search and the favourites practice keep to the current
    // subject; rows that name no subject belong to all; with no subject
    // chosen yet every row shows.
    void screensKeepToTheCurrentSubject_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("expected");
        const QStringList papers1{"p1", "p0"}, papers2{"p2", "p0"}, all{"p1", "p2", "p0"};
        const QStringList screens{"papers", "mock papers", "wrong answers", "favourites", "favourite counts",
                                  "search", "favourites practice"};
        const QList<QStringList> forS1{papers1, papers1, {"p1"}, {"f1", "f0"}, {"1", "1"}, {"q1", "q0"}, {"q1"}};
        const QList<QStringList> forS2{papers2, papers2, {"p2"}, {"f2", "f0"}, {"1", "1"}, {"q2", "q0"}, {"q2"}};
        const QList<QStringList> forNone{all, all, {"p1", "p2"}, {"f1", "f2", "f0"}, {"1", "1", "2"},
                                         {"q1", "q2", "q0"}, {"q1", "q2"}};
        for (int i = 0; i < screens.size(); ++i) {
            QTest::addRow("s1 %s", qPrintable(screens[i])) << "s1" << screens[i] << forS1[i];
            QTest::addRow("s2 %s", qPrintable(screens[i])) << "s2" << screens[i] << forS2[i];
            QTest::addRow("none chosen %s", qPrintable(screens[i])) << "" << screens[i] << forNone[i];
        }
    }

    void screensKeepToTheCurrentSubject()
    {
        QFETCH(QString, current);
        QFETCH(QString, screen);
        QFETCH(QStringList, expected);
        TestSupport::FreshDatabase db(sideBySide);
        QVERIFY(db.ok());
        if (!current.isEmpty())
            QVERIFY(SubjectStore::choose(current));

        QStringList shown;
        if (screen == QLatin1String("papers")) {
            shown = listKeys(HomePages::paperList());
        } else if (screen == QLatin1String("mock papers")) {
            shown = listKeys(HomePages::mockPaperList());
        } else if (screen == QLatin1String("wrong answers")) {
            shown = listKeys(HomePages::wrongAnswerList());
        } else if (screen == QLatin1String("favourites")) {
            shown = listKeys(HomePages::favouritesList());
        } else if (screen == QLatin1String("favourite counts")) {
            const QRegularExpression count(QStringLiteral("<span class=\"sl\">(\\d+)</span>"));
            for (auto it = count.globalMatch(HomePages::favouritesList()); it.hasNext();)
                shown << it.next().captured(1);
        } else {
            QSqlDatabase database = DbConnection::instance(QString(), true)->database();
            std::unique_ptr<ExamPaper> paper = screen == QLatin1String("search")
                ? QuestionSearch::run(database, QStringLiteral("增值"), 5, appDirPath, SubjectScope::current())
                : PaperLoader(database, 5, appDirPath, SubjectScope::current()).load(QStringLiteral("f0"));
            QVERIFY(paper);
            for (const auto &question : paper->questions)
                shown << question->id;
        }
        QCOMPARE(shown, expected);
    }

    // "切换科目" on the start page asks again and the page names the new one.
    void switchingFromTheStartPage()
    {
        TestSupport::FreshDatabase db(sideBySide + QStringLiteral(
            "INSERT INTO app_setting(key,value) VALUES('currentSubject','s1');\n"));
        QVERIFY(db.ok());
        Fwelcome form(nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(startPageTitle(form), QStringLiteral("会计实务切换科目"), 5000);
        bool asked = false;
        TestSupport::answerNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<Subject *>(modal);
            asked = dialog != nullptr;
            if (dialog) {
                QCOMPARE(dialog->cb_subject->currentData().toString(), QStringLiteral("s1"));
                choose(dialog, QStringLiteral("s2"));
            } else {
                modal->close();
            }
        });
        form.mainWebView->runScript(QStringLiteral("document.querySelector('.switch_subject').click()"));
        QTRY_VERIFY_WITH_TIMEOUT(asked, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(startPageTitle(form), QStringLiteral("税法切换科目"), 5000);
        QCOMPARE(SubjectStore::currentSubjectId(), QStringLiteral("s2"));
        QCOMPARE(TestSupport::FreshDatabase::scalar(QStringLiteral("select count(*) from exam_paper")), 3);
    }

    // A subject chosen once is not asked for at the next start.
    void chosenSubjectIsNotAskedAgain()
    {
        TestSupport::FreshDatabase db(sideBySide + QStringLiteral(
            "INSERT INTO app_setting(key,value) VALUES('currentSubject','s2');\n"));
        QVERIFY(db.ok());
        Fwelcome form(nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(startPageTitle(form), QStringLiteral("税法切换科目"), 5000);
        QTest::qWait(150);  // past the form's subject check
        QVERIFY(!QApplication::activeModalWidget());
    }

    // The home form's check: the dialog comes up on its own after the form is
    // built, and the start page then names the subject kept.
    void homeFormAsksAndShowsTheChosenSubject_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("title");
        QTest::newRow("second subject") << QStringLiteral("s2") << QStringLiteral("税法");
        QTest::newRow("id with a quote") << quoteId << QStringLiteral("经济法");
    }

    void homeFormAsksAndShowsTheChosenSubject()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, title);
        TestSupport::FreshDatabase db(bank(true));
        QVERIFY(db.ok());
        bool asked = false;
        TestSupport::answerNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<Subject *>(modal);
            asked = dialog != nullptr;
            if (dialog) {
                // Closes a failure's warning, which would run inside the click.
                TestSupport::ModalCloser closer;
                choose(dialog, chosen);
            }
            else
                modal->close();
        });
        Fwelcome form(nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(asked, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(startPageTitle(form), title + QStringLiteral("切换科目"), 5000);
        QCOMPARE(TestSupport::FreshDatabase::scalar(QStringLiteral("select count(*) from exam_subject")), 3);
    }

    void escapeRejectsWithoutDeleting()
    {
        TestSupport::FreshDatabase db(bank(false));
        QVERIFY(db.ok());
        const QStringList before = subjectRows() + untouchedRows();
        int dialogs = 0;
        TestSupport::answerNextModal([&dialogs](QWidget *modal) {
            dialogs += qobject_cast<Subject *>(modal) != nullptr;
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        Fwelcome form(nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs, 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 5000);
        QCOMPARE(subjectRows() + untouchedRows(), before);
        QTRY_COMPARE_WITH_TIMEOUT(startPageTitle(form), QStringLiteral("你还未选择学习科目切换科目"), 5000);

        // The next home form asks again.
        TestSupport::answerNextModal([&dialogs](QWidget *modal) {
            dialogs += qobject_cast<Subject *>(modal) != nullptr;
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        Fwelcome next(nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs, 2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 5000);
    }

    void oneSubjectAsksNothing()
    {
        TestSupport::FreshDatabase db(QStringLiteral("INSERT INTO exam_subject(id,name) VALUES('s1','会计实务');"));
        QVERIFY(db.ok());
        Fwelcome form(nullptr);
        bool modalSeen = false;
        for (int i = 0; i < 20 && !modalSeen; ++i) {
            QTest::qWait(10);
            modalSeen = QApplication::activeModalWidget() != nullptr;
        }
        QVERIFY(!modalSeen);
        QTRY_COMPARE_WITH_TIMEOUT(startPageTitle(form), QStringLiteral("会计实务"), 5000);
    }
};

TESSERA_TEST_MAIN(SubjectTest)
#include "tst_subject.moc"
