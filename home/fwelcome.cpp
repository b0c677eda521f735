#include "fwelcome.h"

#include "bankactions.h"
#include "constants.h"
#include "dailypractice.h"
#include "dbconnection.h"
#include "drawingbank.h"
#include "examdatedialog.h"
#include "generatedpaperstore.h"
#include "historystore.h"
#include "homebridge.h"
#include "homepages.h"
#include "importedpaperstore.h"
#include "notestore.h"
#include "paperdrawdialog.h"
#include "paperloader.h"
#include "progresspages.h"
#include "readingcomfort.h"
#include "restorebackupdialog.h"
#include "startfigures.h"
#include "reviewstore.h"
#include "statisticsfigures.h"
#include "subjectscope.h"
#include "subject.h"
#include "subjectstore.h"

#include <QActionGroup>
#include <QCursor>
#include <QDate>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimerEvent>

namespace {

QSqlDatabase database()
{
    return DbConnection::instance(appDirPath, true)->database();
}

void inform(const QString &text)
{
    QMessageBox box(QMessageBox::Information, productTitle, text);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

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
    mainWebView->publish(QStringLiteral("myjstest"), new HomeBridge(this));
    registerHomeActions();
    // The start page's badges tell the size and theme: they follow a change.
    if (ReadingComfort *comfort = ReadingComfort::current())
        connect(comfort, &ReadingComfort::changed, this, [this] {
            if (onStartPage)
                showStartPage();
        });
    showStartPage();
    subjectCheckTimerId = startTimer(50, Qt::CoarseTimer);
}

Fwelcome::~Fwelcome() = default;

void Fwelcome::showPage(const QString &html, bool startPage)
{
    if (html.isNull())
        return;
    mainWebView->setHtml(html);
    onStartPage = startPage;
    emit pageShown(startPage);
}

void Fwelcome::showStartPage()
{
    showPage(HomePages::startPage(currentHomeActions()), true);
}

void Fwelcome::addHomeAction(const QString &key, const QString &label, const QString &hint,
                             std::function<void()> run, std::function<QString(const StartFigures &)> badge)
{
    homeActions.append({HomeAction{key, label, QString(), hint}, std::move(run), std::move(badge)});
}

// The actions of the start page's row, in the order they are shown.
void Fwelcome::registerHomeActions()
{
    const auto countBadge = [](int count) { return count > 0 ? QString::number(count) : QString(); };
    addHomeAction(QStringLiteral("review"), QStringLiteral("今日复习"),
                  QStringLiteral("今天该复习的错题，最可能忘记的排在前面"), [this] { startReview(); },
                  [](const StartFigures &figures) {
                      return QString::number(ReviewStore::todaysReviews(figures.book, figures.today, figures.examDate).size())
                          + QStringLiteral(" 题");
                  });
    addHomeAction(QStringLiteral("examDate"), QStringLiteral("考试日期"),
                  QStringLiteral("设置考试日期：错题本在考前分摊复习完"), [this] { chooseExamDate(); },
                  [](const StartFigures &figures) {
                      const qint64 days = figures.today.daysTo(figures.examDate);
                      return figures.examDate.isValid() && days >= 0 ? QStringLiteral("还有 %1 天").arg(days) : QString();
                  });
    addHomeAction(QStringLiteral("stubborn"), QStringLiteral("顽固错题"),
                  QStringLiteral("答错八次以上的题：先看解析再练"),
                  [this] { showPage(HomePages::stubbornList()); }, [countBadge](const StartFigures &figures) {
                      return countBadge(ReviewStore::stubbornCards(figures.book).size());
                  });
    addHomeAction(QStringLiteral("mastered"), QStringLiteral("已掌握"), QStringLiteral("已经离开错题本的题"),
                  [this] { showPage(HomePages::masteredList()); }, [countBadge](const StartFigures &figures) {
                      return countBadge(ReviewStore::masteredQuestions(database(), figures.scope).size());
                  });
    addHomeAction(QStringLiteral("notes"), QStringLiteral("我的笔记"),
                  QStringLiteral("写在题目上的笔记，可按字词搜索，点击练习"), [this] { searchNotes(QString()); },
                  [countBadge](const StartFigures &figures) {
                      return countBadge(NoteStore::count(database(), figures.scope));
                  });
    addHomeAction(QStringLiteral("draw"), QStringLiteral("随机组卷"),
                  QStringLiteral("按模拟试卷的题型从题库随机抽题组成新试卷"), [this] { drawPaper(); });
    addHomeAction(QStringLiteral("drawn"), QStringLiteral("组卷记录"), QStringLiteral("随机组成的试卷"),
                  [this] { showPage(HomePages::generatedPaperList()); }, [countBadge](const StartFigures &figures) {
                      return countBadge(GeneratedPaperStore::count(database(), figures.subjectId));
                  });
    addHomeAction(QStringLiteral("history"), QStringLiteral("成绩记录"),
                  QStringLiteral("每一次交卷的成绩，点击一行查看当次的答案"), [this]() {
                      showDatabasePage([](QSqlDatabase db) {
                          return ProgressPages::historyPage(HistoryStore::list(db, SubjectScope::current()));
                      });
                  });
    addHomeAction(QStringLiteral("statistics"), QStringLiteral("学习统计"),
                  QStringLiteral("得分、正确率、用时、错题本和练习天数的图表"), [this]() {
                      showDatabasePage([this](QSqlDatabase db) {
                          return ProgressPages::statisticsPage(
                              StatisticsFigures::compute(db, SubjectScope::current(), clock->today()));
                      });
                  });
    addHomeAction(QStringLiteral("importBank"), QStringLiteral("导入题库"),
                  QStringLiteral("从 GIFT、Aiken、Moodle XML 或表格（CSV、XLSX）文件导入题目"), [this]() {
                      QString openPaperId;
                      if (!BankActions::importFile(this, &openPaperId))
                          return;
                      showStartPage();
                      // Opened as the paper list opens it: its login.
                      if (!openPaperId.isEmpty())
                          emit showExam(openPaperId, 0);
                  });
    addHomeAction(QStringLiteral("imported"), QStringLiteral("导入记录"), QStringLiteral("从文件导入的试卷，可以删除"),
                  [this] { showPage(HomePages::importedPaperList()); }, [countBadge](const StartFigures &figures) {
                      return countBadge(ImportedPaperStore::count(database(), figures.subjectId));
                  });
    addHomeAction(QStringLiteral("exportBank"), QStringLiteral("导出题库"),
                  QStringLiteral("把一套试卷或整个科目导出为 GIFT、Moodle XML 或表格"),
                  [this]() { BankActions::exportBank(this); });
    addHomeAction(QStringLiteral("printBank"), QStringLiteral("打印"),
                  QStringLiteral("打印试卷（只有题目，或含答案和解析）或错题本，也可存为 PDF"),
                  [this]() { BankActions::print(this); });
    addHomeAction(QStringLiteral("restoreBackup"), QStringLiteral("恢复备份"),
                  QStringLiteral("用一份备份替换现在的成绩、错题和收藏"), [this]() { restoreBackup(); });
    addHomeAction(QStringLiteral("textSize"), QStringLiteral("字号"),
                  QStringLiteral("页面和窗口文字的大小（Ctrl+= 放大，Ctrl+- 缩小，Ctrl+0 还原）"),
                  [this]() { textSizeMenu()->popup(QCursor::pos()); }, [](const StartFigures &) {
                      const ReadingComfort *comfort = ReadingComfort::current();
                      return comfort ? TextSize::label(comfort->textSize()) : QString();
                  });
    addHomeAction(QStringLiteral("nightTheme"), QStringLiteral("夜间模式"), QStringLiteral("深色页面，夜里看书不刺眼"),
                  [] {
                      if (ReadingComfort *comfort = ReadingComfort::current())
                          comfort->setTheme(comfort->theme() == PageTheme::Theme::Night ? PageTheme::Theme::Day
                                                                                        : PageTheme::Theme::Night);
                  },
                  [](const StartFigures &) {
                      const ReadingComfort *comfort = ReadingComfort::current();
                      return comfort && comfort->theme() == PageTheme::Theme::Night ? QStringLiteral("开")
                                                                                     : QStringLiteral("关");
                  });
}

QMenu *Fwelcome::textSizeMenu()
{
    if (m_textSizeMenu)
        return m_textSizeMenu;
    m_textSizeMenu = new QMenu(this);
    m_textSizeMenu->setObjectName(QStringLiteral("textSizeMenu"));
    m_textSizeMenu->setAccessibleName(QStringLiteral("字号"));
    auto *group = new QActionGroup(m_textSizeMenu);
    for (TextSize::Step step : {TextSize::Step::Small, TextSize::Step::Medium, TextSize::Step::Large,
                                TextSize::Step::ExtraLarge}) {
        QAction *action = m_textSizeMenu->addAction(TextSize::label(step));
        action->setCheckable(true);
        action->setActionGroup(group);
        action->setData(static_cast<int>(step));
        connect(action, &QAction::triggered, this, [step] {
            if (ReadingComfort *comfort = ReadingComfort::current())
                comfort->setTextSize(step);
        });
    }
    connect(m_textSizeMenu, &QMenu::aboutToShow, this, [this] {
        const ReadingComfort *comfort = ReadingComfort::current();
        for (QAction *action : m_textSizeMenu->actions())
            action->setChecked(comfort && action->data().toInt() == static_cast<int>(comfort->textSize()));
    });
    return m_textSizeMenu;
}

void Fwelcome::restoreBackup()
{
    RestoreBackupDialog dialog(DbConnection::instance(appDirPath, true)->dbPath, this);
    if (dialog.exec() == QDialog::Accepted)
        showStartPage();
}

QStringList Fwelcome::todaysReviews() const
{
    return ReviewStore::todaysReviews(database(), clock->today(), ReviewStore::examDate(), SubjectScope::current());
}

void Fwelcome::practise(const QString &title, const QStringList &questionIds)
{
    if (!questionIds.isEmpty())
        emit showExam(PaperLoader::questionListKey(title, questionIds), 3);
}

void Fwelcome::startReview()
{
    const QStringList ids = todaysReviews();
    if (ids.isEmpty()) {
        inform(QStringLiteral("今天没有需要复习的错题。"));
        return;
    }
    practise(QStringLiteral("今日复习"), ids);
}

void Fwelcome::dailyPractice()
{
    const QString subjectId = SubjectStore::currentSubjectId();
    const QStringList due = todaysReviews();
    // The subject's questions are read only when the reviews leave room.
    const QStringList ids = DailyPractice::pick(
        due, due.size() < DailyPractice::size ? DrawingBank::candidates(database(), subjectId) : QVector<DrawCandidate>(),
        clock->today(), subjectId);
    if (ids.isEmpty()) {
        inform(QStringLiteral("这个科目还没有题目。"));
        return;
    }
    practise(QStringLiteral("每日一练"), ids);
}

void Fwelcome::practiseList(QString which)
{
    if (which == QLatin1String("stubborn"))
        practise(QStringLiteral("顽固错题练习"), ReviewStore::stubbornQuestions(database(), SubjectScope::current()));
    else if (which == QLatin1String("mastered"))
        practise(QStringLiteral("已掌握的题"), ReviewStore::masteredQuestions(database(), SubjectScope::current()));
}

void Fwelcome::chooseExamDate()
{
    ExamDateDialog dialog(ReviewStore::examDate(), clock->today());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!ReviewStore::setExamDate(dialog.date))
        inform(QStringLiteral("考试日期未能保存，请重试。"));
    showStartPage();
}

void Fwelcome::drawPaper()
{
    const QString subjectId = SubjectStore::currentSubjectId();
    if (subjectId.isEmpty()) {
        inform(QStringLiteral("请先选择学习科目。"));
        return;
    }
    PaperDrawDialog dialog(subjectId, clock->today());
    if (dialog.exec() == QDialog::Accepted && !dialog.paperId.isEmpty())
        emit showExam(dialog.paperId, 0);
}

void Fwelcome::deleteGeneratedPaper(QString paperId)
{
    deletePaper(QStringLiteral("组卷记录"), QStringLiteral("删除这套试卷和它的成绩？答错的题仍留在错题本里。"),
                [&paperId] { return GeneratedPaperStore::remove(database(), paperId); },
                &HomePages::generatedPaperList);
}

void Fwelcome::deleteImportedPaper(QString paperId)
{
    const ImportedPaperStore::Summary paper = ImportedPaperStore::summary(database(), paperId);
    deletePaper(QStringLiteral("导入记录"),
                QStringLiteral("删除导入的试卷“%1”（%2道题）？它的题目、成绩和成绩记录，这些题的错题、收藏和复习记录都会删除"
                               "（随机组卷里用到的题保留）。删除前会先备份，可用“恢复备份”找回。")
                    .arg(paper.name)
                    .arg(paper.questions),
                [&paperId] { return ImportedPaperStore::remove(database(), paperId); },
                &HomePages::importedPaperList);
}

void Fwelcome::deletePaper(const QString &title, const QString &question, const std::function<WriteOutcome()> &remove,
                           QString (*list)())
{
    QMessageBox box(QMessageBox::Question, title, question);
    box.setTextFormat(Qt::PlainText); // the question names an imported paper as it was typed
    QPushButton *removeButton = box.addButton(QStringLiteral("删除"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() != removeButton)
        return;
    const WriteOutcome outcome = remove();
    if (!outcome)
        inform(QStringLiteral("试卷未能删除，没有任何改动：%1").arg(outcome.reason()));
    showPage(list());
}

void Fwelcome::showDatabasePage(const std::function<QString(QSqlDatabase)> &build)
{
    if (DbConnection::instance(appDirPath, true)->opened)
        showPage(build(database()));
}

HomeActions Fwelcome::currentHomeActions() const
{
    HomeActions actions;
    const StartFigures figures = StartFigures::read(database(), clock->today());
    for (const RegisteredAction &registered : homeActions) {
        HomeAction action = registered.action;
        if (registered.badge)
            action.badge = registered.badge(figures);
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

void Fwelcome::openHistoryAttempt(QString historyId)
{
    bool number = false;
    const qint64 id = historyId.toLongLong(&number);
    if (number)
        emit showHistory(id);
}

void Fwelcome::searchNotes(QString words)
{
    showPage(HomePages::notesList(words));
}

void Fwelcome::practiseNote(QString questionId)
{
    if (!NoteStore::note(database(), SubjectScope::current(), questionId).isEmpty())
        practise(QStringLiteral("我的笔记"), {questionId});
}

void Fwelcome::practiseNotes(QString words)
{
    QStringList ids;
    for (const NoteEntry &entry : NoteStore::search(database(), SubjectScope::current(), words))
        ids << entry.questionId;
    practise(QStringLiteral("我的笔记"), ids);
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

