#include "startupmeasure.h"

#include "constants.h"
#include "dbconnection.h"
#include "homepages.h"
#include "mainwindow.h"
#include "pageloadwaiter.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <QWebSettings>
#include <QWebView>

namespace {

const char *const programKind = "program";
const char *const floorKind = "floor";

// The peak resident memory of this program image. getrusage would also count
// the copy of the parent that the process was before it started this program.
long ownPeakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

double startProgram(const QString &bankDir)
{
    QElapsedTimer timer;
    timer.start();
    DbConnection::instance(bankDir, true);
    MainWindow window;
    auto *view = window.findChild<QWebView *>(QStringLiteral("mainWebView"));
    if (!view)
        return -1;
    PageLoadWaiter waiter(view);
    window.show();
    if (!waiter.wait())
        return -1;
    return elapsedMs(timer);
}

double startFloor(const QString &bankDir)
{
    DbConnection::instance(bankDir, true);
    appDirPath = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    const QString page = HomePages::startPage();
    QElapsedTimer timer;
    timer.start();
    QWebView view;
    view.settings()->setAttribute(QWebSettings::JavascriptEnabled, true);
    view.resize(1170, 620);
    PageLoadWaiter waiter(&view);
    view.setHtml(page, QUrl());
    view.show();
    if (page.isEmpty() || !waiter.wait())
        return -1;
    return elapsedMs(timer);
}

} // namespace

StartupMeasure::StartupMeasure(const BenchContext &context) : m_context(context) {}

int StartupMeasure::runChild(const QString &kind, const QString &bankDir)
{
    const double ms = kind == QLatin1String(programKind) ? startProgram(bankDir) : startFloor(bankDir);
    if (ms < 0)
        return 1;
    QTextStream(stdout) << "elapsed_ms=" << QString::number(ms, 'f', 3)
                        << " peak_rss_kb=" << ownPeakRssKb() << Qt::endl;
    return 0;
}

double StartupMeasure::spawn(const QString &kind)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--startup-child"), kind, m_context.bankDir});
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return -1;
    const QString output = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    double ms = -1;
    for (const QString &pair : output.split(QRegularExpression(QStringLiteral("\\s+")))) {
        const QString key = pair.section(QLatin1Char('='), 0, 0);
        const QString value = pair.section(QLatin1Char('='), 1);
        if (key == QLatin1String("elapsed_ms"))
            ms = value.toDouble();
        else if (key == QLatin1String("peak_rss_kb") && kind == QLatin1String(programKind))
            m_childPeakRssKb = qMax(m_childPeakRssKb, value.toLong());
    }
    return ms;
}

MeasureResult StartupMeasure::startup()
{
    MeasureResult result(QStringLiteral("startup"));
    result.targetMs = 500;
    result.collect(
        m_context.smoke ? 1 : qMin(m_context.runs, 9),
        [this] { return spawn(QLatin1String(programKind)); },
        [this] { return spawn(QLatin1String(floorKind)); });
    result.extras << QStringLiteral("peak_rss_kb=%1").arg(m_childPeakRssKb);
    return result;
}
