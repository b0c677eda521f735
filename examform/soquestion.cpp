#include "soquestion.h"

#include "apppaths.h"
#include "buttonartwork.h"
#include "constants.h"
#include "dbconnection.h"
#include "exampaper.h"
#include "favouritestore.h"
#include "maximisebuttons.h"
#include "notekeeper.h"
#include "notepanel.h"
#include "notestore.h"
#include "questionsearch.h"
#include "readingcomfort.h"
#include "searchbridge.h"
#include "searchresultpage.h"
#include "writefailureprompt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace {

// How often at most the running count line is brought up to date.
const int countLineEveryMs = 250;
// A search that ends this soon after its first block is known shows its
// final count at once rather than a running one for a moment.
const int settleFirstMs = 8;

} // namespace

SoQuestion::SoQuestion(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    setAutoFillBackground(false);
    // The main window keeps no reference to a search window: a closed one,
    // with its page and results, is released.
    setAttribute(Qt::WA_DeleteOnClose);
    applyTheme();
    if (ReadingComfort *comfort = ReadingComfort::current())
        connect(comfort, &ReadingComfort::changed, this, &SoQuestion::applyTheme);
    applyButtonStyles();
    setWindowTitle(productTitle);
    bRest->hide();

    soWebView->publish(QStringLiteral("myjstest"), new SearchBridge(this));
    notes = new NoteKeeper(
        [](const QString &questionId, const QString &text) {
            return NoteStore::save(DbConnection::instance(AppPaths::current().dataDir(), true)->database(),
                                   SubjectScope::current(), questionId, text, QDateTime::currentDateTime());
        },
        ProgressClock::system(), this);
    connect(soWebView, &PageView::pageReady, this, &SoQuestion::resultPageReady);
    connect(lineEdit, &QLineEdit::returnPressed, this, &SoQuestion::on_soButton_clicked);
    searchTimer.setSingleShot(true);
    connect(&searchTimer, &QTimer::timeout, this, &SoQuestion::continueSearch);
    blockTimer.setSingleShot(true);
    connect(&blockTimer, &QTimer::timeout, this, &SoQuestion::appendNextBlock);
    // One page serves every search; its scripts load while the user types.
    soWebView->setHtml(SearchResultPage::shell(AppPaths::current().pageDir()));
}

SoQuestion::~SoQuestion()
{
    // The web view is deleted after this object has stopped being a
    // SoQuestion and may still report a load: nothing may reach us then.
    disconnect(soWebView, nullptr, this, nullptr);
}

void SoQuestion::applyButtonStyles()
{
    setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/button.png"),
                                           QStringLiteral(":/image/button22.png")));
    ButtonArtwork::applyToTitleStrip(bClose, bMax, bRest, bMin);
    soButton->setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/search/search1.png"),
                                                     QStringLiteral(":/image/search/search2.png")));
}

void SoQuestion::soQuestionJS()
{
    QMessageLogger("examform/soquestion.cpp", __LINE__, Q_FUNC_INFO).debug("dddddd");
}

bool SoQuestion::shoucang(const QString &tid, int n)
{
    // Only a hit on the page changes: a favourite is filed under its
    // question's category, known only for the current results, and an id
    // outside them, added or cleared, changes nothing.
    if (!resultPaper)
        return false;
    const auto &hits = resultPaper->questions;
    const auto hit = std::find_if(hits.cbegin(), hits.cend(),
                                  [&tid](const auto &question) { return question->id == tid; });
    if (hit == hits.cend())
        return false;
    const QString category = n != 0 ? (*hit)->fuleixingid : QString();
    return WriteFailurePrompt::saveOrAsk(this, WriteFailurePrompt::Write::Favourite, [=]() {
               return FavouriteStore::setFavourite(tid, category, n != 0);
           }).saved();
}

void SoQuestion::noteChangedJs(const QString &questionId, const QString &text)
{
    if (!resultPaper)
        return;
    const auto &hits = resultPaper->questions;
    if (std::any_of(hits.cbegin(), hits.cend(), [&questionId](const auto &question) { return question->id == questionId; }))
        notes->edit(questionId, text);
}

void SoQuestion::on_bMax_clicked()
{
    MaximiseButtons::maximise(this, bMax, bRest);
    applyButtonStyles();
}

void SoQuestion::on_bRest_clicked()
{
    MaximiseButtons::restore(this, bMax, bRest);
    applyButtonStyles();
}

void SoQuestion::on_soButton_clicked()
{
    const QString keyword = lineEdit->text();
    if (keyword.isEmpty())
        return;
    runSearch(keyword);
}

void SoQuestion::runSearch(const QString &keyword)
{
    stopSearch();
    const QString problem = QuestionSearch::keywordProblem(keyword);
    if (!problem.isEmpty()) {
        showInPage(SearchResultPage::showScript(SearchResultPage::messageLine(problem), QString(), false));
        return;
    }
    search = std::make_unique<QuestionSearch>(DbConnection::instance(AppPaths::current().dataDir(), true)->database(),
                                              keyword, SubjectScope::current());
    continueSearch();
}

void SoQuestion::stopSearch()
{
    ++searchSerial;
    searchTimer.stop();
    blockTimer.stop();
    waitingScript.clear();
    search.reset();
    resultPaper.reset();
    countShown = -1;
    askingNearEnd = false;
}

bool SoQuestion::searching() const
{
    return searchTimer.isActive() || !waitingScript.isEmpty();
}

bool SoQuestion::morePending() const
{
    return search && resultPaper && nextHit < search->found();
}

bool SoQuestion::moreToCome() const
{
    return morePending() || (search && search->status() == QuestionSearch::Status::Running);
}

int SoQuestion::hitCount() const
{
    return search && search->status() == QuestionSearch::Status::Done ? search->hits().size() : 0;
}

QuestionSearch::Status SoQuestion::stepSearch()
{
    if (resultPaper || !pageLoaded)
        return search->step(searchStepMs);
    QElapsedTimer clock;
    clock.start();
    QuestionSearch::Status status;
    do {
        status = search->step(0);
    } while (status == QuestionSearch::Status::Running && clock.elapsed() < searchStepMs
             && (search->found() < SearchResultPage::hitsPerBlock || clock.elapsed() < settleFirstMs));
    return status;
}

void SoQuestion::continueSearch()
{
    if (!search)
        return;
    const QuestionSearch::Status status = stepSearch();
    if (status == QuestionSearch::Status::Failed) {
        // Hits shown before the failure go with it: the page no longer shows them.
        resultPaper.reset();
        showInPage(SearchResultPage::showScript(
            SearchResultPage::messageLine(QStringLiteral("检索没有完成：") + search->error()), QString(), false));
        return;
    }
    if (status == QuestionSearch::Status::Running)
        searchTimer.start(0);
    if (!resultPaper) {
        if (status == QuestionSearch::Status::Done || (pageLoaded && search->found() >= SearchResultPage::hitsPerBlock))
            buildResultPage();
        return;
    }
    // The first block is on the page: its count line follows the search, now
    // and then (each change is laid out and painted), and ends with the final count.
    if (status == QuestionSearch::Status::Done
        || (countShown != search->found() && countClock.elapsed() >= countLineEveryMs)) {
        countShown = search->found();
        countClock.restart();
        soWebView->runScript(SearchResultPage::countScript(currentCountLine(), moreToCome()));
    }
    appendWhenNearEnd();
}

QString SoQuestion::currentCountLine() const
{
    if (search->status() == QuestionSearch::Status::Done)
        return SearchResultPage::countLine(search->found(), search->keyword());
    return SearchResultPage::runningCountLine(search->found());
}

void SoQuestion::buildResultPage()
{
    resultPaper = std::make_unique<ExamPaper>();
    nextHit = 0;
    countShown = search->found();
    countClock.start();
    const QString block = renderNextBlock();
    showInPage(SearchResultPage::showScript(currentCountLine(), block, moreToCome()));
}

void SoQuestion::showInPage(const QString &script)
{
    // Until the page has its scripts, the latest results wait for it.
    if (!pageLoaded) {
        waitingScript = script;
        return;
    }
    waitingScript.clear();
    soWebView->runScript(script);
    emit resultsShown();
    appendWhenNearEnd();
}

void SoQuestion::resultPageReady()
{
    pageLoaded = true;
    if (!waitingScript.isEmpty())
        showInPage(QString(waitingScript));
}

QString SoQuestion::renderNextBlock()
{
    // Question media live beside data.db.
    auto questions = search->render(nextHit, nextHit + SearchResultPage::hitsPerBlock, renderMode,
                                    AppPaths::current().dataDir());
    nextHit = std::min(nextHit + SearchResultPage::hitsPerBlock, search->found());
    QStringList ids;
    for (const auto &q : questions)
        ids << q->id;
    notes->storeNow();
    const QHash<QString, QString> stored = NoteStore::notesOf(
        DbConnection::instance(AppPaths::current().dataDir(), true)->database(), SubjectScope::current(), ids);
    for (auto &q : questions) {
        q->note = stored.value(q->id);
        q->html.prepend(NotePanel::html(q->id, q->note));
    }
    const QString block = SearchResultPage::block(questions);
    for (auto &q : questions)
        resultPaper->addQuestion(std::move(q));
    resultPaper->questionCount = resultPaper->askCount = static_cast<int>(resultPaper->questions.size());
    return block;
}

void SoQuestion::appendWhenNearEnd()
{
    // While the search goes on this is asked every turn: one question at a time.
    if (!morePending() || askingNearEnd)
        return;
    askingNearEnd = true;
    // The answer may come after another search began: only the search asked
    // for gets more hits.
    const int asked = searchSerial;
    soWebView->runScript(SearchResultPage::nearEndScript(), [this, asked](const QVariant &nearEnd) {
        if (searchSerial != asked)
            return;
        askingNearEnd = false;
        if (nearEnd.toBool() && morePending() && !blockTimer.isActive())
            blockTimer.start(0);
    });
}

void SoQuestion::moreResults()
{
    // Called from the page: the block is added from the event loop.
    if (morePending() && !blockTimer.isActive())
        blockTimer.start(0);
}

void SoQuestion::appendNextBlock()
{
    if (!morePending())
        return;
    const QString block = renderNextBlock();
    soWebView->runScript(SearchResultPage::appendScript(block, moreToCome()));
    // A tall window may show the end of the new block too.
    appendWhenNearEnd();
}

void SoQuestion::mousePressEvent(QMouseEvent *event)
{
    startDrag(this, event);
    event->accept();
}

void SoQuestion::mouseMoveEvent(QMouseEvent *event)
{
    followDrag(this, event);
}

void SoQuestion::mouseReleaseEvent(QMouseEvent *event)
{
    endDrag();
    event->accept();
}

void SoQuestion::keyPressEvent(QKeyEvent *)
{
    // Keys do nothing here; Enter in the keyword box searches through the box's own signal.
}

void SoQuestion::resizeEvent(QResizeEvent *event)
{
    MaximiseButtons::keepMaximised(this, bMax, bRest);
    event->accept();
}

void SoQuestion::closeEvent(QCloseEvent *event)
{
    notes->storeNow();
    stopSearch();
    emit meShow();
    event->accept();
}

void SoQuestion::applyTheme()
{
    const PageTheme::Theme theme = ReadingComfort::currentTheme();
    topWidget->setStyleSheet(QStringLiteral("background-color: %1;").arg(PageTheme::windowStrip(theme)));
    infoWidget->setStyleSheet(QStringLiteral("background-color: %1;").arg(PageTheme::windowGround(theme)));
    bodyWidget->setStyleSheet(QStringLiteral("background-color: %1;").arg(PageTheme::windowGround(theme)));
    // The strip's colour would reach the keyword box: it keeps the text box colours.
    const QPalette colours = QApplication::palette();
    lineEdit->setStyleSheet(QStringLiteral("background-color: %1; color: %2;")
                                .arg(colours.color(QPalette::Base).name(), colours.color(QPalette::Text).name()));
}

void SoQuestion::showEvent(QShowEvent *event)
{
    emit meHide();
    QWidget::showEvent(event);
}
