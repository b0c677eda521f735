#include "fwelcome.h"

#include "bankactions.h"
#include "constants.h"
#include "dbconnection.h"
#include "homepages.h"
#include "subject.h"
#include "subjectstore.h"
#include "webviewguard.h"

#include <QMessageBox>
#include <QTimerEvent>
#include <QWebFrame>
#include <QWebSettings>

namespace {

// Says once per run that data.db could not be brought up to date; the file is
// as it was, and the pages stay empty rather than half working.
void reportFailedMigration(const DbConnection &connection)
{
    static bool reported = false;
    if (reported || connection.migration.outcome != SchemaMigration::Outcome::Failed)
        return;
    reported = true;
    QMessageBox box(QMessageBox::Warning, productTitle,
                    QStringLiteral("数据文件未能升级：%1。\n%2 保持原样，没有任何改动。"
                                   "请检查磁盘空间和文件权限后重新启动程序。")
                        .arg(connection.migration.error, connection.dbPath));
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

} // namespace

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
    registerHomeActions();
    showStartPage();
    subjectCheckTimerId = startTimer(50, Qt::CoarseTimer);
}

Fwelcome::~Fwelcome() = default;

void Fwelcome::showPage(const QString &html)
{
    if (html.isNull())
        return;
    mainWebView->setHtml(html, QUrl());
}

void Fwelcome::showStartPage()
{
    showPage(HomePages::startPage(currentHomeActions()));
}

void Fwelcome::addHomeAction(const QString &key, const QString &label, const QString &hint,
                             std::function<void()> run, std::function<QString()> badge)
{
    homeActions.append({HomeAction{key, label, QString(), hint}, std::move(run), std::move(badge)});
}

// The actions of the start page's row, in the order they are shown.
void Fwelcome::registerHomeActions()
{
    addHomeAction(QStringLiteral("importBank"), QStringLiteral("导入题库"),
                  QStringLiteral("从 GIFT、Aiken、Moodle XML 或表格（CSV、XLSX）文件导入题目"), [this]() {
                      if (BankActions::importFile(this))
                          showStartPage();
                  });
    addHomeAction(QStringLiteral("exportBank"), QStringLiteral("导出题库"),
                  QStringLiteral("把一套试卷或整个科目导出为 GIFT、Moodle XML 或表格"),
                  [this]() { BankActions::exportBank(this); });
    addHomeAction(QStringLiteral("printBank"), QStringLiteral("打印"),
                  QStringLiteral("打印试卷（只有题目，或含答案和解析）或错题本，也可存为 PDF"),
                  [this]() { BankActions::print(this); });
}

HomeActions Fwelcome::currentHomeActions() const
{
    HomeActions actions;
    for (const RegisteredAction &registered : homeActions) {
        HomeAction action = registered.action;
        if (registered.badge)
            action.badge = registered.badge();
        actions.append(action);
    }
    return actions;
}

void Fwelcome::homeAction(QString key)
{
    for (const RegisteredAction &registered : homeActions) {
        if (registered.action.key == key) {
            registered.run();
            return;
        }
    }
}

void Fwelcome::switchSubject()
{
    if (SubjectStore::subjectCount() > 1)
        runSubjectDialog();
}

void Fwelcome::runSubjectDialog()
{
    Subject dialog;
    connect(&dialog, &Subject::restSubject, this, &Fwelcome::openSubject);
    dialog.exec();
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
    showStartPage();
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
    showStartPage();
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
    DbConnection *connection = DbConnection::instance(appDirPath, true);
    if (!connection->opened) {
        reportFailedMigration(*connection);
        return;
    }
    if (SubjectStore::choiceNeeded())
        runSubjectDialog();
}

bool Fwelcome::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mainWebView && WebViewGuard::swallows(event, {mainWebView}))
        return true;
    return QObject::eventFilter(watched, event);
}
