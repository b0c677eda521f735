#include "startupmeasure.h"

#include "apppaths.h"
#include "backupstore.h"
#include "childreport.h"
#include "constants.h"
#include "datafilecheck.h"
#include "datafilegate.h"
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
#include <QDeadlineTimer>
#include <QDir>
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
    const bool firstOfDay = paperId == firstOfDayWord();
    QApplication::setWindowIcon(QIcon::fromTheme(AppPaths::desktopId, QIcon(QStringLiteral(":/image/appicon.png"))));
    SingleInstance instance(bankDir);
    if (!instance.claim())
        return 1;
    if (firstOfDay && !DataFileGate::admit(bankDir + QStringLiteral("data.db"), QString()))
        return 1;
    DbConnection::instance(bankDir, true);
    MainWindow window;
    auto *view = window.findChild<PageView *>(QStringLiteral("mainWebView"));
    if (!view)
        return 1;
    PageLoadWaiter waiter(view);
    std::unique_ptr<DailyFileSweep> dailyCheck;
    QElapsedTimer sincePaint;
    if (firstOfDay)
        DataFileGate::whenStartPageShown(&window, [&] { dailyCheck = DataFileGate::startDailyCheck(&window); });
    window.show();
    if (!waiter.waitPainted())
        return 1;
    reportMemory("painted");
    if (firstOfDay) {
        sincePaint.start();
        // A finding would be told in a message box; this bank has none.
        const QDeadlineTimer deadline(120000);
        while (!(dailyCheck && dailyCheck->finished()) && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        if (!dailyCheck || !dailyCheck->finished())
            return 1;
        // The backup follows only a check that found the file sound.
        const bool sound = BackupStore::backedUpOn(bankDir + QStringLiteral("data.db"), QDate::currentDate());
        QTextStream(stdout) << "checked after_paint_ms=" << qRound(elapsedMs(sincePaint)) << " sound=" << (sound ? 1 : 0)
                            << Qt::endl;
        return 0;
    }
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

bool StartupMeasure::prepareFloorPage()
{
    if (!m_floorPagePath.isEmpty())
        return true;
    // The floor shows the identical start page text in a view of the main
    // window's web view size.
    DbConnection::instance(m_context.bankDir, true);
    appDirPath = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    // Taken from the first main window of the benchmark's process: the size
    // is the same for every bank, and a later main window here never reports
    // its start page painted.
    static QSize shownSize;
    if (shownSize.isEmpty()) {
        MainWindow window;
        auto *view = window.findChild<PageView *>(QStringLiteral("mainWebView"));
        PageLoadWaiter waiter(view);
        window.show();
        if (!waiter.waitPainted())
            return false;
        shownSize = view->size();
    }
    m_floorViewSize = shownSize;
    const QString path = m_floorPageDir.filePath(QStringLiteral("start.html"));
    QFile page(path);
    if (!page.open(QIODevice::WriteOnly) || page.write(HomePages::startPage().toUtf8()) <= 0)
        return false;
    m_floorPagePath = path;
    return true;
}

double StartupMeasure::paintBare(QByteArray *output)
{
    return spawn(QCoreApplication::applicationDirPath() + QStringLiteral("/tessera_bench_bare"),
                 {m_floorPagePath, QString::number(m_floorViewSize.width()),
                  QString::number(m_floorViewSize.height())},
                 output);
}

MeasureResult StartupMeasure::startup()
{
    MeasureResult result(QStringLiteral("startup"));
    result.targetMs = 500;
    if (!prepareFloorPage()) {
        result.failed = true;
        return result;
    }
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
            const double ms = paintBare(&output);
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

MeasureResult StartupMeasure::startupFirstOfDay()
{
    MeasureResult result(QStringLiteral("startup_first_of_day"));
    result.targetMs = 300;
    if (!prepareFloorPage()) {
        result.failed = true;
        return result;
    }
    const QString dbPath = m_context.bankDir + QStringLiteral("data.db");
    // Each run is the first of a day: the day's backup of the run before goes.
    const auto forgetTheDay = [&dbPath] { return QDir(BackupStore::folderFor(dbPath)).removeRecursively(); };
    QVector<double> afterPaint;
    bool allSound = true;
    result.collect(
        m_context.smoke ? 1 : qMin(m_context.runs, 9),
        [&] {
            if (!forgetTheDay())
                return -1.0;
            QByteArray output;
            const double ms = spawn(QCoreApplication::applicationFilePath(),
                                    {QStringLiteral("--startup-child"), m_context.bankDir, firstOfDayWord()}, &output);
            afterPaint << ChildReport::value(output, "checked", "after_paint_ms");
            allSound = allSound && ChildReport::value(output, "checked", "sound") == 1;
            return ms;
        },
        [&] {
            QElapsedTimer timer;
            timer.start();
            if (DataFileCheck::examine(dbPath, DataFileCheck::Depth::RecordTables).state != DataFileCheck::State::Usable)
                return -1.0;
            const double check = elapsedMs(timer);
            QByteArray output;
            const double page = paintBare(&output);
            return page < 0 ? -1.0 : check + page;
        });
    forgetTheDay();
    if (!allSound || afterPaint.contains(-1))
        result.failed = true;
    result.extras << QStringLiteral("check_and_backup_after_paint_ms=%1")
                         .arg(QString::number(MeasureResult::median(afterPaint), 'f', 0));
    return result;
}
