#include "webenginepageengine.h"

#include "localonlyinterceptor.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Pages are handed over inline up to this size; the engine refuses larger ones.
constexpr int largestInlinePage = 1536 * 1024;
// Paper is printed at most at this resolution: the engine draws every page as
// a picture first.
constexpr int largestPrintDpi = 300;
const QString bridgeScriptName = QStringLiteral("tessera-bridge");

// The program's one profile: every view shares its renderer and its memory.
QWebEngineProfile *sharedProfile()
{
    static QWebEngineProfile *profile = [] {
        QWebEngineProfile *p = QWebEngineProfile::defaultProfile();
        p->setUrlRequestInterceptor(new LocalOnlyInterceptor(p));
        p->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        p->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        QWebEngineSettings *settings = p->settings();
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        return p;
    }();
    return profile;
}

// Until the channel is open, calls of the page's scripts on a published
// object wait in a queue; then they reach the object in order.
QString bridgeScript(const QStringList &names)
{
    QFile channel(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    const QString channelScript = channel.open(QIODevice::ReadOnly) ? QString::fromUtf8(channel.readAll()) : QString();
    const QString list = QStringLiteral("['") + names.join(QStringLiteral("','")) + QStringLiteral("']");
    return channelScript + QStringLiteral(R"(
(function () {
  var names = %1, waiting = [];
  names.forEach(function (name) {
    window[name] = new Proxy({}, { get: function (target, method) {
      if (typeof method !== 'string' || method === 'then') return undefined;
      return function () { waiting.push([name, method, Array.prototype.slice.call(arguments)]); };
    } });
  });
  new QWebChannel(qt.webChannelTransport, function (channel) {
    names.forEach(function (name) { window[name] = channel.objects[name]; });
    waiting.forEach(function (call) {
      var object = window[call[0]];
      if (object && typeof object[call[1]] === 'function') object[call[1]].apply(object, call[2]);
    });
    waiting = [];
  });
})();
)").arg(list);
}

// A large page read from a file keeps its base through a base element.
QString withBase(const QString &html, const QUrl &baseUrl)
{
    static const QRegularExpression head(QStringLiteral("<head(\\s[^>]*)?>"), QRegularExpression::CaseInsensitiveOption);
    const QString base = QStringLiteral("<base href=\"%1\">").arg(baseUrl.toString(QUrl::FullyEncoded));
    const QRegularExpressionMatch match = head.match(html);
    QString out = html;
    return match.hasMatch() ? out.insert(match.capturedEnd(), base) : base + out;
}

// A page that hands its scripts' messages to the engine.
class MessagePage : public QWebEnginePage
{
public:
    MessagePage(PageEngine *engine, QWebEngineProfile *profile, QObject *parent)
        : QWebEnginePage(profile, parent)
        , m_engine(engine)
    {
    }

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int line,
                                  const QString &) override
    {
        emit m_engine->scriptMessage(message, line);
    }

private:
    PageEngine *m_engine;
};

} // namespace

PageEngine *PageEngine::create(QWidget *parent)
{
    return new WebEnginePageEngine(parent);
}

void PageEngine::prepareProcess()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The program's pages are one site: one renderer serves every view.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--renderer-process-limit"))
        flags += " --renderer-process-limit=1";
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && !flags.contains("--disable-gpu"))
        flags += " --disable-gpu";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
}

QString PageEngine::name()
{
    return QStringLiteral("Qt WebEngine");
}

qreal PageEngine::printedPixelsPerInch()
{
    // Chromium lays paper out in CSS pixels of a 96th of an inch.
    return 96.0;
}

WebEnginePageEngine::WebEnginePageEngine(QWidget *parent)
    : PageEngine(parent)
    , m_view(new QWebEngineView(parent))
    , m_page(new MessagePage(this, sharedProfile(), m_view))
    , m_channel(new QWebChannel(m_page))
{
    m_view->setPage(m_page);
    m_page->setWebChannel(m_channel);
    connect(m_page, &QWebEnginePage::loadFinished, this, &PageEngine::loadFinished);
}

WebEnginePageEngine::~WebEnginePageEngine() = default;

QWidget *WebEnginePageEngine::view() const
{
    return m_view;
}

QWidget *WebEnginePageEngine::inputWidget() const
{
    return m_view->focusProxy() ? m_view->focusProxy() : m_view;
}

void WebEnginePageEngine::setHtml(const QString &html, const QUrl &baseUrl)
{
    const QByteArray bytes = html.toUtf8();
    if (bytes.size() <= largestInlinePage) {
        m_page->setHtml(html, baseUrl);
        return;
    }
    if (!m_largePages)
        m_largePages = std::make_unique<QTemporaryDir>();
    // A new name for every page, so that the engine never takes it for the one before.
    static int serial = 0;
    QFile file(m_largePages->filePath(QStringLiteral("page-%1.html").arg(++serial)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(withBase(html, baseUrl).toUtf8()) < 0) {
        m_page->setHtml(QString(), baseUrl);
        return;
    }
    file.close();
    QFile::remove(m_largePages->filePath(QStringLiteral("page-%1.html").arg(serial - 1)));
    m_page->load(QUrl::fromLocalFile(file.fileName()));
}

void WebEnginePageEngine::runJavaScript(const QString &script, Continuation then)
{
    if (!then) {
        m_page->runJavaScript(script);
        return;
    }
    m_page->runJavaScript(script, [then](const QVariant &value) { then(value); });
}

void WebEnginePageEngine::publish(const QString &name, QObject *object)
{
    m_channel->registerObject(name, object);
    if (!m_published.contains(name))
        m_published << name;
    injectBridge();
}

void WebEnginePageEngine::injectBridge()
{
    QWebEngineScriptCollection &scripts = m_page->scripts();
    for (const QWebEngineScript &old : scripts.findScripts(bridgeScriptName))
        scripts.remove(old);
    QWebEngineScript script;
    script.setName(bridgeScriptName);
    script.setSourceCode(bridgeScript(m_published));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    scripts.insert(script);
}

void WebEnginePageEngine::setZoomFactor(qreal factor)
{
    m_view->setZoomFactor(factor);
}

qreal WebEnginePageEngine::zoomFactor() const
{
    return m_view->zoomFactor();
}

void WebEnginePageEngine::print(QPrinter *printer, Done done)
{
    if (printer->outputFormat() == QPrinter::NativeFormat && printer->resolution() > largestPrintDpi)
        printer->setResolution(largestPrintDpi);
    m_page->print(printer, [done](bool ok) {
        if (done)
            done(ok);
    });
}

void WebEnginePageEngine::printToPdf(const QString &path, const QPageLayout &layout, Done done)
{
    auto *connection = new QMetaObject::Connection;
    *connection = connect(m_page, &QWebEnginePage::pdfPrintingFinished, this,
                          [connection, done](const QString &, bool ok) {
                              disconnect(*connection);
                              delete connection;
                              if (done)
                                  done(ok);
                          });
    m_page->printToPdf(path, layout);
}
