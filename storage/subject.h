#pragma once

#include "ui_subject.h"

#include <QDialog>

// Asks which subject to study and remembers it; every subject stays in the
// bank. Closing it while several subjects are there and none is chosen ends the
// program: it cannot go on without one.
class Subject : public QDialog, public Ui::Subject
{
    Q_OBJECT
public:
    explicit Subject(QWidget *parent = nullptr);

signals:
    // A subject is current now (chosen, or the bank's only one).
    void restSubject();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_clicked();

private:
    void loadSubjects();
};
