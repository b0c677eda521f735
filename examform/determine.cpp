#include "determine.h"

#include "centredonparent.h"
#include "constants.h"
#include "readingcomfort.h"

#include <QTextDocument>

Determine::Determine(QWidget *parent)
    : QDialog(parent)
{
    setupUi(this);
    CentredOnParent::frame(this);
    // The text is information to read, not to edit.
    textEdit->setReadOnly(true);
    setWindowTitle(productTitle);
    setAutoFillBackground(false);
    // The text colour is named: under a style sheet the night palette would reach it.
    setStyleSheet(QStringLiteral("background-color: #addeec; color: #000000;"));
    // A dialog of the simulated test: a test centre's colours in either theme.
    setPalette(ReadingComfort::dayPalette());
    pbYes->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/exam/ok1.png);}QPushButton:hover{border-image: url(:/image/exam/ok2.png);}"
        "QPushButton:pressed{border-image: url(:/image/exam/ok1.png);}"));
    pbNo->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/exam/no1.png);}QPushButton:hover{border-image: url(:/image/exam/no2.png);}"
        "QPushButton:pressed{border-image: url(:/image/exam/no1.png);}"));
}

void Determine::showEvent(QShowEvent *event)
{
    textEdit->setHtml(body);
    // A scroll bar only when the text does not fit the box.
    const int inside = 2 * textEdit->frameWidth();
    textEdit->document()->setTextWidth(textEdit->width() - inside);
    textEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textEdit->setVerticalScrollBarPolicy(textEdit->document()->size().height() <= textEdit->height() - inside
                                             ? Qt::ScrollBarAlwaysOff
                                             : Qt::ScrollBarAsNeeded);
    QDialog::showEvent(event);
}

void Determine::on_pbYes_clicked()
{
    result = true;
    close();
}

void Determine::on_pbNo_clicked()
{
    result = false;
    close();
}
