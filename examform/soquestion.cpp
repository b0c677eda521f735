#include "soquestion.h"

#include "constants.h"

SoQuestion::SoQuestion(QWidget *parent)
    : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setWindowTitle(productTitle);
}

void SoQuestion::showEvent(QShowEvent *event)
{
    emit meHide();
    QWidget::showEvent(event);
}

void SoQuestion::closeEvent(QCloseEvent *event)
{
    emit meShow();
    QWidget::closeEvent(event);
}
