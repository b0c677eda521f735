#include "startupmeasure.h"

#include "apppaths.h"
#include "childreport.h"
#include "constants.h"
#include "dbconnection.h"
#include "examquestion.h"
#include "examrenli.h"
#include "homepages.h"
#include "mainwindow.h"
#include "modaldismisser.h"
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
#include <QTimer>

namespace {

// The memory a start-up reports, as the bare program of each engine measures
// it: the peak resident memory of the program on QtWebKit; on Qt WebEngine,
// whose pages live in helper processes, the PSS of the program and its
// helpers once the page is painted.
long startupMemoryKb()
{
    return PageView::engineName() == QLatin1String("Qt WebEngine") ? ProcessTreeMemory::treePssKb() : ownPeakRssKb();
}

void reportMemory(const char *word)
{
    QTextStream(stdout) << word << " peak_rss_kb=" << startupMemoryKb()
                        << " processes=" << ProcessTreeMemory::treePids().size() << Qt::endl;
}

// The exam window on paperId, as the candidate screen opens it, until its
// question and card pages are painted.
bool openPaper(const QString &paperId)
{
    // The paper's introduction would wait for a click.
    ModalDismisser dismisser;
    ExamRenLi window(0, 0, 1176, 797, 0);
    window.paperId = paperId;
    window.examStatus = ExamQuestion::FormalPaper;
    window.appDirSlash = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    PageLoadWaiter exam(window.webExam);
    PageLoadWaiter card(window.webbutton);
    window.show();
    const bool painted = exam.waitPainted() && card.waitPainted() && window.paper;
    if (painted)
        reportMemory("exam");
    window.countdownTimer->stop();
    return painted;
}

} // namespace

StartupMeasure::StartupMeasure(const BenchContext &context) : m_context(context) {}

int StartupMeasure::runChild(const QString &bankDir, const QString &paperId)
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
    reportMemory("painted");
    return paperId.isEmpty() || openPaper(paperId) ? 0 : 1;
}

double StartupMeasure::spawn(const QString &program, const QStringList &arguments, QByteArray *output)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(program, arguments);
    double ms = -1;
    while (ms < 0 && child.waitForReadyRead(60000)) {
        *output += child.readAllStandardOutput();
        if (output->contains('\n'))
            ms = elapsedMs(timer);
    }
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return -1;
    *output += child.readAllStandardOutput();
    return output->startsWith("painted") ? ms : -1;
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
    // The largest memory any run reported, ours and the floor's.
    long oursKb = 0, floorKb = 0;
    const auto keepPeak = [](long &peak, const QByteArray &output) {
        peak = qMax(peak, ChildReport::value(output, "painted", "peak_rss_kb"));
    };
    result.collect(
        m_context.smoke ? 1 : qMin(m_context.runs, 9),
        [&] {
            QByteArray output;
            const double ms = spawn(QCoreApplication::applicationFilePath(),
                                    {QStringLiteral("--startup-child"), m_context.bankDir}, &output);
            keepPeak(oursKb, output);
            return ms;
        },
        [&] {
            QByteArray output;
            const double ms = spawn(bare, {pagePath, QString::number(viewSize.width()), QString::number(viewSize.height())},
                                    &output);
            keepPeak(floorKb, output);
            return ms;
        });
    // Once more, untimed, going on to open the paper in the exam window.
    QByteArray withExam;
    if (spawn(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--startup-child"), m_context.bankDir, m_context.paperId}, &withExam) < 0
        || ChildReport::value(withExam, "exam", "peak_rss_kb") < 0)
        result.failed = true;
    result.extras << QStringLiteral("peak_rss_kb=%1").arg(oursKb) << QStringLiteral("floor_peak_rss_kb=%1").arg(floorKb)
                  << QStringLiteral("processes=%1").arg(ChildReport::value(withExam, "painted", "processes"))
                  << QStringLiteral("exam_open_peak_rss_kb=%1").arg(ChildReport::value(withExam, "exam", "peak_rss_kb"))
                  << QStringLiteral("exam_open_processes=%1").arg(ChildReport::value(withExam, "exam", "processes"));
    return result;
}
