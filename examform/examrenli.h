#pragma once

#include <QWidget>

// The exam window (shell until the full window lands).
class ExamRenLi : public QWidget
{
    Q_OBJECT
public:
    ExamRenLi(int left, int top, int width, int height, int number, QWidget *parent = nullptr);

    QString paperId;
    int examStatus = -1;

signals:
    void meShow();
    void meHide();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};
