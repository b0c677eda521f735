#include "soquestion.h"

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
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWebFrame>
#include <QWebSettings>

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
    appDirPath = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    applyButtonStyles();
    setWindowTitle(productTitle);
    bRest->hide();

    soWebView->installEventFilter(this);
    soWebView->settings()->setAttribute(QWebSettings::JavascriptEnabled, true);
    connect(soWebView->page()->mainFrame(), &QWebFrame::javaScriptWindowObjectCleared,
            this, &SoQuestion::soWebViewJs);
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
    resultPaper.reset();
    resultPaper = QuestionSearch::run(DbConnection::instance(appDirPath, true)->database(), keyword,
                                      renderMode, appDirPath);
}

void SoQuestion::buildResultPage()
{
    if (!resultPaper)
        return;
    soWebView->setHtml(SearchResultPage::build(*resultPaper, appDirPath), QUrl());
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
    emit meShow();
    event->accept();
}

void SoQuestion::showEvent(QShowEvent *event)
{
    emit meHide();
    QWidget::showEvent(event);
}
