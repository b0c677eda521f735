#include "pageloadwaiter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

PageLoadWaiter::PageLoadWaiter(QWebView *view) : QObject(view), m_view(view)
{
    connect(view, &QWebView::loadFinished, this, [this] { m_finished = true; });
}

void PageLoadWaiter::arm()
{
    m_finished = false;
}

bool PageLoadWaiter::wait(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!m_finished && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    if (!m_finished)
        return false;
    // Asking for a layout metric makes the page lay out what is still pending.
    m_view->page()->mainFrame()->evaluateJavaScript(QStringLiteral("document.body ? document.body.offsetHeight : 0"));
    return true;
}
