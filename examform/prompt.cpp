#include "prompt.h"

#include "centredonparent.h"
#include "readingcomfort.h"

#include <QTextDocument>
#include <QtMath>

Prompt::Prompt(QWidget *parent)
    : QDialog(parent)
{
    setupUi(this);
    CentredOnParent::frame(this);
    // The text is information to read, not to edit.
    textEdit->setReadOnly(true);
    setWindowTitle(QStringLiteral("提示"));
    setAutoFillBackground(false);
    // The text colour is named: under a style sheet the night palette would reach it.
    setStyleSheet(QStringLiteral("background-color: #addeec; color: #000000;"));
    // A dialog of the simulated test: a test centre's colours in either theme.
    setPalette(ReadingComfort::dayPalette());
    pbOk->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/exam/know1.png);}QPushButton:hover{border-image: url(:/image/exam/know2.png);}"
        "QPushButton:pressed{border-image: url(:/image/exam/know1.png);}"));
}

void Prompt::showEvent(QShowEvent *event)
{
    lcaption->setText(caption);
    textEdit->setHtml(body);
    // As tall as the text: one line gets a small box, a long text scrolls.
    QTextDocument *document = textEdit->document();
    const int margins = layout()->contentsMargins().left() + layout()->contentsMargins().right();
    document->setTextWidth(width() - margins - 2 * textEdit->frameWidth());
    const int textHeight = qCeil(document->size().height()) + 2 * textEdit->frameWidth();
    textEdit->setFixedHeight(qBound(textEdit->fontMetrics().height() * 2, textHeight, maximumTextHeight));
    // The dialog was centred at its former size: it keeps that centre.
    const QPoint centre = frameGeometry().center();
    adjustSize();
    move(pos() + centre - frameGeometry().center());
    QDialog::showEvent(event);
}

void Prompt::on_pbOk_clicked()
{
    close();
}
