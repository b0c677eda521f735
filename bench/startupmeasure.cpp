#include "startupmeasure.h"

#include "apppaths.h"
#include "constants.h"
#include "dbconnection.h"
#include "homepages.h"
#include "mainwindow.h"
#include "pageloadwaiter.h"
#include "pageview.h"
#include "peakrss.h"
#include "processtreememory.h"
#include "singleinstance.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// The memory a start-up reports, as the bare program of each engine measures
// it: the peak resident memory of the program on QtWebKit; on Qt WebEngine,
// whose pages live in helper processes, the PSS of the program and its
// helpers once the page is painted.
long startupMemoryKb()
{
    return PageView::engineName() == QLatin1String("Qt WebEngine") ? ProcessTreeMemory::treePssKb() : ownPeakRssKb();
}

} // namespace

StartupMeasure::StartupMeasure(const BenchContext &context) : m_context(context) {}

int StartupMeasure::runChild(const QString &bankDir)
{
    // As the program's main does, on the generated bank.
    QApplication::setWindowIcon(QIcon::fromTheme(AppPaths::desktopId, QIcon(QStringLiteral(":/image/appicon.png"))));
    SingleInstance instance(bankDir);
    if (!instance.claim())
        return 1;
    DbConnection::instance(bankDir, true);
    MainWindow window;
    auto *view = window.findChild<PageView *>(QStringLiteral("mainWebView"));
    if (!view)
        return 1;
    PageLoadWaiter waiter(view);
    window.show();
    if (!waiter.waitPainted())
        return 1;
    QTextStream(stdout) << "painted peak_rss_kb=" << startupMemoryKb() << Qt::endl;
    return 0;
}

double StartupMeasure::spawn(const QString &program, const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(program, arguments);
    QByteArray output;
    double ms = -1;
    while (ms < 0 && child.waitForReadyRead(60000)) {
        output += child.readAllStandardOutput();
        if (output.contains('\n'))
            ms = elapsedMs(timer);
    }
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return -1;
    const QByteArray peak = output.mid(output.indexOf("peak_rss_kb=") + 12).trimmed();
    if (program == QCoreApplication::applicationFilePath())
        m_childPeakRssKb = qMax(m_childPeakRssKb, peak.toLong());
    return output.startsWith("painted") ? ms : -1;
}

MeasureResult StartupMeasure::startup()
{
    MeasureResult result(QStringLiteral("startup"));
    result.targetMs = 500;
    // The floor shows the identical start page text in a view of the main
    // window's web view size.
    QTemporaryDir pageDir;
    DbConnection::instance(m_context.bankDir, true);
    appDirPath = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    QSize viewSize;
    {
        MainWindow window;
        auto *view = window.findChild<PageView *>(QStringLiteral("mainWebView"));
        PageLoadWaiter waiter(view);
        window.show();
        if (!waiter.waitPainted()) {
            result.failed = true;
            return result;
        }
        viewSize = view->size();
    }
    const QString pagePath = pageDir.filePath(QStringLiteral("start.html"));
    QFile page(pagePath);
    if (!page.open(QIODevice::WriteOnly) || page.write(HomePages::startPage().toUtf8()) <= 0) {
        result.failed = true;
        return result;
    }
    page.close();
    const QString bare = QCoreApplication::applicationDirPath() + QStringLiteral("/tessera_bench_bare");
    result.collect(
        m_context.smoke ? 1 : qMin(m_context.runs, 9),
        [this] {
            return spawn(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--startup-child"), m_context.bankDir});
        },
        [&] {
            return spawn(bare, {pagePath, QString::number(viewSize.width()), QString::number(viewSize.height())});
        });
    result.extras << QStringLiteral("peak_rss_kb=%1").arg(m_childPeakRssKb);
    return result;
}
