#include "fwelcome.h"

#include "constants.h"
#include "dbconnection.h"
#include "homepages.h"
#include "subject.h"
#include "subjectstore.h"
#include "webviewguard.h"

#include <QTimerEvent>
#include <QWebFrame>
#include <QWebSettings>

Fwelcome::Fwelcome(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setAutoFillBackground(true);
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground, false);
    mainWebView->installEventFilter(this);
    mainWebView->setContextMenuPolicy(Qt::NoContextMenu);
    mainWebView->settings()->setAttribute(QWebSettings::JavascriptEnabled, true);
    connect(mainWebView->page()->mainFrame(), &QWebFrame::javaScriptWindowObjectCleared,
            this, &Fwelcome::mainWebViewJs);
    showPage(HomePages::startPage());
    subjectCheckTimerId = startTimer(50, Qt::CoarseTimer);
}

Fwelcome::~Fwelcome() = default;

void Fwelcome::showPage(const QString &html)
{
    if (html.isNull())
        return;
    mainWebView->setHtml(html, QUrl());
}

void Fwelcome::mainWebViewJs()
{
    mainWebView->page()->mainFrame()->addToJavaScriptWindowObject(QStringLiteral("myjstest"), this);
}

void Fwelcome::openkaojuang(QString examid)
{
    emit showExam(examid, 0);
}

void Fwelcome::showErrorPaper(QString paperid)
{
    emit showExam(HomePages::wrongPracticeId(paperid), 3);
}

void Fwelcome::showshoucang(QString typeId)
{
    emit showExam(typeId, 5);
}

void Fwelcome::my_refresh01()
{
    showPage(HomePages::startPage());
}

void Fwelcome::zhentiJS()
{
    showPage(HomePages::paperList());
}

void Fwelcome::moniJS()
{
    showPage(HomePages::mockPaperList());
}

void Fwelcome::cuotiJS()
{
    showPage(HomePages::wrongAnswerList());
}

void Fwelcome::qingchuJS()
{
}

void Fwelcome::sotiJS()
{
    emit showSo();
}

void Fwelcome::shoucangJS()
{
    showPage(HomePages::favouritesList());
}

void Fwelcome::openSubject()
{
    showPage(HomePages::startPage());
}

void Fwelcome::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != subjectCheckTimerId) {
        QWidget::timerEvent(event);
        return;
    }
    // The check runs once per home form.
    killTimer(subjectCheckTimerId);
    subjectCheckTimerId = 0;
    if (!DbConnection::instance(appDirPath, true)->opened)
        return;
    if (SubjectStore::subjectCount() <= 1)
        return;
    Subject dialog;
    connect(&dialog, &Subject::restSubject, this, &Fwelcome::openSubject);
    dialog.exec();
}

bool Fwelcome::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mainWebView && WebViewGuard::swallows(event, {mainWebView}))
        return true;
    return QObject::eventFilter(watched, event);
}
