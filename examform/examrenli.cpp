#include "examrenli.h"

#include "constants.h"

ExamRenLi::ExamRenLi(int, int, int, int, int, QWidget *parent)
    : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setWindowTitle(productTitle);
}

void ExamRenLi::showEvent(QShowEvent *event)
{
    emit meHide();
    QWidget::showEvent(event);
}

void ExamRenLi::closeEvent(QCloseEvent *event)
{
    emit meShow();
    QWidget::closeEvent(event);
}
