#include "pageloadwaiter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

namespace {

bool runUntil(const bool &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return done;
}

} // namespace

PageLoadWaiter::PageLoadWaiter(QWebView *view) : QObject(view), m_view(view)
{
    connect(view, &QWebView::loadFinished, this, [this] {
        m_finished = true;
        // What WebKit draws next is the loaded page.
        m_painted = false;
        m_view->update();
    });
    view->installEventFilter(this);
}

void PageLoadWaiter::arm()
{
    m_finished = false;
    m_painted = false;
}

bool PageLoadWaiter::wait(int timeoutMs)
{
    if (!runUntil(m_finished, timeoutMs))
        return false;
    // Asking for a layout metric makes the page lay out what is still pending.
    m_view->page()->mainFrame()->evaluateJavaScript(QStringLiteral("document.body ? document.body.offsetHeight : 0"));
    return true;
}

bool PageLoadWaiter::waitPainted(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    return runUntil(m_finished, timeoutMs) && runUntil(m_painted, int(qMax<qint64>(1, deadline.remainingTime())));
}

bool PageLoadWaiter::waitNextPaint(int timeoutMs)
{
    m_painted = false;
    m_view->update();
    return runUntil(m_painted, timeoutMs);
}

bool PageLoadWaiter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Paint && m_finished)
        m_painted = true;
    return QObject::eventFilter(watched, event);
}
