#include "loginform.h"

LoginForm::LoginForm(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowTitle(QStringLiteral(" "));
    setWindowFlags(Qt::FramelessWindowHint);
    pushButton->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/other/dl1.png);}QPushButton:hover{border-image: url(:/image/other/dl2.png);}"
        "QPushButton:pressed{border-image: url(:/image/other/dl1.png);}"));
    pushButton_2->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/other/zdkh1.png);}QPushButton:hover{border-image: url(:/image/other/zdkh2.png);}"
        "QPushButton:pressed{border-image: url(:/image/other/zdkh1.png);}"));
}

void LoginForm::showEvent(QShowEvent *event)
{
    emit mainHide();
    QWidget::showEvent(event);
}

void LoginForm::on_pushButton_clicked()
{
    emit showInfo();
}

void LoginForm::on_pushButton_2_clicked()
{
    lineEdit->setText(QStringLiteral("1001"));
}
