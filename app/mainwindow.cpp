#include "mainwindow.h"

#include "apppaths.h"
#include "buttonartwork.h"
#include "constants.h"
#include "dbconnection.h"
#include "examrenli.h"
#include "fwelcome.h"
#include "infoform.h"
#include "loginform.h"
#include "maximisebuttons.h"
#include "papertitle.h"
#include "soquestion.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <cstdlib>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setupUi(this);
    setWindowTitle(productTitle);
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground, true);
    appDirPath = AppPaths::current().dataDir();
    setAutoFillBackground(false);
    DbConnection::instance(appDirPath, true);
    applyButtonStyles();
    bRest->hide();
    // The title strip keeps its place when 返回首页 is hidden on the start page.
    QSizePolicy homePolicy = pb_home->sizePolicy();
    homePolicy.setRetainSizeWhenHidden(true);
    pb_home->setSizePolicy(homePolicy);
    topWidget->setStyleSheet(QStringLiteral("border-image:url(:/image/top.png);"));
    label->setStyleSheet(QStringLiteral("border-image:url(:/image/mlogo.png);"));
    connect(bMin, &QPushButton::clicked, this, &MainWindow::showMinimized);
    // The content area gets its final size only after the window's own resize
    // (the first show, maximising): the home form follows it from here.
    showForm->installEventFilter(this);
    showHome();
}

MainWindow::~MainWindow()
{
    delete loginForm;
    delete infoForm;
    delete examWindow;
}

void MainWindow::applyButtonStyles()
{
    setStyleSheet(QStringLiteral(
        "QCommandLinkButton{border-image: url(:/image/b01.png);}QCommandLinkButton:hover{border-image: url(:/image/b03.png);}"
        "QCommandLinkButton:pressed{border-image: url(:/image/b02.png);}"));
    ButtonArtwork::applyToTitleStrip(bClose, bMax, bRest, bMin);
    pb_home->setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/home11.png"),
                                                    QStringLiteral(":/image/home22.png")));
}

void MainWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(QRect(5, 5, width() - 10, height() - 10), Qt::white);
    // A soft shadow: the outermost line is the darkest.
    const int alphas[] = {0, 30, 60, 90, 120};
    for (int n = 5; n >= 1; --n) {
        painter.setPen(QColor(0, 0, 0, alphas[5 - n]));
        painter.drawRect(QRect(n, n, width() - 2 * n, height() - 2 * n));
    }
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    startDrag(this, event);
    QMainWindow::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    followDrag(this, event);
    QMainWindow::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    endDrag();
    QMainWindow::mouseReleaseEvent(event);
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The double click's own position decides: the release of its first click
    // has already cleared the offset of the press.
    const int offsetY = event->globalPos().y() - frameGeometry().top();
    if (event->button() == Qt::LeftButton) {
        if (!isMaximized() && offsetY >= 2 && offsetY < dragStripHeight)
            on_bMax_clicked();
        else if (isMaximized() && offsetY >= 2 && offsetY < 40)
            on_bRest_clicked();
    }
    QMainWindow::mouseDoubleClickEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyButtonStyles();
    fitContent();
    MaximiseButtons::keepMaximised(this, bMax, bRest);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == showForm && event->type() == QEvent::Resize)
        fitContent();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::fitContent()
{
    for (QWidget *child : showForm->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        child->setGeometry(0, 0, showForm->width(), showForm->height());
}

void MainWindow::on_bMax_clicked()
{
    MaximiseButtons::maximise(this, bMax, bRest);
    applyButtonStyles();
}

void MainWindow::on_bRest_clicked()
{
    MaximiseButtons::restore(this, bMax, bRest);
    applyButtonStyles();
}

bool MainWindow::confirmExit()
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("退出系统"), QStringLiteral("请确认是否要退出系统。"));
    QAbstractButton *yes = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.exec();
    // Escape and the box's own close button count as "取消".
    return box.clickedButton() == yes;
}

void MainWindow::on_bClose_clicked()
{
    if (confirmExit())
        std::exit(0);
}

void MainWindow::on_pb_home_clicked()
{
    showHome();
}

void MainWindow::clearContent()
{
    // Deleted from the event loop: the old home form may be on the call stack.
    for (QWidget *child : showForm->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        child->hide();
        child->setParent(nullptr);
        child->deleteLater();
    }
}

void MainWindow::showHome()
{
    clearContent();
    auto *home = new Fwelcome(this);
    home->setParent(showForm);
    home->setGeometry(0, 0, showForm->width(), showForm->height());
    connect(home, &Fwelcome::showExam, this, &MainWindow::openExam);
    connect(home, &Fwelcome::showSo, this, &MainWindow::openSo);
    connect(home, &Fwelcome::showHistory, this, &MainWindow::openReview);
    connect(this, &MainWindow::my_refresh, home, &Fwelcome::my_refresh01);
    // 返回首页 only where it leads somewhere: not on the start page itself.
    connect(home, &Fwelcome::pageShown, pb_home, [this](bool startPage) { pb_home->setVisible(!startPage); });
    pb_home->setVisible(!home->onStartPage);
    home->show();
}

void MainWindow::childShow()
{
    emit my_refresh();
    if (isVisible() && !isMinimized())
        return;
    // A window once minimised with its own button may still carry the state
    // after the system restored it: the state is set anew, never inherited.
    setWindowState(stateBeforeChild);
    if (stateBeforeChild & Qt::WindowMaximized) {
        on_bMax_clicked();
    } else {
        setGeometry(placeBeforeChild);
        show();
        // A window manager may place a window anew when it is mapped again
        // (at the screen's corner, or cascaded): once on screen it goes back.
        returnToPlace();
        QTimer::singleShot(0, this, &MainWindow::returnToPlace);
    }
    raise();
    activateWindow();
}

void MainWindow::returnToPlace()
{
    if (isVisible() && !isMaximized() && !isMinimized() && geometry() != placeBeforeChild && placeBeforeChild.isValid())
        setGeometry(placeBeforeChild);
}

void MainWindow::childHide()
{
    // The login, candidate and exam screens hide it in turn: the first one
    // finds it on screen and remembers how it stood.
    if (isVisible()) {
        stateBeforeChild = windowState() & ~Qt::WindowMinimized;
        placeBeforeChild = (stateBeforeChild & Qt::WindowMaximized) ? normalGeometry() : geometry();
    }
    hide();
}

void MainWindow::createLoginForm()
{
    if (loginForm)
        return;
    loginForm = new LoginForm;
    connect(loginForm, &LoginForm::mainHide, this, &MainWindow::childHide);
    connect(loginForm, &LoginForm::showInfo, this, &MainWindow::infoShow);
    connect(loginForm, &LoginForm::back, this, &MainWindow::leaveSimulatedTest);
}

void MainWindow::dropLoginForm()
{
    if (!loginForm)
        return;
    loginForm->hide();
    loginForm->deleteLater();
    loginForm = nullptr;
}

void MainWindow::dropInfoForm()
{
    if (!infoForm)
        return;
    infoForm->hide();
    infoForm->deleteLater();
    infoForm = nullptr;
}

void MainWindow::openExam(QString id, int status)
{
    currentPaperId = id;
    currentStatus = status;
    if (status != 0) {
        startExamWindow();
        return;
    }
    createLoginForm();
    loginForm->show();
}

void MainWindow::loginShow()
{
    dropInfoForm();
    createLoginForm();
    loginForm->show();
}

void MainWindow::infoShow()
{
    if (loginForm)
        candidateNumber = loginForm->candidateNumber();
    dropLoginForm();
    if (!infoForm) {
        infoForm = new InfoForm;
        connect(infoForm, &InfoForm::showLogin, this, &MainWindow::loginShow);
        connect(infoForm, &InfoForm::showExam, this, &MainWindow::examPaperShow);
        connect(infoForm, &InfoForm::back, this, &MainWindow::leaveSimulatedTest);
    }
    infoForm->setCandidateNumber(candidateNumber);
    DbConnection *connection = DbConnection::instance(appDirPath, true);
    if (connection->opened)
        infoForm->setPaperName(PaperTitle::of(connection->database(), currentPaperId));
    infoForm->show();
}

void MainWindow::leaveSimulatedTest()
{
    dropLoginForm();
    dropInfoForm();
    childShow();
}

void MainWindow::examPaperShow()
{
    dropInfoForm();
    startExamWindow();
}

void MainWindow::openReview(qint64 historyId)
{
    currentStatus = 0;
    startExamWindow(historyId);
}

void MainWindow::startExamWindow(qint64 reviewedHistoryId)
{
    // The previous exam window is hidden by now; a new run gets a new window.
    if (examWindow)
        examWindow->deleteLater();
    const QRect frame = geometry();
    examWindow = new ExamRenLi(frame.left(), frame.top(), frame.width(), frame.height(), 1);
    connect(examWindow, &ExamRenLi::meShow, this, &MainWindow::childShow);
    connect(examWindow, &ExamRenLi::meHide, this, &MainWindow::childHide);
    examWindow->paperId = currentPaperId;
    examWindow->examStatus = currentStatus;
    if (currentStatus == 0)
        examWindow->setCandidateNumber(candidateNumber);
    examWindow->reviewedHistoryId = reviewedHistoryId;
    examWindow->show();
}

void MainWindow::openSo()
{
    auto *search = new SoQuestion;
    connect(search, &SoQuestion::meShow, this, &MainWindow::childShow);
    connect(search, &SoQuestion::meHide, this, &MainWindow::childHide);
    search->show();
}
