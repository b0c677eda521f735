#include "soquestion.h"

#include "apppaths.h"
#include "buttonartwork.h"
#include "constants.h"
#include "dbconnection.h"
#include "exampaper.h"
#include "favouritestore.h"
#include "maximisebuttons.h"
#include "questionsearch.h"
#include "searchresultpage.h"
#include "webviewguard.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWebFrame>
#include <QWebSettings>
#include <QWebView>

SoQuestion::SoQuestion(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    setAutoFillBackground(false);
    // The main window keeps no reference to a search window: a closed one,
    // with its page and results, is released.
    setAttribute(Qt::WA_DeleteOnClose);
    topWidget->setStyleSheet(QStringLiteral("background-color: #7ebfcc;"));
    infoWidget->setStyleSheet(QStringLiteral("background-color: #addeec;"));
    bodyWidget->setStyleSheet(QStringLiteral("background-color: #addeec;"));
    applyButtonStyles();
    setWindowTitle(productTitle);
    bRest->hide();

    soWebView->installEventFilter(this);
    soWebView->settings()->setAttribute(QWebSettings::JavascriptEnabled, true);
    connect(soWebView->page()->mainFrame(), &QWebFrame::javaScriptWindowObjectCleared,
            this, &SoQuestion::soWebViewJs);
    connect(soWebView, &QWebView::loadFinished, this, &SoQuestion::resultPageLoaded);
    blockTimer.setInterval(0);
    connect(&blockTimer, &QTimer::timeout, this, &SoQuestion::appendNextBlock);
}

SoQuestion::~SoQuestion() = default;

void SoQuestion::applyButtonStyles()
{
    setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/button.png"),
                                           QStringLiteral(":/image/button22.png")));
    ButtonArtwork::applyToTitleStrip(bClose, bMax, bRest, bMin);
    soButton->setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/search/search1.png"),
                                                     QStringLiteral(":/image/search/search2.png")));
}

void SoQuestion::soWebViewJs()
{
    soWebView->page()->mainFrame()->addToJavaScriptWindowObject(QStringLiteral("myjstest"), this);
}

void SoQuestion::soQuestionJS()
{
    QMessageLogger("examform/soquestion.cpp", __LINE__, Q_FUNC_INFO).debug("dddddd");
}

void SoQuestion::shoucang(const QString &tid, int n)
{
    if (n == 0) {
        FavouriteStore::setFavourite(tid, QString(), false);
        return;
    }
    // A favourite is filed under its question's category, known only for the
    // current results; an id outside them changes nothing, so that isCollect
    // and exam_Collect never disagree.
    if (!resultPaper)
        return;
    for (const auto &hit : resultPaper->questions) {
        if (hit->id == tid) {
            FavouriteStore::setFavourite(hit->id, hit->fuleixingid, true);
            return;
        }
    }
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
    buildResultPage();
}

void SoQuestion::runSearch(const QString &keyword)
{
    // Pending blocks belong to the results about to go.
    cancelPendingBlocks();
    resultPaper.reset();
    const QString dataDir = AppPaths::current().dataDir();
    resultPaper = QuestionSearch::run(DbConnection::instance(dataDir, true)->database(), keyword, renderMode,
                                      dataDir, SubjectScope::current());
}

void SoQuestion::buildResultPage()
{
    if (!resultPaper)
        return;
    cancelPendingBlocks();
    // Set before the page is given: WebKit may report the load finished
    // before setHtml returns.
    nextBlock = 1;
    blockCount = SearchResultPage::blockCount(*resultPaper);
    soWebView->setHtml(SearchResultPage::buildFirstBlock(*resultPaper, AppPaths::current().pageDir()), QUrl());
}

void SoQuestion::cancelPendingBlocks()
{
    blockTimer.stop();
    nextBlock = 0;
    blockCount = 0;
}

void SoQuestion::resultPageLoaded()
{
    // The end of a replaced page's load may be reported too; the blocks then
    // wait for the current page, whose own end starts them again.
    if (!resultPagePending()) {
        releaseReplacedPages();
        return;
    }
    // The first block is drawn before the event loop turns to the others.
    soWebView->repaint();
    blockTimer.start();
}

void SoQuestion::appendNextBlock()
{
    // The first block is on the screen by now.
    if (nextBlock == 1)
        releaseReplacedPages();
    const QVariant appended = soWebView->page()->mainFrame()->evaluateJavaScript(
        SearchResultPage::appendScript(SearchResultPage::block(*resultPaper, nextBlock)));
    if (!appended.toBool()) {
        blockTimer.stop();
        return;
    }
    if (++nextBlock < blockCount)
        return;
    cancelPendingBlocks();
}

void SoQuestion::releaseReplacedPages()
{
    // WebKit keeps what the replaced pages held in its memory caches (tens of
    // megabytes for a large result page) and never gives it back by itself.
    // Emptying them takes tens of milliseconds, so it waits until the first
    // results are shown.
    QWebSettings::clearMemoryCaches();
}

bool SoQuestion::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == soWebView && WebViewGuard::swallows(event, {soWebView}))
        return true;
    return QWidget::eventFilter(watched, event);
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
    // Keys do nothing here; Enter in the keyword box does not search, the button does.
}

void SoQuestion::resizeEvent(QResizeEvent *event)
{
    MaximiseButtons::keepMaximised(this, bMax, bRest);
    event->accept();
}

void SoQuestion::closeEvent(QCloseEvent *event)
{
    cancelPendingBlocks();
    emit meShow();
    event->accept();
}

void SoQuestion::showEvent(QShowEvent *event)
{
    emit meHide();
    QWidget::showEvent(event);
}
