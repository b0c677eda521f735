#include "loginform.h"

#include "buttonartwork.h"

LoginForm::LoginForm(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowTitle(QStringLiteral(" "));
    setWindowFlags(Qt::FramelessWindowHint);
    pushButton->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/dl1.png"),
                                                      QStringLiteral(":/image/other/dl2.png")));
    pushButton_2->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/zdkh1.png"),
                                                        QStringLiteral(":/image/other/zdkh2.png")));
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
