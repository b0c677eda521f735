#include "testsupport.h"

#include "constants.h"
#include "determine.h"
#include "guidedialog.h"
#include "infoform.h"
#include "loginform.h"
#include "pageview.h"
#include "prompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void determineAnswer_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << QStringLiteral("yes") << true;
        QTest::newRow("no") << QStringLiteral("no") << false;
        QTest::newRow("Escape") << QStringLiteral("escape") << false;
        QTest::newRow("closed") << QStringLiteral("close") << false;
    }

    void determineAnswer()
    {
        QFETCH(QString, action);
        QFETCH(bool, yes);
        Determine dialog;
        dialog.body = QStringLiteral("<p>确认交卷吗？</p>");
        QString shownBody;
        TestSupport::answerNextModal([&](QWidget *modal) {
            auto *shown = qobject_cast<Determine *>(modal);
            if (!shown) {
                modal->close();
                return;
            }
            shownBody = shown->textEdit->toPlainText();
            if (action == QLatin1String("yes"))
                shown->pbYes->click();
            else if (action == QLatin1String("no"))
                shown->pbNo->click();
            else if (action == QLatin1String("escape"))
                QTest::keyClick(shown, Qt::Key_Escape);
            else
                shown->close();
        });
        dialog.exec();
        QCOMPARE(dialog.isYes(), yes);
        QCOMPARE(shownBody, QStringLiteral("确认交卷吗？"));
    }

    void promptShowsCaptionAndBody_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("a caption") << QStringLiteral("第一部分 单项选择题");
        QTest::newRow("empty caption replaces the designer text") << QString();
    }

    void promptShowsCaptionAndBody()
    {
        QFETCH(QString, caption);
        Prompt dialog;
        dialog.caption = caption;
        dialog.body = QStringLiteral("<h2>答题说明</h2><p>本部分共 <b>20</b> 题。</p>");
        QString shownCaption;
        QString shownHtml;
        QString shownText;
        TestSupport::answerNextModal([&](QWidget *modal) {
            auto *shown = qobject_cast<Prompt *>(modal);
            if (!shown) {
                modal->close();
                return;
            }
            shownCaption = shown->lcaption->text();
            shownHtml = shown->textEdit->toHtml();
            shownText = shown->textEdit->toPlainText();
            shown->pbOk->click();
        });
        dialog.exec();
        QCOMPARE(shownCaption, caption);
        QCOMPARE(shownText, QStringLiteral("答题说明\n本部分共 20 题。"));
        // Formatted, not shown as source.
        QVERIFY(!shownText.contains(QLatin1Char('<')));
        QVERIFY(shownHtml.contains(QLatin1String("font-weight:600")));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("提示"));
    }

    void loginLeadsOnWithTheNumberTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("number");
        QTest::newRow("default") << QStringLiteral("1001") << QStringLiteral("1001");
        QTest::newRow("another, blanks trimmed") << QStringLiteral(" 2024017 ") << QStringLiteral("2024017");
    }

    void loginLeadsOnWithTheNumberTyped()
    {
        QFETCH(QString, typed);
        LoginForm login;
        QSignalSpy hide(&login, &LoginForm::mainHide);
        QSignalSpy info(&login, &LoginForm::showInfo);
        login.show();
        QCOMPARE(hide.count(), 1);
        QCOMPARE(login.lineEdit->text(), QStringLiteral("1001"));
        login.lineEdit->setText(typed);
        login.pushButton->click();
        QCOMPARE(info.count(), 1);
        QTEST(login.candidateNumber(), "number");
    }

    void loginRefusesAnEmptyNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks only") << QStringLiteral("   ");
    }

    void loginRefusesAnEmptyNumber()
    {
        QFETCH(QString, number);
        LoginForm login;
        QSignalSpy info(&login, &LoginForm::showInfo);
        login.show();
        login.lineEdit->setText(number);
        QString said;
        TestSupport::answerNextModal([&said](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                said = box->text();
            modal->close();
        });
        login.pushButton->click();
        QCOMPARE(info.count(), 0);
        QCOMPARE(said, QStringLiteral("请输入准考证号。"));
    }

    void windowsAreTitled()
    {
        LoginForm login;
        InfoForm info;
        Determine question;
        Prompt prompt;
        QCOMPARE(login.windowTitle(), QStringLiteral("考生登录"));
        QCOMPARE(info.windowTitle(), QStringLiteral("考生信息确认"));
        QCOMPARE(question.windowTitle(), productTitle);
        QCOMPARE(prompt.windowTitle(), QStringLiteral("提示"));
    }

    // A dialog of a window is read-only, stays its child and centred on it,
    // also when the window moves.
    void dialogOfAWindow_data()
    {
        QTest::addColumn<bool>("prompt");
        QTest::newRow("prompt") << true;
        QTest::newRow("yes/no question") << false;
    }

    void dialogOfAWindow()
    {
        QFETCH(bool, prompt);
        QWidget window;
        window.setGeometry(100, 80, 1000, 700);
        window.show();
        std::unique_ptr<QDialog> dialog;
        QTextEdit *text = nullptr;
        if (prompt) {
            auto *p = new Prompt(&window);
            text = p->textEdit;
            dialog.reset(p);
        } else {
            auto *d = new Determine(&window);
            text = d->textEdit;
            dialog.reset(d);
        }
        QVERIFY(text->isReadOnly());
        QVERIFY(dialog->isWindow());
        auto centreOfWindow = [&window]() { return QRect(window.mapToGlobal(QPoint(0, 0)), window.size()).center(); };
        dialog->show();
        QCOMPARE(dialog->frameGeometry().center(), centreOfWindow());
        window.move(300, 200);
        QCOMPARE(dialog->frameGeometry().center(), centreOfWindow());
    }

    void loginResetRestoresTheNumber()
    {
        LoginForm login;
        login.lineEdit->setText(QStringLiteral("42"));
        login.pushButton_2->click();
        QCOMPARE(login.lineEdit->text(), QStringLiteral("1001"));
        QCOMPARE(login.size(), QSize(911, 613));
    }

    void candidateScreenButtons()
    {
        InfoForm info;
        QSignalSpy back(&info, &InfoForm::showLogin);
        QSignalSpy start(&info, &InfoForm::showExam);
        // "操作演示" shows the exam window's picture with its numbered parts.
        QString guideSeen;
        TestSupport::answerNextModal([&guideSeen](QWidget *modal) {
            auto *guide = qobject_cast<GuideDialog *>(modal);
            if (guide) {
                PageView *view = guide->view();
                QTRY_VERIFY(TestSupport::pageValue(view, QStringLiteral("document.images[0].complete")).toBool());
                guideSeen = TestSupport::pageValue(view, QStringLiteral(
                    "document.images[0].naturalWidth > 0 ? document.querySelectorAll('.mark').length + '/' + "
                    "document.querySelectorAll('ol li').length : 'no picture'")).toString();
            }
            modal->close();
        });
        info.pushButton->click();
        QCOMPARE(guideSeen, QStringLiteral("9/9"));
        QCOMPARE(back.count() + start.count(), 0);
        info.pushButton_2->click();
        QCOMPARE(back.count(), 1);
        info.pushButton_3->click();
        QCOMPARE(start.count(), 1);
    }
};

TESSERA_TEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
