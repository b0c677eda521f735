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
        ->evaluateJavaScript(QStringLiteral("typeof setCurrQuestionHS === 'function'"))
        .toBool();
}

} // namespace

PageScriptQueue::PageScriptQueue(QWebView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
{
    connect(view, &QWebView::loadFinished, this, [this]() { loadEnded(); });
}

void PageScriptQueue::setHtml(const QString &html)
{
    m_waiting.clear();
    m_ready = false;
    m_view->setHtml(html);
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
    const QStringList calls = m_waiting;
    m_waiting.clear();
    for (const QString &script : calls)
        m_view->page()->mainFrame()->evaluateJavaScript(script);
}
