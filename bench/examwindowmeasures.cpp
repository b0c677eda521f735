#include "examwindowmeasures.h"

#include "exampagebuilder.h"
#include "examrenli.h"
#include "pageloadwaiter.h"
#include "pageview.h"
#include "paperanswers.h"
#include "paperfloors.h"
#include "paperloader.h"
#include "papergrader.h"
#include "papernavigation.h"
#include "resultspage.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QTimerEvent>

namespace {

// The designed waits: the exam window loads its paper 200 ms after it is
// shown, and grades 50 ms after the hand-in is confirmed.
const int openDelayMs = 200;
const int gradeDelayMs = 50;

bool runUntil(const std::function<bool()> &done, int timeoutMs = 60000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return done();
}

// Watches a hand-in: when the grading timer fires, and when the question page
// is next painted after the paper has been marked.
class HandInWatch : public QObject
{
public:
    explicit HandInWatch(ExamRenLi &window) : m_window(window), m_drawing(window.webExam->inputWidget())
    {
        window.installEventFilter(this);
        m_drawing->installEventFilter(this);
        m_clock.start();
    }
    double gradingStarted = -1;
    double popupPainted = -1;
    double now() const { return elapsedMs(m_clock); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_window && event->type() == QEvent::Timer && m_window.gradeTimerId != 0
            && static_cast<QTimerEvent *>(event)->timerId() == m_window.gradeTimerId)
            gradingStarted = now();
        if (watched == m_drawing && event->type() == QEvent::Paint && gradingStarted >= 0
            && m_window.paper && m_window.paper->handedIn && popupPainted < 0)
            m_paintSeen = true;
        return QObject::eventFilter(watched, event);
    }

public:
    // The paint is done once the event loop turns again.
    void afterTurn()
    {
        if (m_paintSeen && popupPainted < 0)
            popupPainted = now();
    }

private:
    ExamRenLi &m_window;
    // Where the engine draws the question page.
    QWidget *m_drawing;
    QElapsedTimer m_clock;
    bool m_paintSeen = false;
};

} // namespace

ExamWindowMeasures::ExamWindowMeasures(const BenchContext &context) : m_context(context)
{
    m_floorView = std::make_unique<PageView>();
    m_secondFloorView = std::make_unique<PageView>();
    for (PageView *view : {m_floorView.get(), m_secondFloorView.get()})
        view->show();
}

ExamWindowMeasures::~ExamWindowMeasures() = default;

std::unique_ptr<ExamRenLi> ExamWindowMeasures::newWindow() const
{
    auto window = std::make_unique<ExamRenLi>(0, 0, 1176, 797, 0);
    window->paperId = m_context.paperId;
    window->examStatus = ExamQuestion::FormalPaper;
    window->appDirSlash = m_context.appDirSlash;
    return window;
}

bool ExamWindowMeasures::openWindow()
{
    if (m_window)
        return m_opened;
    m_window = newWindow();
    PageLoadWaiter examLoaded(m_window->webExam);
    PageLoadWaiter cardLoaded(m_window->webbutton);
    m_window->show();
    m_opened = runUntil([this] { return m_window->paper != nullptr; }) && examLoaded.wait() && cardLoaded.wait();
    if (m_opened)
        PaperAnswers::answerAll(*m_window->paper);
    return m_opened;
}

bool ExamWindowMeasures::waitForScripts(ExamRenLi &window)
{
    return runUntil([&window] { return !window.pagesLoading(); }, 30000);
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

double ExamWindowMeasures::showInFloorView(PageView &view, const QString &html, const QSize &size)
{
    view.resize(size);
    PageLoadWaiter loaded(&view);
    QElapsedTimer timer;
    timer.start();
    view.setHtml(html);
    if (!loaded.waitPainted())
        return -1;
    return elapsedMs(timer);
}

MeasureResult ExamWindowMeasures::paperOpen()
{
    MeasureResult result(QStringLiteral("paper_open"));
    result.targetMs = openDelayMs + 100;
    PaperFloors floors(m_context);
    // The floor shows the identical first question and card pages.
    std::unique_ptr<ExamPaper> paper =
        PaperLoader(m_context.db, ExamQuestion::FormalPaper, m_context.appDirSlash).load(m_context.paperId);
    if (!paper) {
        result.failed = true;
        return result;
    }
    const ExamPageBuilder builder(ExamQuestion::FormalPaper, m_context.appDirSlash);
    const QString questionPage = builder.questionPage(*paper, 0, 0);
    const QString cardPage = builder.cardPage(*paper);
    QSize examSize, cardSize;
    result.collect(
        m_context.runs,
        [&] {
            std::unique_ptr<ExamRenLi> window = newWindow();
            PageLoadWaiter exam(window->webExam);
            PageLoadWaiter card(window->webbutton);
            QElapsedTimer timer;
            timer.start();
            window->show();
            const bool shown = exam.waitPainted() && card.waitPainted() && window->paper;
            const double ms = elapsedMs(timer);
            examSize = window->webExam->size();
            cardSize = window->webbutton->size();
            window->countdownTimer->stop();
            window->close();
            return shown ? ms : -1.0;
        },
        [&] {
            const double rows = floors.fetchPaperRows();
            const double exam = showInFloorView(*m_floorView, questionPage, examSize);
            const double card = showInFloorView(*m_secondFloorView, cardPage, cardSize);
            return rows < 0 || exam < 0 || card < 0 ? -1.0 : openDelayMs + rows + exam + card;
        });
    result.extras << QStringLiteral("designed_delay_ms=%1").arg(openDelayMs);
    return result;
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
            if (!waitForScripts(*m_window))
                return -1.0;
            PageLoadWaiter loaded(m_window->webExam);
            const int before = m_window->currentIndex;
            QElapsedTimer timer;
            timer.start();
            m_window->pbUp->click();
            if (!loaded.waitPainted() || m_window->currentIndex == before)
                return -1.0;
            // The answers are replayed once the page's scripts are ready.
            return waitForScripts(*m_window) ? elapsedMs(timer) : -1.0;
        },
        [&] {
            const QString page = builder.questionPage(*m_window->paper, m_window->currentIndex,
                                                      m_window->currentSection);
            return showInFloorView(*m_floorView, page, m_window->webExam->size());
        });
    return result;
}

MeasureResult ExamWindowMeasures::handIn()
{
    MeasureResult result(QStringLiteral("hand_in"));
    result.targetMs = 30;
    PaperFloors floors(m_context);
    QVector<double> withDelay;
    QString resultsHtml;
    std::unique_ptr<ExamPaper> marked;
    QSize examSize;
    result.collect(
        m_context.runs,
        [&] {
            std::unique_ptr<ExamRenLi> window = newWindow();
            PageLoadWaiter exam(window->webExam);
            window->show();
            if (!exam.waitPainted() || !window->paper || !waitForScripts(*window))
                return -1.0;
            PaperAnswers::answerAll(*window->paper);
            HandInWatch watch(*window);
            // The confirmation is asked once the page has handed over its
            // typed answers: at once on QtWebKit, later on Qt WebEngine.
            double confirmed = -1;
            const int confirmationsBefore = m_dismisser.confirmations();
            m_dismisser.setConfirming(true);
            QMetaObject::invokeMethod(window.get(), "on_assignment_clicked");
            const bool painted = runUntil([&] {
                if (confirmed < 0 && m_dismisser.confirmations() > confirmationsBefore)
                    confirmed = watch.now();
                watch.afterTurn();
                return watch.popupPainted >= 0;
            });
            m_dismisser.setConfirming(false);
            const double step = watch.popupPainted - watch.gradingStarted;
            withDelay << watch.popupPainted - confirmed;
            resultsHtml = ResultsPage::build(*window->paper, ExamQuestion::FormalPaper);
            examSize = window->webExam->size();
            window->close();
            return painted && watch.gradingStarted >= 0 ? step : -1.0;
        },
        [&] {
            if (!marked) {
                marked = PaperLoader(m_context.db, ExamQuestion::FormalPaper, m_context.appDirSlash)
                             .load(m_context.paperId);
                if (!marked)
                    return -1.0;
                PaperAnswers::answerAll(*marked);
                PaperGrader::markPaper(*marked);
            }
            const double rows = floors.writeHandInRows(*marked);
            const double popup = showInFloorView(*m_floorView, QStringLiteral("<html><body>") + resultsHtml
                                                     + QStringLiteral("</body></html>"),
                                                 examSize);
            return rows < 0 || popup < 0 ? -1.0 : rows + popup;
        });
    if (!floors.removeHandInRows())
        result.failed = true;
    if (!withDelay.isEmpty())
        withDelay.removeFirst();
    result.extras << QStringLiteral("designed_delay_ms=%1").arg(gradeDelayMs)
                  << QStringLiteral("confirmed_to_painted_ms=%1")
                         .arg(QString::number(MeasureResult::median(withDelay), 'f', 2));
    return result;
}
