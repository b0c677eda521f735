#include "webkitpageengine.h"

#include "localonlynetwork.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

namespace {

// A page that hands its scripts' messages to the engine.
class MessagePage : public QWebPage
{
public:
    MessagePage(PageEngine *engine, QObject *parent)
        : QWebPage(parent)
        , m_engine(engine)
    {
    }

protected:
    void javaScriptConsoleMessage(const QString &message, int line, const QString &) override
    {
        emit m_engine->scriptMessage(message, line);
    }

private:
    PageEngine *m_engine;
};

} // namespace

PageEngine *PageEngine::create(QWidget *parent)
{
    return new WebKitPageEngine(parent);
}

void PageEngine::prepareProcess()
{
}

QString PageEngine::name()
{
    return QStringLiteral("QtWebKit");
}

qreal PageEngine::printedPixelsPerInch()
{
    // QtWebKit measures the printed page at Qt's default resolution (the
    // screen's) and lays it out a quarter wider, its least shrink on paper.
    int dpi = 96;
    if (!QCoreApplication::testAttribute(Qt::AA_Use96Dpi)) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            dpi = qRound(screen->logicalDotsPerInchY());
    }
    return dpi * 1.25;
}

WebKitPageEngine::WebKitPageEngine(QWidget *parent)
    : PageEngine(parent)
    , m_view(new QWebView(parent))
{
    m_view->setPage(new MessagePage(this, m_view));
    QWebSettings *settings = m_view->settings();
    settings->setAttribute(QWebSettings::JavascriptEnabled, true);
    settings->setAttribute(QWebSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebSettings::PluginsEnabled, false);
    m_view->page()->setNetworkAccessManager(new LocalOnlyNetwork(m_view->page()));
    connect(m_view->page()->mainFrame(), &QWebFrame::javaScriptWindowObjectCleared, this,
            &WebKitPageEngine::publishAll);
    connect(m_view, &QWebView::loadFinished, this, &PageEngine::loadFinished);
}

QWidget *WebKitPageEngine::view() const
{
    return m_view;
}

QWidget *WebKitPageEngine::inputWidget() const
{
    return m_view;
}

void WebKitPageEngine::setHtml(const QString &html, const QUrl &baseUrl)
{
    m_view->setHtml(html, baseUrl);
}

void WebKitPageEngine::runJavaScript(const QString &script, Continuation then)
{
    const QVariant value = m_view->page()->mainFrame()->evaluateJavaScript(script);
    if (then)
        then(value);
}

void WebKitPageEngine::publish(const QString &name, QObject *object)
{
    m_published.insert(name, object);
    m_view->page()->mainFrame()->addToJavaScriptWindowObject(name, object);
}

void WebKitPageEngine::publishAll()
{
    for (auto it = m_published.cbegin(); it != m_published.cend(); ++it)
        if (it.value())
            m_view->page()->mainFrame()->addToJavaScriptWindowObject(it.key(), it.value());
}

void WebKitPageEngine::setZoomFactor(qreal factor)
{
    m_view->setZoomFactor(factor);
}

qreal WebKitPageEngine::zoomFactor() const
{
    return m_view->zoomFactor();
}

void WebKitPageEngine::print(QPrinter *printer, Done done)
{
    m_view->page()->mainFrame()->print(printer);
    if (done)
        done(true);
}

void WebKitPageEngine::printToPdf(const QString &path, const QPageLayout &layout, Done done)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageLayout(layout);
    m_view->page()->mainFrame()->print(&printer);
    const bool written = printer.printerState() != QPrinter::Error;
    if (done)
        done(written);
}
