#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;
class QPushButton;

// "考试日期": the day of the exam, from today on, or none. After exec(),
// date holds the choice: null for "清除".
class ExamDateDialog : public QDialog
{
    Q_OBJECT
public:
    ExamDateDialog(const QDate &current, const QDate &today, QWidget *parent = nullptr);

    QDate date;
    QDateEdit *dateEdit = nullptr;
    QPushButton *clearButton = nullptr;
};
