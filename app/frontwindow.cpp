#include "frontwindow.h"

#include <QApplication>
#include <QWidget>

namespace {

QWidget *frontWindow(QWidget *mainWindow)
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (mainWindow->isVisible())
        return mainWindow;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = widget->windowType();
        if (widget->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            return widget;
    }
    return mainWindow; // nothing shown: the main window comes back
}

} // namespace

void bringProgramForward(QWidget *mainWindow)
{
    QWidget *front = frontWindow(mainWindow);
    front->setWindowState(front->windowState() & ~Qt::WindowMinimized);
    front->show();
    front->raise();
    front->activateWindow();
}
