#include "infoform.h"

#include "buttonartwork.h"

InfoForm::InfoForm(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowTitle(QStringLiteral(" "));
    setWindowFlags(Qt::FramelessWindowHint);
    pushButton->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/ys1.png"),
                                                      QStringLiteral(":/image/other/ys2.png")));
    pushButton_2->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/cxdl1.png"),
                                                        QStringLiteral(":/image/other/cxdl2.png")));
    pushButton_3->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/ks1.png"),
                                                        QStringLiteral(":/image/other/ks2.png")));
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
