#include "pageloadwaiter.h"

#include "pageview.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QTimer>
#include <memory>

namespace {

bool runUntil(const bool &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return done;
}

// How often a ready page is asked whether its images have come.
const int completePollMs = 2;

} // namespace

PageLoadWaiter::PageLoadWaiter(PageView *view) : QObject(view), m_view(view)
{
    connect(view, &PageView::pageReady, this, &PageLoadWaiter::pageReady);
    watchDrawing();
}

void PageLoadWaiter::arm()
{
    ++m_load;
    m_finished = false;
    m_painted = false;
}

void PageLoadWaiter::pageReady()
{
    checkComplete(++m_load);
}

void PageLoadWaiter::checkComplete(int load)
{
    // A waiter may go before its view answers.
    QPointer<PageLoadWaiter> self(this);
    m_view->runScript(QStringLiteral("document.readyState"), [self, load](const QVariant &state) {
        if (!self || load != self->m_load)
            return;
        if (state.toString() == QLatin1String("complete"))
            self->loaded();
        else
            QTimer::singleShot(completePollMs, self, [self, load] { self->checkComplete(load); });
    });
}

void PageLoadWaiter::loaded()
{
    m_finished = true;
    // What the engine draws next is the loaded page.
    m_painted = false;
    watchDrawing();
    m_drawing->update();
}

void PageLoadWaiter::watchDrawing()
{
    QWidget *drawing = m_view->inputWidget();
    if (drawing == m_drawing)
        return;
    if (m_drawing)
        m_drawing->removeEventFilter(this);
    m_drawing = drawing;
    drawing->installEventFilter(this);
}

bool PageLoadWaiter::wait(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    if (!runUntil(m_finished, timeoutMs))
        return false;
    // Asking for a layout metric makes the page lay out what is still pending.
    auto laidOut = std::make_shared<bool>(false);
    m_view->runScript(QStringLiteral("document.body ? document.body.offsetHeight : 0"),
                      [laidOut](const QVariant &) { *laidOut = true; });
    return runUntil(*laidOut, int(qMax<qint64>(1, deadline.remainingTime())));
}

bool PageLoadWaiter::waitPainted(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    return runUntil(m_finished, timeoutMs) && runUntil(m_painted, int(qMax<qint64>(1, deadline.remainingTime())));
}

bool PageLoadWaiter::waitNextPaint(int timeoutMs)
{
    m_painted = false;
    watchDrawing();
    m_drawing->update();
    return runUntil(m_painted, timeoutMs);
}

bool PageLoadWaiter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_drawing && event->type() == QEvent::Paint && m_finished)
        m_painted = true;
    return QObject::eventFilter(watched, event);
}
