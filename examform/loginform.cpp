#include "loginform.h"

#include "buttonartwork.h"
#include "enterkey.h"
#include "readingcomfort.h"

#include <QKeyEvent>
#include <QMessageBox>

LoginForm::LoginForm(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowTitle(QStringLiteral("考生登录"));
    setWindowFlags(Qt::FramelessWindowHint);
    // A screen of the simulated test: a test centre's colours in either theme.
    setPalette(ReadingComfort::dayPalette());
    pushButton->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/dl1.png"),
                                                      QStringLiteral(":/image/other/dl2.png")));
    pushButton_2->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/zdkh1.png"),
                                                        QStringLiteral(":/image/other/zdkh2.png")));
    pushButton->setToolTip(QStringLiteral("登录（回车）"));
    connect(bBack, &QPushButton::clicked, this, &LoginForm::back);
    setTabOrder(lineEdit, pushButton);
    setTabOrder(pushButton, pushButton_2);
    setTabOrder(pushButton_2, bBack);
    lineEdit->setFocus();
}

QString LoginForm::candidateNumber() const
{
    return lineEdit->text().trimmed();
}

void LoginForm::showEvent(QShowEvent *event)
{
    emit mainHide();
    QWidget::showEvent(event);
}

void LoginForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        emit back();
    else if (EnterKey::isEnter(event))
        EnterKey::press(this, [this] { on_pushButton_clicked(); });
    else
        QWidget::keyPressEvent(event);
}

void LoginForm::on_pushButton_clicked()
{
    if (candidateNumber().isEmpty()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("考生登录"), QStringLiteral("请输入准考证号。"),
                        QMessageBox::NoButton, this);
        box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box.exec();
        return;
    }
    emit showInfo();
}

void LoginForm::on_pushButton_2_clicked()
{
    lineEdit->setText(QStringLiteral("1001"));
}
