#include "prompt.h"

#include "centredonparent.h"

Prompt::Prompt(QWidget *parent)
    : QDialog(parent)
{
    setupUi(this);
    CentredOnParent::frame(this);
    // The text is information to read, not to edit.
    textEdit->setReadOnly(true);
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
