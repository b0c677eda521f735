#include "pageview.h"

#include "backend/pageengine.h"
#include "pagetext.h"
#include "webviewguard.h"

#include <QChildEvent>
#include <QEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Marks the page with its number, so that a check never mistakes the page
// before for the one just set, and keeps the guard in the page itself: no
// context menu, nothing copied or dragged out.
QString pageStamp(quint64 page, PageTheme::Theme theme)
{
    return PageTheme::pageHead(theme) + QStringLiteral(
               "<script>window.tesseraPage=%1;"
               "['contextmenu','copy','cut','dragstart'].forEach(function(n){"
               "document.addEventListener(n,function(e){e.preventDefault();},true);});</script>")
        .arg(page);
}

// The stamp goes first in the head, or after a document type declaration,
// which must stay first for the page's layout mode.
QString stamped(const QString &html, quint64 page, PageTheme::Theme theme)
{
    static const QRegularExpression head(QStringLiteral("<head(\\s[^>]*)?>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression doctype(QStringLiteral("^\\s*\\x{feff}?<!doctype[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch match = head.match(html);
    if (!match.hasMatch())
        match = doctype.match(html);
    QString out = html;
    return out.insert(match.hasMatch() ? match.capturedEnd() : 0, pageStamp(page, theme));
}

// The reader's look, and the views that follow it.
qreal readerZoom = 1.0;
PageTheme::Theme readerTheme = PageTheme::Theme::Day;
QList<PageView *> &liveViews()
{
    static QList<PageView *> views;
    return views;
}

} // namespace

PageView::PageView(QWidget *parent)
    : QWidget(parent)
    , m_engine(PageEngine::create(this))
    , m_poll(new QTimer(this))
{
    // A page takes whatever room its window's layout leaves, on either
    // engine: Qt WebEngine's own view does not ask for it, and the labels
    // beside a view would grow instead.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_engine->view());
    setFocusProxy(m_engine->view());
    guard(m_engine->view());
    connect(m_engine, &PageEngine::loadFinished, this, &PageView::engineLoaded);
    connect(m_engine, &PageEngine::scriptMessage, this, &PageView::scriptMessage);
    // A page set while the previous one still loads may never report its own
    // end, so a page not yet ready is also looked at now and then.
    m_poll->setInterval(20);
    connect(m_poll, &QTimer::timeout, this, &PageView::checkReady);
    liveViews().append(this);
    m_engine->setZoomFactor(readingZoom());
}

PageView::~PageView()
{
    // Answers still on their way find no view: an engine may hand them over
    // while its page is deleted, after the window that asked is gone.
    m_closing = true;
    liveViews().removeAll(this);
    disconnect(m_engine, nullptr, this, nullptr);
}

void PageView::prepareProcess()
{
    PageEngine::prepareProcess();
}

QString PageView::engineName()
{
    return PageEngine::name();
}

void PageView::setHtml(const QString &html, const QUrl &baseUrl)
{
    ++m_page;
    m_waiting.clear();
    m_ready = false;
    m_checking = false;
    const QUrl base = baseUrl.isEmpty() ? QUrl(appFileUrlBase()) : baseUrl;
    m_engine->setHtml(stamped(html, m_page, theme()), base);
    checkReady();
    if (!m_ready)
        m_poll->start();
}

void PageView::runScript(const QString &script)
{
    runScript(script, Continuation());
}

void PageView::runScript(const QString &script, Continuation then)
{
    if (!m_ready) {
        m_waiting.append({script, std::move(then)});
        return;
    }
    if (!then) {
        m_engine->runJavaScript(script, Continuation());
        return;
    }
    QPointer<PageView> self(this);
    m_engine->runJavaScript(script, [self, then](const QVariant &value) {
        if (self && !self->m_closing)
            then(value);
    });
}

void PageView::engineLoaded()
{
    checkReady();
}

void PageView::checkReady()
{
    if (m_ready || m_checking)
        return;
    m_checking = true;
    const quint64 page = m_page;
    QPointer<PageView> self(this);
    m_engine->runJavaScript(
        QStringLiteral("window.tesseraPage === %1 && document.readyState !== 'loading'").arg(page),
        [self, page](const QVariant &value) {
            if (!self || self->m_closing || self->m_page != page)
                return;
            self->m_checking = false;
            if (value.toBool())
                self->becomeReady();
        });
}

void PageView::becomeReady()
{
    if (m_ready)
        return;
    m_ready = true;
    m_poll->stop();
    // An engine may forget the zoom when it loads another page (and keeps it
    // in single precision).
    if (qAbs(m_engine->zoomFactor() - readingZoom()) > 0.001)
        m_engine->setZoomFactor(readingZoom());
    const auto waiting = m_waiting;
    m_waiting.clear();
    for (const auto &call : waiting)
        runScript(call.first, call.second);
    emit pageReady();
}

void PageView::publish(const QString &name, QObject *object)
{
    m_engine->publish(name, object);
}

QSize PageView::sizeHint() const
{
    return QSize(800, 600);
}

void PageView::setZoomFactor(qreal factor)
{
    m_engine->setZoomFactor(factor);
}

qreal PageView::zoomFactor() const
{
    return m_engine->zoomFactor();
}

void PageView::setReadingLook(ReadingLook look)
{
    m_look = look;
    applyReadingLook();
}

void PageView::setReaderLook(qreal zoom, PageTheme::Theme theme)
{
    readerZoom = zoom;
    readerTheme = theme;
    for (PageView *view : liveViews())
        view->applyReadingLook();
}

PageTheme::Theme PageView::theme() const
{
    return m_look == ReadingLook::Full ? readerTheme : PageTheme::Theme::Day;
}

qreal PageView::readingZoom() const
{
    return m_look == ReadingLook::None ? 1.0 : readerZoom;
}

void PageView::applyReadingLook()
{
    m_engine->setZoomFactor(readingZoom());
    runScript(PageTheme::switchScript(theme()));
}

QWidget *PageView::inputWidget() const
{
    return m_engine->inputWidget();
}

qreal PageView::printedPixelsPerInch()
{
    return PageEngine::printedPixelsPerInch();
}

void PageView::print(QPrinter *printer, Done done)
{
    m_engine->print(printer, std::move(done));
}

void PageView::printToPdf(const QString &path, const QPageLayout &layout, Done done)
{
    m_engine->printToPdf(path, layout, std::move(done));
}

void PageView::guard(QWidget *widget)
{
    widget->setContextMenuPolicy(Qt::NoContextMenu);
    widget->installEventFilter(this);
    for (QObject *child : widget->children())
        if (child->isWidgetType())
            guard(static_cast<QWidget *>(child));
}

bool PageView::eventFilter(QObject *watched, QEvent *event)
{
    // The engine may put the widget that takes input inside its view later.
    if (event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType())
            guard(static_cast<QWidget *>(child));
    }
    if (watched->isWidgetType() && WebViewGuard::swallows(event, {static_cast<QWidget *>(watched)}))
        return true;
    return QWidget::eventFilter(watched, event);
}
