#include "pagescriptqueue.h"

#include <QWebFrame>
#include <QWebView>

namespace {

// The pages carry the page script library inline after the scripts they load
// from files, so its functions exist once everything before them has loaded.
// A replaced or blank page finishing late does not pass this.
bool scriptsReady(QWebView *view)
{
    return view->page()->mainFrame()
        ->evaluateJavaScript(QStringLiteral(
            "document.readyState !== 'loading' && typeof setCurrQuestionHS === 'function'"))
        .toBool();
}

} // namespace

PageScriptQueue::PageScriptQueue(QWebView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
{
    connect(view, &QWebView::loadFinished, this, [this]() { loadEnded(); });
    // A page set while the view's previous load is still under way may never
    // report its own end (the view reports the cancelled load only), so the
    // queue also looks for itself until the page is ready.
    m_poll.setInterval(20);
    connect(&m_poll, &QTimer::timeout, this, [this]() { loadEnded(); });
}

void PageScriptQueue::setHtml(const QString &html)
{
    m_waiting.clear();
    m_ready = false;
    m_view->setHtml(html);
    m_poll.start();
}

void PageScriptQueue::run(const QString &script)
{
    if (m_ready)
        m_view->page()->mainFrame()->evaluateJavaScript(script);
    else
        m_waiting << script;
}

void PageScriptQueue::loadEnded()
{
    if (m_ready || !scriptsReady(m_view))
        return;
    m_ready = true;
    m_poll.stop();
    const QStringList calls = m_waiting;
    m_waiting.clear();
    for (const QString &script : calls)
        m_view->page()->mainFrame()->evaluateJavaScript(script);
}
