#include "windowdragger.h"

#include <QMouseEvent>
#include <QWidget>

void WindowDragger::startDrag(const QWidget *window, const QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging = true;
    const QPoint offset = event->globalPos() - window->frameGeometry().topLeft();
    dragOffsetX = offset.x();
    dragOffsetY = offset.y();
}

void WindowDragger::followDrag(QWidget *window, const QMouseEvent *event) const
{
    if (dragging && (event->buttons() & Qt::LeftButton) && !window->isMaximized()
        && dragOffsetY < dragStripHeight)
        window->move(event->globalPos() - QPoint(dragOffsetX, dragOffsetY));
}

void WindowDragger::endDrag()
{
    dragging = false;
    dragOffsetY = 0;
}
