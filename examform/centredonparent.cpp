#include "centredonparent.h"

#include <QEvent>
#include <QWidget>

CentredOnParent::CentredOnParent(QWidget *dialog)
    : QObject(dialog)
    , m_dialog(dialog)
{
    dialog->installEventFilter(this);
    if (QWidget *parent = dialog->parentWidget()) {
        m_window = parent->window();
        m_window->installEventFilter(this);
    }
}

void CentredOnParent::frame(QWidget *dialog)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint
                           | (dialog->parentWidget() ? Qt::WindowFlags() : Qt::WindowStaysOnTopHint));
    new CentredOnParent(dialog);
}

bool CentredOnParent::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((watched == m_dialog && type == QEvent::Show)
        || (watched == m_window && (type == QEvent::Move || type == QEvent::Resize)))
        centre();
    return QObject::eventFilter(watched, event);
}

void CentredOnParent::centre()
{
    QWidget *parent = m_dialog->parentWidget();
    if (!m_window || !parent || !m_dialog->isWindow())
        return;
    QRect frame = m_dialog->frameGeometry();
    frame.moveCenter(QRect(parent->mapToGlobal(QPoint(0, 0)), parent->size()).center());
    m_dialog->move(frame.topLeft());
}
