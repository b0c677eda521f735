#pragma once

#include "ui_infoform.h"

#include <QWidget>

// The candidate information screen of a simulated test: back to the login
// screen, or start the exam.
class InfoForm : public QWidget, public Ui::InfoForm
{
    Q_OBJECT
public:
    explicit InfoForm(QWidget *parent = nullptr);

    // The number the candidate logged in with, shown on the screen.
    void setCandidateNumber(const QString &number);

signals:
    void showLogin();
    void showExam();

private slots:
    void formHide();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
};
