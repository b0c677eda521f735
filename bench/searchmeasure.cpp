#include "searchmeasure.h"

#include "exampaper.h"
#include "pageloadwaiter.h"
#include "pageview.h"
#include "searchresultpage.h"
#include "soquestion.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <memory>

namespace {

// Runs of the bare-view floor: each costs a page display.
const int floorRuns = 5;
// How long the event loop is watched after the first results are painted
// (and the search is done).
const int settleMs = 150;
// The longest a click may wait.
const double freezeTargetMs = 50;
const long growthTargetKb = 100 * 1024;

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

// Notes when the first paint of the result page after the window has put
// results in is done, on clock: the search goes on in the same turns of the
// event loop, so the end of a turn may be well after the paint.
class ResultsPaintWatch : public QObject
{
public:
    ResultsPaintWatch(SoQuestion &window, const QElapsedTimer &clock)
        : m_drawing(window.soWebView->inputWidget()), m_clock(clock)
    {
        m_drawing->installEventFilter(this);
        connect(&window, &SoQuestion::resultsShown, this, [this] { m_shown = true; });
    }
    // When the paint was done; -1 before.
    double paintedMs() const { return m_paintedMs; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_drawing || event->type() != QEvent::Paint || !m_shown || m_paintedMs >= 0 || m_painting)
            return QObject::eventFilter(watched, event);
        // Delivered here, so that the time is taken once it is painted.
        m_painting = true;
        QCoreApplication::sendEvent(watched, event);
        m_painting = false;
        m_paintedMs = elapsedMs(m_clock);
        return true;
    }

private:
    // Where the engine draws the result page.
    QWidget *m_drawing;
    const QElapsedTimer &m_clock;
    bool m_shown = false;
    bool m_painting = false;
    double m_paintedMs = -1;
};

} // namespace

SearchMeasure::SearchMeasure(const BenchContext &context) : m_context(context) {}

double SearchMeasure::likeQuery(const QString &keyword) const
{
    QElapsedTimer timer;
    timer.start();
    QSqlQuery query(m_context.db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("select * from exam_question where title LIKE :pattern and "
                                 "relationship='' ORDER BY questionTypeid"));
    query.bindValue(QStringLiteral(":pattern"), QStringLiteral("%") + keyword + QStringLiteral("%"));
    if (!query.exec())
        return -1;
    int characters = 0;
    while (query.next()) {
        const QSqlRecord row = query.record();
        for (int column = 0; column < row.count(); ++column)
            characters += row.value(column).toString().size();
    }
    return elapsedMs(timer);
}

double SearchMeasure::showInBareView(const QString &page) const
{
    PageView view;
    view.resize(1100, 700);
    view.show();
    PageLoadWaiter loaded(&view);
    QElapsedTimer timer;
    timer.start();
    view.setHtml(page);
    if (!loaded.waitPainted())
        return -1;
    return elapsedMs(timer);
}

MeasureResult SearchMeasure::search(const QString &label, const QString &keyword, double targetMs)
{
    MeasureResult result(QStringLiteral("search"));
    result.targetMs = targetMs;
    SoQuestion window;
    window.resize(1100, 760);
    window.show();
    // The window's page and its scripts are ready before the user searches.
    const QDeadlineTimer ready(30000);
    // Asked again and again until the page says so; each answer may come later.
    auto scriptsReady = std::make_shared<bool>(false);
    auto asking = std::make_shared<bool>(false);
    while (!*scriptsReady && !ready.hasExpired()) {
        if (!*asking) {
            *asking = true;
            window.soWebView->runScript(QStringLiteral("document.readyState + typeof soShow"),
                                        [scriptsReady, asking](const QVariant &state) {
                                            *asking = false;
                                            *scriptsReady = state.toString() == QLatin1String("completefunction");
                                        });
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    if (!*scriptsReady) {
        result.failed = true;
        return result;
    }
    QVector<double> freezes;
    QVector<double> allHits;
    const long residentBefore = residentKb();
    long residentMost = residentBefore;
    int hits = -1;
    result.collect(
        m_context.runs,
        [&] {
            QElapsedTimer clock;
            ResultsPaintWatch watch(window, clock);
            clock.start();
            window.runSearch(keyword);
            double longest = elapsedMs(clock);
            double painted = -1;
            double done = window.searching() ? -1 : elapsedMs(clock);
            // The search goes on after the first results: watched until every hit is found.
            const QDeadlineTimer deadline(120000);
            while ((painted < 0 || done < 0 || elapsedMs(clock) < std::max(painted, done) + settleMs)
                   && !deadline.hasExpired()) {
                const double turnStart = elapsedMs(clock);
                QCoreApplication::processEvents(QEventLoop::AllEvents);
                longest = std::max(longest, elapsedMs(clock) - turnStart);
                if (painted < 0)
                    painted = watch.paintedMs();
                if (done < 0 && !window.searching())
                    done = elapsedMs(clock);
            }
            residentMost = std::max(residentMost, residentKb());
            if (painted < 0 || done < 0)
                return -1.0;
            freezes << longest;
            allHits << done;
            hits = window.hitCount();
            return painted;
        },
        [&] { return likeQuery(keyword); });
    freezes.removeFirst();
    if (!allHits.isEmpty())
        allHits.removeFirst();

    QVector<double> firstShowFloor;
    if (window.results()) {
        const QString page = SearchResultPage::build(*window.results(), m_context.appDirSlash);
        for (int run = 0; run < (m_context.smoke ? 1 : floorRuns); ++run)
            firstShowFloor << showInBareView(page);
    }
    result.failed = result.failed || firstShowFloor.contains(-1);
    const double longestFreeze = freezes.isEmpty() ? 0 : *std::max_element(freezes.cbegin(), freezes.cend());
    const long growth = residentMost - residentBefore;
    const auto ms = [](double value) { return QString::number(value, 'f', 2); };
    result.extras << QStringLiteral("bank_rows=%1").arg(m_context.bankRows) << QStringLiteral("keyword=") + label
                  << QStringLiteral("keyword_chars=%1").arg(keyword.toUcs4().size())
                  << QStringLiteral("hits=%1").arg(hits)
                  << QStringLiteral("all_hits_ms=") + ms(MeasureResult::median(allHits))
                  << QStringLiteral("longest_freeze_ms=") + ms(longestFreeze)
                  << QStringLiteral("freeze_met=") + (longestFreeze < freezeTargetMs ? "yes" : "no")
                  << QStringLiteral("show_first_floor_ms=") + ms(MeasureResult::median(firstShowFloor))
                  << QStringLiteral("rss_growth_kb=%1").arg(growth)
                  << QStringLiteral("rss_met=") + (growth < growthTargetKb ? "yes" : "no");
    return result;
}
