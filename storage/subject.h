#pragma once

#include "ui_subject.h"

#include <QDialog>

// Asks which subject to study and prunes the question bank to it. Closing it
// while several subjects remain ends the program: it cannot go on without one.
class Subject : public QDialog, public Ui::Subject
{
    Q_OBJECT
public:
    explicit Subject(QWidget *parent = nullptr);

signals:
    // The bank holds at most one subject now.
    void restSubject();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_clicked();

private:
    void loadSubjects();
};
