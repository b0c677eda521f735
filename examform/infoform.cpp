#include "infoform.h"

#include "buttonartwork.h"
#include "guidedialog.h"

InfoForm::InfoForm(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowTitle(QStringLiteral("考生信息确认"));
    setWindowFlags(Qt::FramelessWindowHint);
    pushButton->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/ys1.png"),
                                                      QStringLiteral(":/image/other/ys2.png")));
    pushButton_2->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/cxdl1.png"),
                                                        QStringLiteral(":/image/other/cxdl2.png")));
    pushButton_3->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/ks1.png"),
                                                        QStringLiteral(":/image/other/ks2.png")));
}

void InfoForm::setCandidateNumber(const QString &number)
{
    lNumber->setText(number);
}

// The real test centre's screen has this control; in practice it does nothing.
void InfoForm::formHide()
{
}

// "操作演示": how the exam window is used.
void InfoForm::on_pushButton_clicked()
{
    GuideDialog guide(this);
    guide.exec();
}

void InfoForm::on_pushButton_2_clicked()
{
    emit showLogin();
}

void InfoForm::on_pushButton_3_clicked()
{
    emit showExam();
}
