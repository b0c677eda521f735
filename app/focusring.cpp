#include "focusring.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace {

// The one ring; it lives in the window of the control it surrounds and goes
// with that window.
QPointer<FocusRing> ring;

} // namespace

FocusRing::FocusRing(QWidget *window)
    : QWidget(window)
{
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void FocusRing::followApplicationFocus()
{
    static bool following = false;
    if (following)
        return;
    following = true;
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget *, QWidget *now) { follow(now); });
    follow(QApplication::focusWidget());
}

FocusRing *FocusRing::current()
{
    return ring && ring->isVisible() ? ring.data() : nullptr;
}

bool FocusRing::wantsRing(const QWidget *widget)
{
    if (!widget || widget->isWindow() || widget->focusPolicy() == Qt::NoFocus)
        return false;
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (w->inherits("PageView"))
            return false;
    }
    return true;
}

void FocusRing::follow(QWidget *now)
{
    if (!wantsRing(now)) {
        if (ring)
            ring->attach(nullptr);
        return;
    }
    if (!ring || ring->parentWidget() != now->window()) {
        if (ring)
            ring->deleteLater();
        ring = new FocusRing(now->window());
    }
    ring->attach(now);
}

void FocusRing::attach(QWidget *target)
{
    if (m_target)
        m_target->removeEventFilter(this);
    m_target = target;
    if (!target) {
        hide();
        return;
    }
    target->installEventFilter(this);
    place();
}

void FocusRing::place()
{
    if (!m_target || !m_target->isVisible()) {
        hide();
        return;
    }
    const QPoint topLeft = m_target->mapTo(parentWidget(), QPoint(0, 0));
    setGeometry(QRect(topLeft, m_target->size()).adjusted(-margin, -margin, margin, margin));
    show();
    raise();
    update();
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Amber on a dark outline: seen on the program's light and dark artwork alike.
    painter.setPen(QPen(QColor(0x21, 0x41, 0x4a), 1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.setPen(QPen(QColor(0xf3, 0x9c, 0x12), 2));
    painter.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), 3, 3);
}
