#include "testsupport.h"

#include "fwelcome.h"
#include "subject.h"
#include "subjectstore.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebFrame>
#include <QWebView>

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
    return form.mainWebView->page()->mainFrame()
        ->evaluateJavaScript(QStringLiteral("document.querySelector('.top_p').textContent"))
        .toString();
}

} // namespace

class SubjectTest : public QObject
{
    Q_OBJECT

private slots:
    void choosingPrunesTheBank_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("survivors");
        QTest::newRow("first subject")
            << QStringLiteral("s1")
            << QStringList{"exam_subject: s1", "exam_chapter: c0,c1", "exam_paper: p0,p1", "exam_paper_static: ps0,ps1"};
        QTest::newRow("second subject")
            << QStringLiteral("s2")
            << QStringList{"exam_subject: s2", "exam_chapter: c0,c2", "exam_paper: p0,p2", "exam_paper_static: ps0,ps2"};
        QTest::newRow("id with a quote")
            << quoteId
            << QStringList{"exam_subject: s'3", "exam_chapter: c0,c3", "exam_paper: p0,p3", "exam_paper_static: ps0,ps3"};
    }

    void choosingPrunesTheBank()
    {
        QFETCH(QString, chosen);
        QFETCH(QStringList, survivors);
        TestSupport::FreshDatabase db(bank(true));
        QVERIFY(db.ok());
        const QStringList before = untouchedRows();
        TestSupport::ModalCloser closer;  // a failure's warning must not block the test
        Subject dialog;
        QSignalSpy rest(&dialog, &Subject::restSubject);
        dialog.show();
        choose(&dialog, chosen);
        QCOMPARE(subjectRows(), survivors);
        QCOMPARE(untouchedRows(), before);
        QCOMPARE(rest.count(), 1);
        QVERIFY(!dialog.isVisible());
    }

    // A statement that fails part-way rolls the whole choice back; the dialog
    // says so and stays, instead of ending the program on a half-pruned bank.
    void failurePartWayLeavesTheBankUntouched()
    {
        TestSupport::FreshDatabase db(bank(false) + QStringLiteral(
            "CREATE TRIGGER no_section_delete BEFORE DELETE ON exam_paper_static "
            "BEGIN SELECT RAISE(ABORT, 'read only'); END;\n"));
        QVERIFY(db.ok());
        const QStringList before = subjectRows() + untouchedRows();
        QVERIFY(!SubjectStore::keepOnly(QStringLiteral("s1")));
        QCOMPARE(subjectRows() + untouchedRows(), before);

        Subject dialog;
        QSignalSpy rest(&dialog, &Subject::restSubject);
        dialog.show();
        bool warned = false;
        TestSupport::answerNextModal([&warned](QWidget *modal) {
            warned = modal->inherits("QMessageBox");
            if (auto *box = qobject_cast<QDialog *>(modal))
                box->accept();
        });
        choose(&dialog, QStringLiteral("s1"));
        QVERIFY(warned);
        QCOMPARE(subjectRows() + untouchedRows(), before);
        QVERIFY(dialog.isVisible());
        QCOMPARE(rest.count(), 0);
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
        QTRY_COMPARE_WITH_TIMEOUT(startPageTitle(form), title, 5000);
        QCOMPARE(TestSupport::FreshDatabase::scalar(QStringLiteral("select count(*) from exam_subject")), 1);
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
        QTRY_COMPARE_WITH_TIMEOUT(startPageTitle(form), QStringLiteral("你还未选择学习科目"), 5000);

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
