#pragma once

#include <QObject>

class QWebView;

// Waits for a web view to finish loading the page it was last given, images,
// style sheets and scripts included, and to lay it out. Arm it before the call
// that loads.
class PageLoadWaiter : public QObject
{
public:
    explicit PageLoadWaiter(QWebView *view);

    void arm();
    // Runs the event loop until the load has finished, then has the page laid
    // out; false after timeoutMs.
    bool wait(int timeoutMs = 30000);

private:
    QWebView *m_view;
    bool m_finished = false;
};
