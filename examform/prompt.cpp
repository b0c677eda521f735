#include "prompt.h"

Prompt::Prompt(QWidget *parent)
    : QDialog(parent)
{
    setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("提示"));
    setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("background-color: #addeec;"));
    pbOk->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/exam/know1.png);}QPushButton:hover{border-image: url(:/image/exam/know2.png);}"
        "QPushButton:pressed{border-image: url(:/image/exam/know1.png);}"));
}

void Prompt::showEvent(QShowEvent *event)
{
    lcaption->setText(caption);
    textEdit->setHtml(body);
    QDialog::showEvent(event);
}

void Prompt::on_pbOk_clicked()
{
    close();
}
