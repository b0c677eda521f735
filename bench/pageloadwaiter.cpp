#include "pageloadwaiter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWebView>

PageLoadWaiter::PageLoadWaiter(QWebView *view) : QObject(view)
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
    return m_finished;
}
