#pragma once

#include "ui_mainwindow.h"
#include "windowdragger.h"

#include <QMainWindow>
#include <QRect>
#include <QString>

class ExamRenLi;
class InfoForm;
class LoginForm;

// The window that lives for the whole run: a frameless frame with its own
// title strip, the home form in its content area, and the switchboard between
// the home form, the simulated-test screens, the exam and the search windows.
class MainWindow : public QMainWindow, public Ui::MainWindow, private WindowDragger
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Asks whether to leave the program; true only for "确定".
    static bool confirmExit();

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void my_refresh();

public slots:
    void childShow();
    void childHide();
    void loginShow();
    void infoShow();
    void examPaperShow();
    // The login or candidate screen's way back: home, as it was left.
    void leaveSimulatedTest();
    void openExam(QString id, int status);
    void openSo();
    // Opens a handed-in attempt (exam_history id) for review, as right after
    // its hand-in.
    void openReview(qint64 historyId);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void on_bClose_clicked();
    void on_bMax_clicked();
    void on_bRest_clicked();
    void on_pb_home_clicked();

private:
    void showHome();
    void clearContent();
    // Gives the home form the whole content area.
    void fitContent();
    void applyButtonStyles();
    // Puts the window back where it stood before a child window took its place.
    void returnToPlace();
    // A new exam window for the current paper and status, or for the review of
    // a handed-in attempt.
    void startExamWindow(qint64 reviewedHistoryId = 0);
    void createLoginForm();
    // The login and candidate screens are dropped while one of their own
    // buttons is still being handled: hide now, delete from the event loop.
    void dropLoginForm();
    void dropInfoForm();

    // Where and how the window stood when a child window took its place;
    // closing the child brings it back so.
    QRect placeBeforeChild;
    Qt::WindowStates stateBeforeChild = Qt::WindowNoState;
    // The number typed at login, shown on the candidate screen and in the exam.
    QString candidateNumber = QStringLiteral("1001");

    LoginForm *loginForm = nullptr;
    InfoForm *infoForm = nullptr;
    ExamRenLi *examWindow = nullptr;
    QString currentPaperId;
    int currentStatus = -1;
};
