#include "infoform.h"

InfoForm::InfoForm(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowTitle(QStringLiteral(" "));
    setWindowFlags(Qt::FramelessWindowHint);
    pushButton->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/other/ys1.png);}QPushButton:hover{border-image: url(:/image/other/ys2.png);}"
        "QPushButton:pressed{border-image: url(:/image/other/ys1.png);}"));
    pushButton_2->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/other/cxdl1.png);}QPushButton:hover{border-image: url(:/image/other/cxdl2.png);}"
        "QPushButton:pressed{border-image: url(:/image/other/cxdl1.png);}"));
    pushButton_3->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/other/ks1.png);}QPushButton:hover{border-image: url(:/image/other/ks2.png);}"
        "QPushButton:pressed{border-image: url(:/image/other/ks1.png);}"));
}

// The real test centre's screen has these controls; in practice they do nothing.
void InfoForm::formHide()
{
}

void InfoForm::on_pushButton_clicked()
{
}

void InfoForm::on_pushButton_2_clicked()
{
    emit showLogin();
}

void InfoForm::on_pushButton_3_clicked()
{
    emit showExam();
}
