#include "examwindowmeasures.h"

#include "exampagebuilder.h"
#include "examrenli.h"
#include "pageloadwaiter.h"
#include "paperanswers.h"
#include "papernavigation.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWebSettings>
#include <QWebView>

ExamWindowMeasures::ExamWindowMeasures(const BenchContext &context) : m_context(context) {}

ExamWindowMeasures::~ExamWindowMeasures() = default;

bool ExamWindowMeasures::openWindow()
{
    if (m_window)
        return m_opened;
    m_window = std::make_unique<ExamRenLi>(0, 0, 1176, 797, 0);
    m_window->paperId = m_context.paperId;
    m_window->examStatus = ExamQuestion::FormalPaper;
    m_window->appDirSlash = m_context.appDirSlash;
    PageLoadWaiter examLoaded(m_window->webExam);
    PageLoadWaiter cardLoaded(m_window->webbutton);
    m_window->show();
    // The window loads its paper a moment after it is shown.
    const QDeadlineTimer deadline(60000);
    while (!m_window->paper && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    m_opened = m_window->paper && examLoaded.wait() && cardLoaded.wait();
    if (m_opened)
        PaperAnswers::answerAll(*m_window->paper);

    m_floorView = std::make_unique<QWebView>();
    m_floorView->settings()->setAttribute(QWebSettings::JavascriptEnabled, true);
    m_floorView->show();
    return m_opened;
}

bool ExamWindowMeasures::waitForScripts()
{
    const QDeadlineTimer deadline(30000);
    while (m_window->pagesLoading() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return !m_window->pagesLoading();
}

QVector<int> ExamWindowMeasures::moveStarts(const ExamPaper &paper, int count)
{
    // Entries whose next move stays in their section: a move into a new
    // section also opens that section's introduction, which waits for a click.
    QVector<int> candidates;
    for (int index = 0; index < static_cast<int>(paper.questions.size()); ++index) {
        if (paper.questions[static_cast<size_t>(index)]->type == ExamQuestion::Composite)
            continue;
        const int next = PaperNavigation::next(paper, index);
        if (next >= 0 && PaperNavigation::sectionOf(paper, next, -1) == PaperNavigation::sectionOf(paper, index, -1))
            candidates << index;
    }
    QVector<int> starts;
    for (int k = 0; k < count && !candidates.isEmpty(); ++k)
        starts << candidates.at(static_cast<int>(static_cast<long>(k) * candidates.size() / count));
    return starts;
}

double ExamWindowMeasures::showInFloorView(const QString &html, const QSize &size)
{
    m_floorView->resize(size);
    PageLoadWaiter loaded(m_floorView.get());
    QElapsedTimer timer;
    timer.start();
    m_floorView->setHtml(html, QUrl());
    if (!loaded.wait())
        return -1;
    return elapsedMs(timer);
}

MeasureResult ExamWindowMeasures::move()
{
    MeasureResult result(QStringLiteral("move"));
    result.targetMs = 30;
    if (!openWindow()) {
        result.failed = true;
        return result;
    }
    const ExamPageBuilder builder(ExamQuestion::FormalPaper, m_context.appDirSlash);
    const QVector<int> starts = moveStarts(*m_window->paper, m_context.runs + 1);
    int run = 0;
    result.collect(
        m_context.runs,
        [&] {
            // Placed (untimed) where this run's move starts, so that the runs
            // spread over every question type, composite parts included.
            m_window->currentIndex = starts.at(run++ % starts.size());
            m_window->showCurrentQuestion();
            if (!waitForScripts())
                return -1.0;
            PageLoadWaiter loaded(m_window->webExam);
            const int before = m_window->currentIndex;
            QElapsedTimer timer;
            timer.start();
            m_window->pbUp->click();
            if (!loaded.wait() || m_window->currentIndex == before)
                return -1.0;
            // The answers are replayed once the page's scripts are ready.
            return waitForScripts() ? elapsedMs(timer) : -1.0;
        },
        [&] {
            const QString page = builder.questionPage(*m_window->paper, m_window->currentIndex,
                                                      m_window->currentSection);
            return showInFloorView(page, m_window->webExam->size());
        });
    return result;
}

MeasureResult ExamWindowMeasures::card()
{
    MeasureResult result(QStringLiteral("card"));
    if (!openWindow()) {
        result.failed = true;
        return result;
    }
    const ExamPageBuilder builder(ExamQuestion::FormalPaper, m_context.appDirSlash);
    const QString cardText = builder.cardPage(*m_window->paper);
    result.collect(
        m_context.runs,
        [&] {
            PageLoadWaiter loaded(m_window->webbutton);
            QElapsedTimer timer;
            timer.start();
            m_window->webbutton->setHtml(builder.cardPage(*m_window->paper), QUrl());
            if (!loaded.wait())
                return -1.0;
            return elapsedMs(timer);
        },
        [&] { return showInFloorView(cardText, m_window->webbutton->size()); });
    return result;
}
