#pragma once

#include "ui_loginform.h"

#include <QWidget>

// The test centre's login screen of a simulated test. Any number leads on to
// the candidate screen, which shows it; an empty one is refused. Enter logs
// in; 返回 and Escape go back to where the candidate came from.
class LoginForm : public QWidget, public Ui::LoginForm
{
    Q_OBJECT
public:
    explicit LoginForm(QWidget *parent = nullptr);

    // The number typed, without surrounding blanks.
    QString candidateNumber() const;

signals:
    void mainHide();
    void showInfo();
    // The candidate leaves the simulated test before logging in.
    void back();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
};
