#pragma once

#include "ui_infoform.h"

#include <QWidget>

// The candidate information screen of a simulated test: back to the login
// screen (重新登录, Escape), back home (返回首页), or start the exam (开始考试,
// Enter).
class InfoForm : public QWidget, public Ui::InfoForm
{
    Q_OBJECT
public:
    explicit InfoForm(QWidget *parent = nullptr);

    // The number the candidate logged in with, shown on the screen.
    void setCandidateNumber(const QString &number);
    // The paper about to start, shown as the exam's name.
    void setPaperName(const QString &name);

signals:
    void showLogin();
    void showExam();
    // The candidate leaves the simulated test without starting.
    void back();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
};
