#include "searchmeasure.h"

#include "exampaper.h"
#include "pageloadwaiter.h"
#include "questionsearch.h"
#include "searchresultpage.h"
#include "soquestion.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QWebFrame>
#include <QWebSettings>
#include <QWebView>
#include <algorithm>

namespace {

// Runs of the two splitting figures: each costs a full page display.
const int splitRuns = 5;

// The process's resident memory now, in kB (0 when unknown).
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// Has the search window's page laid out.
void layOut(SoQuestion &window)
{
    window.soWebView->page()->mainFrame()->evaluateJavaScript(
        QStringLiteral("document.body ? document.body.offsetHeight : 0"));
}

} // namespace

SearchMeasure::SearchMeasure(const BenchContext &context) : m_context(context) {}

double SearchMeasure::likeQuery() const
{
    QElapsedTimer timer;
    timer.start();
    QSqlQuery query(m_context.db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("select * from exam_question where title LIKE :pattern and "
                                 "relationship='' ORDER BY questionTypeid"));
    query.bindValue(QStringLiteral(":pattern"), QStringLiteral("%") + m_context.keyword + QStringLiteral("%"));
    if (!query.exec())
        return -1;
    int characters = 0;
    while (query.next()) {
        const QSqlRecord row = query.record();
        for (int column = 0; column < row.count(); ++column)
            characters += row.value(column).toString().size();
    }
    const double ms = elapsedMs(timer);
    return characters > 0 ? ms : -1;
}

double SearchMeasure::codeOnly() const
{
    QElapsedTimer timer;
    timer.start();
    const std::unique_ptr<ExamPaper> results =
        QuestionSearch::run(m_context.db, m_context.keyword, 5, m_context.appDirSlash);
    // The window's texts: the page with the first block, then every further block.
    qsizetype characters = SearchResultPage::buildFirstBlock(*results, m_context.appDirSlash).size();
    for (int block = 1; block < SearchResultPage::blockCount(*results); ++block)
        characters += SearchResultPage::block(*results, block).size();
    const double ms = elapsedMs(timer);
    return characters == 0 || results->questions.empty() ? -1 : ms;
}

double SearchMeasure::showInBareView(const QString &page)
{
    QWebView view;
    view.settings()->setAttribute(QWebSettings::JavascriptEnabled, true);
    view.resize(1100, 700);
    view.show();
    PageLoadWaiter loaded(&view);
    QElapsedTimer timer;
    timer.start();
    view.setHtml(page, QUrl());
    if (!loaded.wait())
        return -1;
    return elapsedMs(timer);
}

MeasureResult SearchMeasure::search()
{
    MeasureResult result(QStringLiteral("search"));
    result.targetMs = 300;
    SoQuestion window;
    window.resize(1100, 760);
    window.show();
    QVector<double> complete, stalls;
    const long residentBefore = residentKb();
    result.collect(
        m_context.runs,
        [&] {
            QElapsedTimer timer;
            double firstShown = -1;
            // The window draws the first block when its load ends, before it
            // appends the others: the first results are shown at that moment.
            QObject firstBlock;
            QObject::connect(window.soWebView, &QWebView::loadFinished, &firstBlock, [&] {
                layOut(window);
                firstShown = elapsedMs(timer);
            });
            timer.start();
            window.runSearch(m_context.keyword);
            window.buildResultPage();
            // From the first results on, the longest turn of the event loop is
            // the longest a click or key would have waited.
            double longestStall = 0;
            const QDeadlineTimer deadline(60000);
            QElapsedTimer turn;
            while ((firstShown < 0 || window.resultPagePending()) && !deadline.hasExpired()) {
                const bool shown = firstShown >= 0;
                turn.start();
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
                if (shown)
                    longestStall = std::max(longestStall, elapsedMs(turn));
            }
            if (firstShown < 0 || window.resultPagePending() || !window.results()
                || window.results()->questions.empty())
                return -1.0;
            layOut(window);
            complete << elapsedMs(timer);
            stalls << longestStall;
            return firstShown;
        },
        [this] { return likeQuery(); });
    const long residentGrowth = residentKb() - residentBefore;
    // Drop the warm-up run.
    complete.removeFirst();
    stalls.removeFirst();

    const int runs = m_context.smoke ? 1 : splitRuns;
    MeasureResult split(QStringLiteral("search_split"));
    const QString page = SearchResultPage::build(*window.results(), m_context.appDirSlash);
    split.collect(runs, [this] { return codeOnly(); }, [&page] { return showInBareView(page); });
    const QString firstPage = SearchResultPage::buildFirstBlock(*window.results(), m_context.appDirSlash);
    QVector<double> firstShowFloor;
    for (int run = 0; run < runs; ++run)
        firstShowFloor << showInBareView(firstPage);
    result.failed = result.failed || split.failed || firstShowFloor.contains(-1);
    const auto ms = [](double value) { return QString::number(value, 'f', 2); };
    result.extras << QStringLiteral("search_complete_ms=") + ms(MeasureResult::median(complete))
                  << QStringLiteral("longest_stall_ms=") + ms(MeasureResult::median(stalls))
                  << QStringLiteral("code_ms=") + ms(MeasureResult::median(split.ours))
                  << QStringLiteral("show_first_floor_ms=") + ms(MeasureResult::median(firstShowFloor))
                  << QStringLiteral("show_floor_ms=") + ms(MeasureResult::median(split.floor))
                  << QStringLiteral("rss_growth_kb=") + QString::number(residentGrowth);
    return result;
}
