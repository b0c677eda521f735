#include "soquestion.h"

#include "constants.h"
#include "dbconnection.h"
#include "exampaper.h"
#include "favouritestore.h"
#include "questionsearch.h"
#include "searchresultpage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWebFrame>
#include <QWebSettings>

namespace {

// A drag moves the window only when it starts this close to the top edge
// (the title strip and most of the search strip).
constexpr int dragStripHeight = 90;

QRect availableDesktop()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

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
    setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/button.png);}QPushButton:hover{border-image: url(:/image/button.png);}"
        "QPushButton:pressed{border-image: url(:/image/button22.png);}"));
    bClose->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/menu/close.png);}QPushButton:hover{border-image: url(:/image/menu/close2.png);}"
        "QPushButton:pressed{border-image: url(:/image/menu/close2.png);}"));
    bMax->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/menu/max.png);}QPushButton:hover{border-image: url(:/image/menu/max2.png);}"
        "QPushButton:pressed{border-image: url(:/image/menu/max2.png);}"));
    bRest->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/menu/rest.png);}QPushButton:hover{border-image: url(:/image/menu/rest2.png);}"
        "QPushButton:pressed{border-image: url(:/image/menu/rest2.png);}"));
    bMin->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/menu/min.png);}QPushButton:hover{border-image: url(:/image/menu/min2.png);}"
        "QPushButton:pressed{border-image: url(:/image/menu/min2.png);}"));
    soButton->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/search/search1.png);}QPushButton:hover{border-image: url(:/image/search/search1.png);}"
        "QPushButton:pressed{border-image: url(:/image/search/search2.png);}"));
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
    const QRect available = availableDesktop();
    showMaximized();
    setGeometry(available);
    bMax->hide();
    bRest->show();
    showMaximized();
    applyButtonStyles();
}

void SoQuestion::on_bRest_clicked()
{
    bMax->show();
    bRest->hide();
    showNormal();
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
    if (watched == soWebView) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
                soWebView->setContextMenuPolicy(Qt::NoContextMenu);
                return true;
            }
            break;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy))
                return true;
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SoQuestion::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragging = true;
        dragOffsetX = event->globalPos().x() - frameGeometry().left();
        dragOffsetY = event->globalPos().y() - frameGeometry().top();
    }
    event->accept();
}

void SoQuestion::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging && (event->buttons() & Qt::LeftButton) && !isMaximized()
        && dragOffsetY < dragStripHeight)
        move(event->globalPos() - QPoint(dragOffsetX, dragOffsetY));
}

void SoQuestion::mouseReleaseEvent(QMouseEvent *event)
{
    dragging = false;
    dragOffsetY = 0;
    event->accept();
}

void SoQuestion::keyPressEvent(QKeyEvent *)
{
    // Keys do nothing here; Enter in the keyword box does not search, the button does.
}

void SoQuestion::resizeEvent(QResizeEvent *event)
{
    if (isMaximized()) {
        showMaximized();
        setGeometry(availableDesktop());
        bMax->hide();
        bRest->show();
    }
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
