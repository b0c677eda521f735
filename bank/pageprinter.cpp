#include "pageprinter.h"

#include "pageview.h"

#include <QEventLoop>
#include <QPageLayout>
#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>
#include <memory>

namespace {

// Runs the event loop until finished() is called or the time is up; true when
// it was called.
class BoundedWait
{
public:
    explicit BoundedWait(int timeoutMs) { QTimer::singleShot(timeoutMs, &m_loop, &QEventLoop::quit); }
    void finished()
    {
        m_done = true;
        m_loop.quit();
    }
    bool wait()
    {
        if (!m_done)
            m_loop.exec();
        return m_done;
    }

private:
    QEventLoop m_loop;
    bool m_done = false;
};

} // namespace

bool PagePrinter::print(const QString &html, const QUrl &baseUrl, QPrinter *printer, int timeoutMs, QWidget *parent)
{
    std::unique_ptr<QProgressDialog> progress;
    if (parent) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("正在排版，请稍候……"), QString(), 0, 0, parent);
        progress->setWindowTitle(QStringLiteral("打印"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
    }
    PageView view;
    // Paper is white and printed at its own size, whatever the reader's look.
    view.setReadingLook(PageView::ReadingLook::None);
    view.resize(900, 1200);
    BoundedWait loaded(timeoutMs);
    QObject::connect(&view, &PageView::pageReady, [&loaded] { loaded.finished(); });
    view.setHtml(html, baseUrl);
    if (view.loading() && !loaded.wait())
        return false;
    // The page is printed once everything it loads (style sheets, pictures)
    // is in: an engine lays nothing out while a style sheet is still due.
    BoundedWait complete(timeoutMs);
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&view, &complete, &poll] {
        poll.stop();
        view.runScript(QStringLiteral("document.readyState"), [&complete, &poll](const QVariant &state) {
            if (state.toString() == QLatin1String("complete"))
                complete.finished();
            else
                poll.start();
        });
    });
    poll.start();
    if (!complete.wait())
        return false;
    // A page that can lays itself out in sheets of the printer's page, with
    // the name and page numbers no engine prints by itself; a few pixels
    // spare keep a sheet from running over its page.
    const QRectF area = printer->pageLayout().paintRect(QPageLayout::Inch);
    const qreal pixelsPerInch = PageView::printedPixelsPerInch();
    const int width = int(area.width() * pixelsPerInch);
    const int height = int(area.height() * pixelsPerInch) - 6;
    BoundedWait laidOut(timeoutMs);
    view.runScript(QStringLiteral("typeof tesseraPaginate == 'function' ? tesseraPaginate(%1, %2) : 0").arg(width).arg(height),
                   [&laidOut](const QVariant &) { laidOut.finished(); });
    if (!laidOut.wait())
        return false;

    BoundedWait printed(timeoutMs);
    bool ok = false;
    const auto done = [&ok, &printed](bool worked) {
        ok = worked;
        printed.finished();
    };
    if (progress)
        progress->setLabelText(printer->outputFormat() == QPrinter::PdfFormat ? QStringLiteral("正在生成 PDF 文件……")
                                                                              : QStringLiteral("正在打印……"));
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty())
        view.printToPdf(printer->outputFileName(), printer->pageLayout(), done);
    else
        view.print(printer, done);
    return printed.wait() && ok;
}
