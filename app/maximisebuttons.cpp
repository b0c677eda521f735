#include "maximisebuttons.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

QRect availableScreenArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

void fillAvailableArea(QWidget *window, QWidget *maxButton, QWidget *restButton)
{
    const QRect area = availableScreenArea();
    window->showMaximized();
    window->setGeometry(area);
    maxButton->hide();
    restButton->show();
}

} // namespace

namespace MaximiseButtons {

void maximise(QWidget *window, QWidget *maxButton, QWidget *restButton)
{
    fillAvailableArea(window, maxButton, restButton);
    window->showMaximized();
}

void restore(QWidget *window, QWidget *maxButton, QWidget *restButton)
{
    maxButton->show();
    restButton->hide();
    window->showNormal();
}

void keepMaximised(QWidget *window, QWidget *maxButton, QWidget *restButton)
{
    if (window->isMaximized())
        fillAvailableArea(window, maxButton, restButton);
}

} // namespace MaximiseButtons
