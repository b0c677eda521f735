#include "testsupport.h"

#include "examrenli.h"
#include "fwelcome.h"
#include "infoform.h"
#include "loginform.h"
#include "mainwindow.h"
#include "pageview.h"
#include "soquestion.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>

namespace {

const QString oneSubjectBank = QStringLiteral(
    "INSERT INTO exam_subject(id,name) VALUES('s1','会计实务');\n"
    "INSERT INTO exam_paper(id,name,subjectId) VALUES('p1','2019年真题','s1');\n");

// The one visible top-level window of a kind, or null.
template <class T>
T *visibleWindow()
{
    T *found = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<T *>(widget)) {
            if (candidate->isVisible()) {
                if (found)
                    return nullptr;
                found = candidate;
            }
        }
    }
    return found;
}

QList<Fwelcome *> homeForms(MainWindow &window)
{
    return window.showForm->findChildren<Fwelcome *>(QString(), Qt::FindDirectChildrenOnly);
}

Fwelcome *homeForm(MainWindow &window)
{
    const QList<Fwelcome *> forms = homeForms(window);
    return forms.size() == 1 ? forms.first() : nullptr;
}

bool showsStartPage(Fwelcome *home)
{
    return home
        && TestSupport::pageValue(home->mainWebView, QStringLiteral("document.querySelector('.top_p') !== null")).toBool();
}

void sendMouse(QWidget *window, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, window->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(window, &event);
}

QAbstractButton *buttonWithText(QMessageBox *box, const QString &text)
{
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(QApplication::topLevelWidgets().isEmpty() || !visibleWindow<MainWindow>());
    }

    // home → login → candidate → back → login → candidate → exam → closed → home
    void simulatedTestRoundTrip()
    {
        TestSupport::FreshDatabase db(oneSubjectBank);
        QVERIFY(db.ok());
        TestSupport::ModalCloser closer;  // whatever the exam window asks is of no interest here
        MainWindow window;
        window.show();
        Fwelcome *home = homeForm(window);
        QVERIFY(home);
        QTRY_VERIFY_WITH_TIMEOUT(showsStartPage(home), 5000);
        home->zhentiJS();
        QTRY_VERIFY_WITH_TIMEOUT(!showsStartPage(home), 5000);

        // The home form asks for a formal paper: the login screen replaces the main window.
        home->openkaojuang(QStringLiteral("p1"));
        LoginForm *login = visibleWindow<LoginForm>();
        QVERIFY(login);
        QVERIFY(!window.isVisible());

        // Login: the screen goes at once but is deleted only after its click is over.
        QPointer<LoginForm> firstLogin(login);
        login->lineEdit->setText(QStringLiteral(" 2024017 "));
        login->pushButton->click();
        QVERIFY(!firstLogin.isNull());
        QVERIFY(!firstLogin->isVisible());
        InfoForm *info = visibleWindow<InfoForm>();
        QVERIFY(info);
        QCOMPARE(info->lNumber->text(), QStringLiteral("2024017"));
        QTRY_VERIFY_WITH_TIMEOUT(firstLogin.isNull(), 5000);

        // Back to a fresh login screen.
        QPointer<InfoForm> firstInfo(info);
        info->pushButton_2->click();
        QVERIFY(!firstInfo.isNull());
        login = visibleWindow<LoginForm>();
        QVERIFY(login);
        QCOMPARE(login->lineEdit->text(), QStringLiteral("1001"));
        QVERIFY(!window.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(firstInfo.isNull(), 5000);

        login->lineEdit->setText(QStringLiteral("2024017"));
        login->pushButton->click();
        info = visibleWindow<InfoForm>();
        QVERIFY(info);
        QVERIFY(!visibleWindow<LoginForm>());

        // Start: the exam window gets the paper and the status.
        QPointer<InfoForm> secondInfo(info);
        info->pushButton_3->click();
        ExamRenLi *exam = visibleWindow<ExamRenLi>();
        QVERIFY(exam);
        QCOMPARE(exam->paperId, QStringLiteral("p1"));
        QCOMPARE(exam->examStatus, 0);
        QVERIFY(exam->label->text().contains(QStringLiteral("准考证号：2024017")));
        QVERIFY(!window.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(secondInfo.isNull(), 5000);

        // Closing the exam window rebuilds the home page first, then shows the main window.
        bool visibleAtRefresh = true;
        connect(&window, &MainWindow::my_refresh, this, [&]() { visibleAtRefresh = window.isVisible(); });
        QSignalSpy refresh(&window, &MainWindow::my_refresh);
        exam->close();
        QCOMPARE(refresh.count(), 1);
        QVERIFY(!visibleAtRefresh);
        QVERIFY(window.isVisible());
        QCOMPARE(homeForm(window), home);
        QTRY_VERIFY_WITH_TIMEOUT(showsStartPage(home), 5000);
    }

    // Closing a child window brings the main window back where and as it was,
    // also after it was minimised with its own button and restored.
    void childWindowCloseRestoresTheMainWindow_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("child");
        QTest::newRow("placed, exam") << "placed" << "exam";
        QTest::newRow("placed, search") << "placed" << "search";
        QTest::newRow("maximised, exam") << "maximised" << "exam";
        QTest::newRow("minimised and restored, exam") << "minimised" << "exam";
        QTest::newRow("minimised and restored, search") << "minimised" << "search";
    }

    void childWindowCloseRestoresTheMainWindow()
    {
        QFETCH(QString, before);
        QFETCH(QString, child);
        TestSupport::FreshDatabase db(oneSubjectBank);
        QVERIFY(db.ok());
        TestSupport::ModalCloser closer;
        MainWindow window;
        window.show();
        window.move(140, 70);
        if (before == QLatin1String("maximised")) {
            window.bMax->click();
        } else if (before == QLatin1String("minimised")) {
            // The system shows the window again but may leave its state as it was.
            window.bMin->click();
            QVERIFY(window.isMinimized());
            window.show();
        }
        const QRect place = window.geometry();
        const bool maximised = window.isMaximized();

        Fwelcome *home = homeForm(window);
        QVERIFY(home);
        QWidget *opened = nullptr;
        if (child == QLatin1String("exam")) {
            emit home->showExam(QStringLiteral("f1"), 5);
            opened = visibleWindow<ExamRenLi>();
        } else {
            home->sotiJS();
            opened = visibleWindow<SoQuestion>();
        }
        QVERIFY(opened);
        QVERIFY(!window.isVisible());
        opened->close();

        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        QCOMPARE(window.isMaximized(), maximised);
        QCOMPARE(window.geometry(), place);
    }

    void practicesOpenTheExamWindowAtOnce_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("status");
        // The exam window reads the paper id out of a practice key when shown.
        QTest::addColumn<QString>("shownId");
        QTest::newRow("wrong-question practice") << QStringLiteral("[{\"itype\":\"2\",\"paperid\":\"p1\"}]") << 3
                                                 << QStringLiteral("p1");
        QTest::newRow("favourites practice") << QStringLiteral("f1") << 5 << QStringLiteral("f1");
    }

    void practicesOpenTheExamWindowAtOnce()
    {
        QFETCH(QString, id);
        QFETCH(int, status);
        QFETCH(QString, shownId);
        TestSupport::FreshDatabase db(oneSubjectBank);
        QVERIFY(db.ok());
        TestSupport::ModalCloser closer;
        MainWindow window;
        window.show();
        Fwelcome *home = homeForm(window);
        QVERIFY(home);
        emit home->showExam(id, status);
        QVERIFY(!visibleWindow<LoginForm>());
        ExamRenLi *exam = visibleWindow<ExamRenLi>();
        QVERIFY(exam);
        QCOMPARE(exam->paperId, shownId);
        QCOMPARE(exam->examStatus, status);
        QVERIFY(!window.isVisible());
        exam->close();
        QVERIFY(window.isVisible());

        // The next run replaces the earlier, hidden exam window.
        QPointer<ExamRenLi> earlier(exam);
        emit home->showExam(id, status);
        QVERIFY(visibleWindow<ExamRenLi>());
        QVERIFY(visibleWindow<ExamRenLi>() != earlier.data());
        QTRY_VERIFY_WITH_TIMEOUT(earlier.isNull(), 5000);
        visibleWindow<ExamRenLi>()->close();
    }

    void searchTileOpensASearchWindow()
    {
        TestSupport::FreshDatabase db(oneSubjectBank);
        QVERIFY(db.ok());
        MainWindow window;
        window.show();
        Fwelcome *home = homeForm(window);
        QVERIFY(home);
        QSignalSpy refresh(&window, &MainWindow::my_refresh);
        home->sotiJS();
        QPointer<SoQuestion> search = visibleWindow<SoQuestion>();
        QVERIFY(search);
        QVERIFY(!window.isVisible());
        search->close();
        QVERIFY(window.isVisible());
        QCOMPARE(refresh.count(), 1);
        // A closed search window releases itself.
        QTRY_VERIFY(search.isNull());
    }

    void homeButtonTwiceLeavesOneHomeForm()
    {
        TestSupport::FreshDatabase db(oneSubjectBank);
        QVERIFY(db.ok());
        MainWindow window;
        window.show();
        QPointer<Fwelcome> first(homeForm(window));
        QVERIFY(first);
        window.pb_home->click();
        window.pb_home->click();
        QCOMPARE(homeForms(window).size(), 1);
        Fwelcome *current = homeForm(window);
        QVERIFY(current != first.data());
        QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), 5000);
        QCOMPARE(current->geometry(), QRect(QPoint(0, 0), window.showForm->size()));

        // The new form is wired: a paper choice still reaches the main window.
        current->openkaojuang(QStringLiteral("p1"));
        QVERIFY(visibleWindow<LoginForm>());
        QVERIFY(!window.isVisible());
    }

    void homeFormFillsTheContentArea()
    {
        TestSupport::FreshDatabase db(oneSubjectBank);
        QVERIFY(db.ok());
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(homeForm(window)->geometry(), QRect(QPoint(0, 0), window.showForm->size()));
        QVERIFY(window.showForm->height() > 500);
        window.resize(1300, 900);
        QTRY_COMPARE_WITH_TIMEOUT(homeForm(window)->geometry(), QRect(QPoint(0, 0), window.showForm->size()), 5000);
        QVERIFY(window.showForm->width() > 1176 - 20);
    }

    void dragging_data()
    {
        QTest::addColumn<int>("pressY");
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<bool>("moves");
        QTest::newRow("press in the title strip moves") << 20 << false << true;
        QTest::newRow("press just above the limit moves") << 89 << false << true;
        QTest::newRow("press at 90 stays") << 90 << false << false;
        QTest::newRow("press at 95 stays") << 95 << false << false;
        QTest::newRow("maximised never moves") << 20 << true << false;
    }

    void dragging()
    {
        QFETCH(int, pressY);
        QFETCH(bool, maximised);
        QFETCH(bool, moves);
        TestSupport::FreshDatabase db(oneSubjectBank);
        QVERIFY(db.ok());
        MainWindow window;
        window.show();
        window.move(40, 30);
        if (maximised)
            window.bMax->click();
        const QPoint start = window.frameGeometry().topLeft();
        const QPoint press = start + QPoint(300, pressY);
        const QPoint step(25, 15);
        sendMouse(&window, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&window, QEvent::MouseMove, press + step, Qt::NoButton, Qt::LeftButton);
        sendMouse(&window, QEvent::MouseButtonRelease, press + step, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(window.frameGeometry().topLeft(), moves ? start + step : start);
    }

    void maximiseAndRestoreSwapTheButtons()
    {
        TestSupport::FreshDatabase db(oneSubjectBank);
        QVERIFY(db.ok());
        MainWindow window;
        window.show();
        window.move(40, 30);
        QVERIFY(window.bMax->isVisible());
        QVERIFY(!window.bRest->isVisible());

        window.bMax->click();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(window.isMaximized());
        QCOMPARE(window.geometry().topLeft(), area.topLeft());
        QCOMPARE(window.width(), qMax(area.width(), window.minimumSizeHint().width()));
        QVERIFY(!window.bMax->isVisible());
        QVERIFY(window.bRest->isVisible());

        window.bRest->click();
        QVERIFY(!window.isMaximized());
        QVERIFY(window.bMax->isVisible());
        QVERIFY(!window.bRest->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(window.size(), QSize(1176, 797), 5000);
    }

    void exitQuestionCanBeDeclined_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("取消") << QStringLiteral("cancel");
        QTest::newRow("Escape") << QStringLiteral("escape");
        QTest::newRow("box closed") << QStringLiteral("close");
    }

    void exitQuestionCanBeDeclined()
    {
        QFETCH(QString, answer);
        TestSupport::FreshDatabase db(oneSubjectBank);
        QVERIFY(db.ok());
        MainWindow window;
        window.show();
        QString title;
        QString text;
        TestSupport::answerNextModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box) {
                modal->close();
                return;
            }
            title = box->windowTitle();
            text = box->text();
            if (answer == QLatin1String("cancel")) {
                QAbstractButton *cancel = buttonWithText(box, QStringLiteral("取消"));
                if (cancel)
                    cancel->click();
                else
                    box->reject();
            } else if (answer == QLatin1String("escape")) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                box->close();
            }
        });
        window.bClose->click();
        // Still running: the test goes on and the window is still there.
        QCOMPARE(title, QStringLiteral("退出系统"));
        QCOMPARE(text, QStringLiteral("请确认是否要退出系统。"));
        QVERIFY(window.isVisible());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void exitQuestionConfirmed()
    {
        QStringList buttons;
        TestSupport::answerNextModal([&buttons](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box) {
                modal->close();
                return;
            }
            for (QAbstractButton *button : box->buttons())
                buttons << button->text();
            QAbstractButton *yes = buttonWithText(box, QStringLiteral("确定"));
            if (yes)
                yes->click();
            else
                box->reject();
        });
        QVERIFY(MainWindow::confirmExit());
        buttons.sort();
        QCOMPARE(buttons, QStringList({"取消", "确定"}));
    }
};

TESSERA_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
