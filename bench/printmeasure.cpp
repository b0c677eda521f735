#include "printmeasure.h"

#include "pageloadwaiter.h"
#include "pageprinter.h"
#include "pageview.h"
#include "printdocument.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <memory>

namespace {

const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                     QPageLayout::Millimeter);

bool written(const QString &path)
{
    return QFileInfo(path).size() > 0;
}

// The floor: view (shown) loads html and prints it to path. Milliseconds, or -1.
double printInBareView(PageView &view, const QString &html, const QUrl &base, const QString &path)
{
    PageLoadWaiter loaded(&view);
    QElapsedTimer timer;
    timer.start();
    view.setHtml(html, base);
    if (!loaded.wait(60000))
        return -1;
    // Shared, as the engine may answer after a timeout has given up on it.
    auto finished = std::make_shared<int>(0); // 0 waiting, 1 written, 2 failed
    view.printToPdf(path, a4, [finished](bool ok) { *finished = ok ? 1 : 2; });
    const QDeadlineTimer deadline(60000);
    while (*finished == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return *finished == 1 && written(path) ? elapsedMs(timer) : -1;
}

} // namespace

PrintMeasure::PrintMeasure(const BenchContext &context) : m_context(context) {}

MeasureResult PrintMeasure::printPdf()
{
    MeasureResult result(QStringLiteral("print_pdf"));
    const QUrl base = QUrl::fromLocalFile(m_context.appDirSlash);
    const auto buildPage = [this] {
        return PrintDocument(m_context.db, m_context.appDirSlash)
            .paper(m_context.paperId, PrintDocument::Answers::AfterEach);
    };
    QTemporaryDir files;
    const QString html = buildPage();
    if (!files.isValid() || html.isEmpty()) {
        result.failed = true;
        return result;
    }
    PageView floorView;
    floorView.resize(900, 1200);
    floorView.show();
    int run = 0;
    qint64 pdfBytes = 0;
    result.collect(
        m_context.runs,
        [&] {
            const QString path = files.filePath(QStringLiteral("ours-%1.pdf").arg(++run));
            QElapsedTimer timer;
            timer.start();
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            printer.setPageLayout(a4);
            const bool printed = PagePrinter::print(buildPage(), base, &printer, 60000);
            const double ms = elapsedMs(timer);
            pdfBytes = QFileInfo(path).size();
            return printed && written(path) ? ms : -1.0;
        },
        [&] { return printInBareView(floorView, html, base, files.filePath(QStringLiteral("floor-%1.pdf").arg(run))); });
    result.extras << QStringLiteral("pdf_kb=%1").arg(pdfBytes / 1024)
                  << QStringLiteral("page_kb=%1").arg(html.toUtf8().size() / 1024);
    return result;
}
