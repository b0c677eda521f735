#include "pagescriptqueue.h"

#include <QWebFrame>
#include <QWebView>

PageScriptQueue::PageScriptQueue(QWebView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
{
    connect(view, &QWebView::loadStarted, this, [this]() { ++m_loadsUnderWay; });
    connect(view, &QWebView::loadFinished, this, [this]() { loadEnded(); });
}

void PageScriptQueue::setHtml(const QString &html)
{
    m_waiting.clear();
    m_view->setHtml(html);
}

void PageScriptQueue::run(const QString &script)
{
    if (loading())
        m_waiting << script;
    else
        m_view->page()->mainFrame()->evaluateJavaScript(script);
}

void PageScriptQueue::loadEnded()
{
    m_loadsUnderWay = qMax(0, m_loadsUnderWay - 1);
    if (loading())
        return;
    const QStringList calls = m_waiting;
    m_waiting.clear();
    for (const QString &script : calls)
        m_view->page()->mainFrame()->evaluateJavaScript(script);
}
