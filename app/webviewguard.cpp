#include "webviewguard.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace WebViewGuard {

bool swallows(QEvent *event, std::initializer_list<QWidget *> views)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() != Qt::RightButton)
            return false;
        for (QWidget *view : views)
            view->setContextMenuPolicy(Qt::NoContextMenu);
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    case QEvent::KeyPress:
        return static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy);
    default:
        return false;
    }
}

} // namespace WebViewGuard
