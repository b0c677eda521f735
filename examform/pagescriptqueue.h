#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class QWebView;

// Runs page-function calls in a web view whose page the program builds with
// setHtml. The page loads its scripts from files beside the program after
// setHtml returns, so calls made before the page has finished loading (and
// defined the page functions) wait for it and then run in order.
class PageScriptQueue : public QObject
{
    Q_OBJECT
public:
    explicit PageScriptQueue(QWebView *view, QObject *parent = nullptr);

    // Shows a new page; calls still waiting for the previous page are dropped.
    void setHtml(const QString &html);
    // Runs the call now, or once the page has loaded.
    void run(const QString &script);
    // The page set here has not finished loading yet.
    bool loading() const { return !m_ready; }

private:
    void loadEnded();

    QWebView *m_view;
    bool m_ready = true;
    QStringList m_waiting;
    QTimer m_poll;
};
