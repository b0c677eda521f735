#include "pageprinter.h"

#include <QEventLoop>
#include <QPrinter>
#include <QTimer>
#include <QWebFrame>
#include <QWebPage>

bool PagePrinter::print(const QString &html, const QUrl &baseUrl, QPrinter *printer, int timeoutMs)
{
    QWebPage page;
    QEventLoop loop;
    bool loaded = false;
    QObject::connect(&page, &QWebPage::loadFinished, &loop, [&loaded, &loop] {
        loaded = true;
        loop.quit();
    });
    page.mainFrame()->setHtml(html, baseUrl);
    if (!loaded) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!loaded)
        return false;
    page.mainFrame()->print(printer);
    return true;
}
