#include "examrenli.h"

#include "answerrecorder.h"
#include "apppaths.h"
#include "attemptcontroller.h"
#include "attemptquestions.h"
#include "attemptsnapshot.h"
#include "buttonartwork.h"
#include "calculatorlauncher.h"
#include "constants.h"
#include "dbconnection.h"
#include "determine.h"
#include "entryremoval.h"
#include "exambridge.h"
#include "exampagebuilder.h"
#include "favouritestore.h"
#include "handinstore.h"
#include "historyreview.h"
#include "historystore.h"
#include "maximisebuttons.h"
#include "notekeeper.h"
#include "notepanel.h"
#include "notestore.h"
#include "pagecalls.h"
#include "paperloader.h"
#include "papergrader.h"
#include "papernavigation.h"
#include "prompt.h"
#include "readingcomfort.h"
#include "resultspage.h"
#include "reviewstore.h"
#include "sectionrendering.h"
#include "writefailureprompt.h"
#include "wrongbook.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>

namespace {

const QString helpText = QStringLiteral(
    "<p>一、所有按键均可使用鼠标操作；</p><p>二、考试过程中需要用到的按键：</p>"
    "<p>1、按字母键A-Z选择相应答案， 重新按相应键会删除原来选择的答案。</p>"
    "<p>2、→ 进入下一题，←进入上一题，2调出计算器，3查看帮助，4交卷。</p>"
    "<p>3、答题过程中可以通过点击“帮助”按钮查看该操作说明，并可以查看各题型说明。</p>");

} // namespace

ExamRenLi::ExamRenLi(int, int, int, int, int, QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    setAutoFillBackground(false);

    // The text colour is named with the background: widgets under a style
    // sheet take their text colour from the application's palette, which
    // is light in the night theme, not from the window's day palette.
    topWidget->setStyleSheet(QStringLiteral("background-color: #7ebfcc; color: #000000;"));
    widget->setStyleSheet(QStringLiteral("background-color: #7ebfcc; color: #000000;"));
    infoWidget->setStyleSheet(QStringLiteral("background-color: #addeec; color: #000000;"));
    bodyWidget->setStyleSheet(QStringLiteral("background-color: #addeec; color: #000000;"));

    appDirSlash = AppPaths::current().pageDir();
    mediaDirSlash = AppPaths::current().dataDir();
    applyButtonArtwork();
    setWindowTitle(productTitle);
    labelTitle->setText(productTitle);
    bRest->hide();

    auto *bridge = new ExamBridge(this);
    webExam->publish(QStringLiteral("myjstest"), bridge);
    webbutton->publish(QStringLiteral("myjstest"), bridge);

    // A test centre's screen: the reader's text size, never the night theme.
    setPalette(ReadingComfort::dayPalette());
    webExam->setReadingLook(PageView::ReadingLook::SizeOnly);
    webbutton->setReadingLook(PageView::ReadingLook::SizeOnly);
    // The page views ask for much room: the labels beside them keep the
    // height of their text, whatever the text size.
    for (QLabel *text : {label, label_2, lexamTimeTo, lCount, lexamTime, lNoAnswer, lRight, label_8}) {
        text->setMinimumHeight(0);
        text->setSizePolicy(text->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    }
    fitPanelToTextSize();
    if (ReadingComfort *comfort = ReadingComfort::current())
        connect(comfort, &ReadingComfort::changed, this, &ExamRenLi::fitPanelToTextSize);

    countdownTimer = new QTimer(this);
    connect(countdownTimer, &QTimer::timeout, this, &ExamRenLi::examJiShi);

    // The flag check box marks the question for a second look before the
    // hand-in: the card shows it, the hand-in question lists it.
    checkBox->setText(QStringLiteral("标记本题"));
    checkBox->setFont(lCount->font());
    checkBox->setCursor(Qt::PointingHandCursor);
    checkBox->setFocusPolicy(Qt::NoFocus);
    checkBox->setToolTip(QStringLiteral("标记本题，交卷前再检查"));
    calculator = new CalculatorLauncher(this);

    DbConnection *connection = DbConnection::instance(mediaDirSlash, true);
    attempts = new AttemptController(connection->database(), connection->dbPath, ProgressClock::system(), this);
    runSaveProblem = attempts->saveProblem();
    connect(attempts, &AttemptController::saveProblemChanged, this, [this](const QString &problem) {
        runSaveProblem = problem;
        showSaveProblem();
    });
    showSaveProblem();
    const QString dataDir = mediaDirSlash;
    notes = new NoteKeeper(
        [dataDir](const QString &questionId, const QString &text) {
            return NoteStore::save(DbConnection::instance(dataDir, true)->database(), SubjectScope::current(),
                                   questionId, text, QDateTime::currentDateTime());
        },
        ProgressClock::system(), this);
    connect(notes, &NoteKeeper::problemChanged, this, &ExamRenLi::showSaveProblem);
}

void ExamRenLi::showSaveProblem()
{
    // The run's problem comes first; a note's shows while the run has none.
    QString problem = runSaveProblem;
    if (problem.isEmpty() && notes)
        problem = notes->problem();
    saveProblemLabel->setText(problem);
    saveProblemLabel->setVisible(!problem.isEmpty());
}

ExamRenLi::~ExamRenLi()
{
    delete notes;
    // A run still kept is saved while its paper is still there.
    delete attempts;
}

void ExamRenLi::applyButtonArtwork()
{
    setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/button.png"),
                                           QStringLiteral(":/image/button22.png")));
    ButtonArtwork::applyToTitleStrip(bClose, bMax, bRest, bMin);
    pbCalc->setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/exam/js1.png"),
                                                   QStringLiteral(":/image/exam/js2.png")));
    pbUp->setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/exam/down1.png"),
                                                 QStringLiteral(":/image/exam/down2.png")));
    pbOn->setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/exam/up1.png"),
                                                 QStringLiteral(":/image/exam/up2.png")));
    applyCollectArtwork(currentQuestion() && currentQuestion()->isCollect);
    pbHelp->setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/exam/help1.png"),
                                                   QStringLiteral(":/image/exam/help2.png")));
    assignment->setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/exam/examj1.png"),
                                                       QStringLiteral(":/image/exam/examj2.png")));
}

void ExamRenLi::applyCollectArtwork(bool favourite)
{
    if (favourite)
        pbCollect->setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/exam/sc21.png"),
                                                          QStringLiteral(":/image/exam/sc22.png")));
    else
        pbCollect->setStyleSheet(ButtonArtwork::pressable(QStringLiteral(":/image/exam/sc11.png"),
                                                          QStringLiteral(":/image/exam/sc12.png")));
}

void ExamRenLi::runInExam(const QString &script)
{
    webExam->runScript(script);
}

void ExamRenLi::runInCard(const QString &script)
{
    webbutton->runScript(script);
}

bool ExamRenLi::pagesLoading() const
{
    return webExam->loading() || webbutton->loading();
}

ExamQuestion *ExamRenLi::currentQuestion() const
{
    if (!paper || currentIndex < 0 || currentIndex >= static_cast<int>(paper->questions.size()))
        return nullptr;
    return paper->questions[static_cast<size_t>(currentIndex)].get();
}

// ---- Window frame -------------------------------------------------------

void ExamRenLi::mousePressEvent(QMouseEvent *event)
{
    startDrag(this, event);
    event->accept();
}

void ExamRenLi::mouseMoveEvent(QMouseEvent *event)
{
    followDrag(this, event);
    event->accept();
}

void ExamRenLi::mouseReleaseEvent(QMouseEvent *event)
{
    endDrag();
    event->accept();
}

void ExamRenLi::on_bMax_clicked()
{
    MaximiseButtons::maximise(this, bMax, bRest);
    applyButtonArtwork();
}

void ExamRenLi::on_bRest_clicked()
{
    MaximiseButtons::restore(this, bMax, bRest);
    applyButtonArtwork();
}

void ExamRenLi::resizeEvent(QResizeEvent *event)
{
    MaximiseButtons::keepMaximised(this, bMax, bRest);
    event->accept();
}

void ExamRenLi::arrowKeyJs(int step)
{
    // The page keeps the arrows for itself inside a text box; elsewhere they
    // move between questions, and scrolling stays with the wheel, the page
    // keys and the scroll bar.
    if (step < 0)
        on_pbOn_clicked();
    else if (step > 0)
        on_pbUp_clicked();
}

// ---- Show, load, close --------------------------------------------------

void ExamRenLi::showEvent(QShowEvent *event)
{
    emit meHide();
    // A window brought back from the task bar keeps its run; only a show by
    // the program starts the load.
    if (!event->spontaneous()) {
        if (examStatus == 3)
            paperId = PaperLoader::practicePaperId(paperId);
        QTimer::singleShot(200, this, &ExamRenLi::timerShowExam);
    }
    QWidget::showEvent(event);
}

void ExamRenLi::closeEvent(QCloseEvent *event)
{
    // The first close records what is typed; the close goes on once that is
    // done (at once on an engine that answers at once).
    if (!closeFlushed) {
        insideCloseEvent = true;
        flushTypedAnswers([this]() {
            closeFlushed = true;
            if (!insideCloseEvent)
                close();
        });
        insideCloseEvent = false;
        if (!closeFlushed) {
            event->ignore();
            return;
        }
    }
    closeFlushed = false;
    if (attempts->active()) {
        // A run without a single answer or flag goes without asking.
        const bool answered = paper && !AttemptSnapshot::capture(*paper, paperId, examStatus, {}, 0, 0).entries.isEmpty();
        const AttemptQuestions::OnClose choice =
            answered ? AttemptQuestions::onClose(this, attempts->lastError()) : AttemptQuestions::OnClose::Discard;
        if (choice == AttemptQuestions::OnClose::StayOpen) {
            event->ignore();
            return;
        }
        if (choice == AttemptQuestions::OnClose::Keep)
            attempts->keepForLater();
        else
            attempts->discard();
        // The run is put away: its clock stops with it.
        countdownTimer->stop();
    }
    notes->storeNow();
    emit meShow();
    event->accept();
}

void ExamRenLi::timerShowExam()
{
    // A new load is a new run: the previous one saves no more.
    attempts->stop();
    paper.reset();
    handInSaved = true;
    currentIndex = 0;
    previousIndex = 0;
    currentSection = 0;
    promptedSection = -1;
    introducedSections.clear();

    const bool known = examStatus == 3 || examStatus == 5 || (examStatus == 0 && !paperId.isEmpty());
    DbConnection *connection = DbConnection::instance(mediaDirSlash, true);
    if (!known || !connection->opened)
        return;

    pageBuilder = std::make_unique<ExamPageBuilder>(examStatus, appDirSlash);
    if (reviewedHistoryId > 0) {
        showReviewedHandIn();
        return;
    }
    PaperLoader loader(connection->database(), examStatus, mediaDirSlash, SubjectScope::current());
    paper = loader.load(paperId);
    if (!paper)
        return;
    readNotes();
    const int usedBefore = resumeUnfinishedRun();
    const bool resumed = runStartedAt.isValid();
    if (!paper)
        return;

    if (examStatus == 0) {
        updateLabels();
        if (!resumed)
            showPrompt(QStringLiteral("提示"), paperIntroduction(*paper));
        // A paper without a usable time runs untimed rather than ending at once.
        if (paper && paper->timed())
            countdownTimer->start(500);
    } else {
        // Practice runs have no clock and no counts.
        const QList<QWidget *> examOnly{lexamTime, lexamTimeTo, lCount, lRight, lNoAnswer, pBar, label_8};
        for (QWidget *item : examOnly)
            item->hide();
    }

    buildCardPage();
    if (resumed) {
        restoreCardStates();
        showCurrentQuestion();
    } else {
        buildQuestionPage();
    }
    // The dialogs above run their own event loop; the paper may be gone by now.
    if (!paper)
        return;
    // A run taken up again goes on with the time it had left.
    paper->startTime = QTime::currentTime().addSecs(-usedBefore);
    if (!resumed)
        runStartedAt = QDateTime::currentDateTime();
    // The pages report every keystroke in a blank or an essay box, so the
    // capture holds what is typed without asking the page.
    attempts->begin(paperId, examStatus, [this]() {
        return paper ? AttemptSnapshot::capture(*paper, paperId, examStatus, runStartedAt, secondsSinceStart(),
                                                currentIndex)
                     : AttemptSnapshot();
    });
    updateLabels();
}

int ExamRenLi::resumeUnfinishedRun()
{
    runStartedAt = QDateTime();
    AttemptSnapshot snapshot;
    // A run that holds no answer and no flag has nothing to give back: the
    // new run simply takes its place.
    if (!attempts->unfinished(paperId, examStatus, &snapshot) || snapshot.entries.isEmpty()
        || !AttemptQuestions::resume(this, snapshot, paper ? paper->allowedSeconds() : 0) || !paper)
        return 0;
    currentIndex = snapshot.applyTo(*paper);
    runStartedAt = snapshot.startedAt.isValid() ? snapshot.startedAt : QDateTime::currentDateTime();
    return snapshot.elapsedSeconds;
}

void ExamRenLi::showReviewedHandIn()
{
    DbConnection *connection = DbConnection::instance(mediaDirSlash, true);
    HistoryRecord record;
    if (!HistoryStore::find(connection->database(), reviewedHistoryId, &record))
        return;
    paperId = record.paperId;
    paper = HistoryReview::load(connection->database(), record, mediaDirSlash);
    if (!paper)
        return;
    readNotes();
    updateLabels();
    buildCardPage();
    showCurrentQuestion();
    if (!paper)
        return;
    showMarksOnCard();
    runInExam(ResultsPage::resultsCall(ResultsPage::build(*paper, examStatus)));
}

// ---- Pages ----------------------------------------------------------------

bool ExamRenLi::notesShown() const
{
    return paper && (examStatus != ExamQuestion::FormalPaper || paper->handedIn);
}

void ExamRenLi::readNotes()
{
    // What is still waiting is stored first, so that the page shows it.
    notes->storeNow();
    QStringList ids;
    for (const auto &question : paper->questions)
        ids << question->id;
    const QHash<QString, QString> stored =
        NoteStore::notesOf(DbConnection::instance(mediaDirSlash, true)->database(), SubjectScope::current(), ids);
    for (const auto &question : paper->questions)
        question->note = stored.value(question->id);
}

void ExamRenLi::noteChangedJs(QString questionId, QString text)
{
    const ExamQuestion *shown = currentQuestion();
    if (!shown || shown->id != questionId || !notesShown())
        return;
    notes->edit(questionId, text);
    // A question listed twice carries the note in both entries.
    for (const auto &question : paper->questions) {
        if (question->id != questionId)
            continue;
        const bool marked = NotePanel::isNote(question->note);
        question->note = text;
        if (marked != NotePanel::isNote(text))
            runInCard(PageCalls::call(QStringLiteral("setCardNote"),
                                      {question->cardId, NotePanel::isNote(text) ? QStringLiteral("1") : QStringLiteral("0")}));
    }
}

void ExamRenLi::buildCardPage()
{
    if (!paper || !pageBuilder)
        return;
    pageBuilder->showNotes(notesShown());
    webbutton->setHtml(pageBuilder->cardPage(*paper));
}

void ExamRenLi::buildQuestionPage()
{
    ExamQuestion *question = currentQuestion();
    if (!question || paper->sections.empty() || !pageBuilder)
        return;
    currentSection = PaperNavigation::sectionOf(*paper, currentIndex, currentSection);
    pageFirst = currentIndex;
    applyCollectArtwork(question->isCollect);
    checkBox->setChecked(question->marked);
    pageLast = currentIndex;
    // Leaving a page stores what was typed in its note.
    notes->storeNow();
    pageBuilder->showNotes(notesShown());
    webExam->setHtml(pageBuilder->questionPage(*paper, currentIndex, currentSection));

    checkBox->setEnabled(!paper->handedIn);
    // Each section is introduced once per attempt, the first time it is
    // entered; moving back and reviewing ask nothing again.
    if (!paper->handedIn && !introducedSections.contains(currentSection)) {
        introducedSections.insert(currentSection);
        promptedSection = currentSection;
        showPrompt(QStringLiteral("提示"), pageBuilder->sectionIntroduction(*paper, currentSection));
        if (!paper)
            return;
    }
    updateCardHighlight();
}

void ExamRenLi::updateCardHighlight()
{
    if (!paper)
        return;
    const int count = static_cast<int>(paper->questions.size());
    if (previousIndex >= 0 && previousIndex < count)
        runInCard(PageCalls::cardLeft(*paper->questions[static_cast<size_t>(previousIndex)]));
    if (ExamQuestion *question = currentQuestion())
        runInCard(PageCalls::cardCurrent(*question));
    previousIndex = currentIndex;
}

void ExamRenLi::replayAnswers()
{
    if (!paper)
        return;
    for (int i = pageFirst; i <= pageLast && i < static_cast<int>(paper->questions.size()); ++i) {
        // Copy: the page reports each restored answer back while it is replayed.
        const QStringList calls = PageCalls::replay(*paper->questions[static_cast<size_t>(i)]);
        for (const QString &call : calls)
            runInExam(call);
    }
}

void ExamRenLi::showMarksOnPage()
{
    if (!paper)
        return;
    QStringList calls;
    for (int i = pageFirst; i <= pageLast && i < static_cast<int>(paper->questions.size()); ++i)
        calls += PageCalls::pageResult(*paper->questions[static_cast<size_t>(i)]);
    // The page of a marked paper shows answers and takes none.
    calls << QStringLiteral("lockAnswers()");
    runInExam(PageCalls::sequence(calls));
}

void ExamRenLi::showCurrentQuestion()
{
    buildQuestionPage();
    replayAnswers();
    if (paper && paper->handedIn)
        showMarksOnPage();
}

void ExamRenLi::flushTypedAnswers(std::function<void()> then)
{
    // A page still loading has nothing typed in it yet.
    if (afterFlush.isEmpty() && (!paper || paper->handedIn || webExam->loading())) {
        then();
        return;
    }
    afterFlush.append(std::move(then));
    if (afterFlush.size() > 1)
        return;
    const int serial = ++flushSerial;
    const auto finish = [this, serial](const QVariant &value) {
        // Answered already, by the page or by the bound below.
        if (serial != flushSerial || afterFlush.isEmpty())
            return;
        ++flushSerial;
        recordTypedAnswers(value.toString());
        const auto waiting = afterFlush;
        afterFlush.clear();
        for (const auto &next : waiting)
            next();
    };
    webExam->runScript(QStringLiteral("typeof typedAnswers === 'function' ? typedAnswers() : ''"), finish);
    // A page that never answers (one replaced meanwhile) keeps no way out waiting.
    if (!afterFlush.isEmpty())
        QTimer::singleShot(flushBoundMs, this, [finish] { finish(QVariant()); });
}

void ExamRenLi::recordTypedAnswers(const QString &json)
{
    const QJsonObject typed = QJsonDocument::fromJson(json.toUtf8()).object();
    const QJsonObject blanks = typed.value(QStringLiteral("blanks")).toObject();
    for (auto it = blanks.constBegin(); it != blanks.constEnd(); ++it)
        setAsQuestionJs(it.key(), it.value().toString());
    for (const QJsonValue &essay : typed.value(QStringLiteral("essays")).toArray()) {
        const QJsonArray box = essay.toArray();
        setEssayTextJs(box.at(0).toString(), box.at(1).toInt(), box.at(2).toString());
    }
}

void ExamRenLi::setCandidateNumber(const QString &number)
{
    label->setText(label->text().replace(QStringLiteral("准考证号：1001"), QStringLiteral("准考证号：") + number));
}

void ExamRenLi::updateLabels()
{
    if (!paper)
        return;
    const QString untimed = QStringLiteral("不限时");
    lexamTime->setText(QStringLiteral("考试总时间：")
                       + (paper->timed() ? QString::number(paper->examTime) + QStringLiteral("分钟") : untimed));
    lexamTimeTo->setText(QStringLiteral("剩余时间  ：") + (paper->timed() ? QString() : untimed));
    lCount->setText(QStringLiteral("总题数：") + QString::number(paper->askCount));
    lRight->setText(QStringLiteral("已答：") + QString::number(paper->answeredCount));
    lNoAnswer->setText(QStringLiteral("剩余：")
                       + QString::number(paper->askCount - paper->answeredCount));
    // The bar measures the paper's own questions, so it reads 100% only when
    // every question has an answer, however long the paper.
    pBar->setRange(0, qMax(1, paper->askCount));
    pBar->setValue(qBound(0, paper->answeredCount, pBar->maximum()));
}

void ExamRenLi::showPrompt(const QString &caption, const QString &body)
{
    // Over the question, leaving the counts and the card in view.
    Prompt prompt(webExam);
    prompt.caption = caption;
    prompt.body = body;
    prompt.exec();
}

// ---- Answers ----------------------------------------------------------------

void ExamRenLi::setAsQuestionJs(QString tname, QString value)
{
    // A handed-in paper is only reviewed: nothing the page reports changes it.
    if (!paper || paper->handedIn)
        return;
    // The page reports typed answers again on every way out: only a change is saved.
    const bool changes = std::any_of(paper->questions.cbegin(), paper->questions.cend(), [&](const auto &question) {
        return question->tname == tname && question->userAnswer != value;
    });
    showFirstAnswers(AnswerRecorder::record(*paper, tname, value));
    if (changes)
        attempts->changed();
}

void ExamRenLi::setEssayTextJs(QString tname, int box, QString text)
{
    if (!paper || paper->handedIn)
        return;
    bool changed = false;
    // Text typed into an essay box answers it, without waiting for 自评.
    showFirstAnswers(AnswerRecorder::recordEssayText(*paper, tname, box, text, &changed));
    if (changed)
        attempts->changed();
}

void ExamRenLi::showFirstAnswers(const QVector<ExamQuestion *> &firstAnswers)
{
    for (ExamQuestion *question : firstAnswers) {
        // A flagged entry keeps its flag look until the flag is cleared.
        if (question->marked)
            continue;
        runInCard(PageCalls::cardAnswered(*question));
        if (question == currentQuestion())
            runInCard(PageCalls::cardCurrent(*question));
    }
    if (!firstAnswers.isEmpty())
        updateLabels();
}

// ---- Moving -----------------------------------------------------------------

void ExamRenLi::askToMove(std::function<void()> move)
{
    if (!flushingTypedAnswers()) {
        move();
        return;
    }
    // Asked for while the page answers the last way out (a second quick
    // click on an engine that answers later): the move follows that one,
    // worked out from where it led. One waits at most; a later one takes
    // its place, so that held keys do not pile up moves.
    const bool waiting = static_cast<bool>(pendingMove);
    pendingMove = std::move(move);
    if (waiting)
        return;
    afterFlush.append([this]() {
        const auto next = std::move(pendingMove);
        pendingMove = nullptr;
        // A window closed meanwhile keeps its run as it was put away.
        if (next && isVisible())
            next();
    });
}

void ExamRenLi::moveTo(int index)
{
    flushTypedAnswers([this, index]() {
        if (!paper || index < 0 || index >= static_cast<int>(paper->questions.size()))
            return;
        currentIndex = index;
        showCurrentQuestion();
        attempts->changed();
    });
}

void ExamRenLi::refuseMove(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("提示信息"), text);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

void ExamRenLi::on_pbOn_clicked()
{
    askToMove([this]() {
        if (!paper)
            return;
        const int index = PaperNavigation::previous(*paper, currentIndex);
        if (index < 0)
            refuseMove(QStringLiteral("考卷试题已经是第一题"));
        else
            moveTo(index);
    });
}

void ExamRenLi::on_pbUp_clicked()
{
    askToMove([this]() {
        if (!paper)
            return;
        const int index = PaperNavigation::next(*paper, currentIndex);
        if (index < 0)
            refuseMove(QStringLiteral("考卷试题已经是最后一题"));
        else
            moveTo(index);
    });
}

void ExamRenLi::setLocationJs(QString, int sequence)
{
    askToMove([this, sequence]() {
        if (!paper)
            return;
        const int index = PaperNavigation::jump(*paper, sequence);
        if (index >= 0)
            moveTo(index);
    });
}

// ---- Flag -------------------------------------------------------------------

bool ExamRenLi::shoucang(QString tid, int n)
{
    if (!paper)
        return false;
    for (int i = pageFirst; i <= pageLast && i < static_cast<int>(paper->questions.size()); ++i) {
        ExamQuestion &question = *paper->questions[static_cast<size_t>(i)];
        if (question.id != tid)
            continue;
        question.marked = n != 0;
        if (&question == currentQuestion())
            checkBox->setChecked(question.marked);
        if (!paper->handedIn)
            runInCard(PageCalls::cardFlag(question, n != 0));
        attempts->changed();
        return true;
    }
    return false;
}

void ExamRenLi::on_checkBox_clicked()
{
    ExamQuestion *question = currentQuestion();
    if (!question || paper->handedIn)
        return;
    shoucang(question->id, checkBox->isChecked() ? 1 : 0);
}

// ---- Keyboard, calculator, help -------------------------------------------

void ExamRenLi::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Left) {
        on_pbOn_clicked();
    } else if (key == Qt::Key_Right) {
        on_pbUp_clicked();
    } else if (key == Qt::Key_2) {
        on_pbCalc_clicked();
    } else if (key == Qt::Key_3) {
        on_pbHelp_clicked();
    } else if (key == Qt::Key_4) {
        on_assignment_clicked();
    } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const ExamQuestion *question = currentQuestion();
        if (question && !paper->handedIn) {
            const QString call = PageCalls::keyAnswer(*question, key - Qt::Key_A);
            if (!call.isEmpty())
                runInExam(call);
        }
    } else {
        QWidget::keyPressEvent(event);
    }
}

void ExamRenLi::on_pbCalc_clicked()
{
    calculator->start(appDirSlash);
}

void ExamRenLi::on_pbHelp_clicked()
{
    showPrompt(QStringLiteral("帮助"), helpText);
}

// ---- Review and optional sections ------------------------------------------

void ExamRenLi::showAnswerForm()
{
    if (!paper)
        return;
    currentIndex = 0;
    showCurrentQuestion();
}

void ExamRenLi::jsXZBF(QString id)
{
    if (!paper)
        return;
    for (const auto &section : paper->sections)
        section->chosen = section->isselect > 0 && section->id == id;
    attempts->changed();
}

// ---- Countdown, hand-in and marking -----------------------------------------

void ExamRenLi::examJiShi()
{
    if (!paper) {
        countdownTimer->stop();
        return;
    }
    // Recomputed from the start at every tick: a blocked event loop loses no time.
    const int remaining = paper->allowedSeconds() - secondsSinceStart();
    attempts->clockTicked();
    updateLabels();
    lexamTimeTo->setText(ResultsPage::countdownLabel(remaining));
    if (remaining < 1) {
        countdownTimer->stop();
        lexamTimeTo->setText(ResultsPage::countdownLabel(0));
        // Time is up: the paper is handed in as it stands, without asking,
        // and a hand-in question still open is answered by the clock.
        flushTypedAnswers([this]() {
            if (handInQuestion)
                handInQuestion->reject();
            startGrading();
        });
    }
}

int ExamRenLi::secondsSinceStart() const
{
    if (!paper || !paper->startTime.isValid())
        return 0;
    const int seconds = paper->startTime.secsTo(QTime::currentTime());
    return seconds < 0 ? seconds + 24 * 3600 : seconds; // ran past midnight
}

bool ExamRenLi::confirm(const QString &body)
{
    Determine dialog(webExam);
    dialog.body = body;
    handInQuestion = &dialog;
    dialog.exec();
    return dialog.isYes();
}

void ExamRenLi::on_assignment_clicked()
{
    // Handed in already: the results are shown again without asking anew.
    if (paper && paper->handedIn) {
        startGrading();
        return;
    }
    // Asked for while the page answers a move: the hand-in follows it.
    flushTypedAnswers([this]() {
        // Time may have run out while the page answered.
        if (paper && paper->handedIn)
            return;
        const QString reminder = paper ? PaperGrader::handInReminder(*paper) : QString();
        if (!reminder.isEmpty() && !confirm(reminder))
            return;
        if (!confirm(QStringLiteral("<p align='center' style='width:400px; height:40; line-height:40;'><h1>你确定要交卷吗？</h1></p>")))
            return;
        startGrading();
    });
}

void ExamRenLi::startGrading()
{
    if (!paper || paper->questions.empty())
        return;
    if (gradeTimerId != 0)
        killTimer(gradeTimerId);
    gradeTimerId = startTimer(50, Qt::CoarseTimer);
    runInExam(ResultsPage::waitingCall());
}

void ExamRenLi::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != gradeTimerId) {
        QWidget::timerEvent(event);
        return;
    }
    killTimer(gradeTimerId);
    gradeTimerId = 0;
    if (!paper)
        return;
    if (!paper->handedIn) {
        paper->endTime = QTime::currentTime();
        handedInAt = QDateTime::currentDateTime();
        countdownTimer->stop();
        // No save of the run may follow its hand-in.
        attempts->stop();
        PaperGrader::markPaper(*paper);
        checkBox->setEnabled(false);
        showMarksOnCard();
        showMarksOnPage();
        handInSaved = false;
    }
    runInExam(ResultsPage::resultsCall(ResultsPage::build(*paper, examStatus)));
    // The candidate sees the marks of this run whether or not they are stored.
    if (!handInSaved)
        saveHandIn();
}

void ExamRenLi::saveHandIn()
{
    const WriteOutcome outcome = WriteFailurePrompt::saveOrAsk(
        this, WriteFailurePrompt::Write::HandIn, [this]() {
            // A failure keeps the previous book and result as they were.
            return paper ? HandInStore::save(*paper, examStatus, paperId, handedInAt, ReviewStore::examDate())
                         : WriteOutcome();
        });
    handInSaved = outcome.saved();
}

void ExamRenLi::showMarksOnCard()
{
    // One script for the card: a call into a page costs far more than the
    // mark. The question page holds one entry, marked by showMarksOnPage.
    QStringList cardCalls;
    for (const auto &question : paper->questions)
        cardCalls << PageCalls::cardResult(*question);
    if (!cardCalls.isEmpty())
        runInCard(PageCalls::sequence(cardCalls));
}

void ExamRenLi::againQuestion()
{
    if (!paper)
        return;
    paper.reset();
    // Answering a reviewed hand-in again is a new run of its paper.
    reviewedHistoryId = 0;
    if (gradeTimerId != 0) {
        killTimer(gradeTimerId);
        gradeTimerId = 0;
    }
    // The stored result stays until the new run is handed in.
    timerShowExam();
}

void ExamRenLi::fitPanelToTextSize()
{
    // The counts and the answer card beside the question widen with the text.
    const ReadingComfort *comfort = ReadingComfort::current();
    const qreal factor = comfort ? TextSize::factor(comfort->textSize()) : 1.0;
    widget_3->setFixedWidth(qRound(panelWidth * qMax<qreal>(1.0, factor)));
    infoWidget->setMinimumHeight(qRound(infoHeight * qMax<qreal>(1.0, factor)));
}

// ---- Wrong-question book and favourites -------------------------------------

void ExamRenLi::del_question(QString id)
{
    // Only a wrong-question practice shows the book; a formal paper keeps its
    // questions.
    if (!paper || examStatus != 3)
        return;
    if (paper->questions.empty()) {
        clearPages();
        return;
    }
    // Only a question of this practice leaves the book: a page never reaches
    // the rows of another paper.
    const bool ours = std::any_of(paper->questions.cbegin(), paper->questions.cend(),
                                  [&id](const auto &question) { return question->id == id; });
    if (!ours)
        return;
    if (!WriteFailurePrompt::saveOrAsk(this, WriteFailurePrompt::Write::BookRemoval,
                                       [id]() { return WrongBook::remove(id); })
        || !paper)
        return;
    for (size_t i = 0; i < paper->questions.size(); ++i) {
        if (paper->questions[i]->id != id)
            continue;
        EntryRemoval::remove(*paper, static_cast<int>(i));
        // Positions moved: the element ids in the pages follow them.
        for (const auto &question : paper->questions)
            question->render(examStatus, mediaDirSlash, QString());
        break;
    }
    currentSection = 0;
    currentIndex = 0;
    previousIndex = 0;
    if (paper->questions.empty()) {
        clearPages();
        return;
    }
    buildCardPage();
    restoreCardStates();
    showCurrentQuestion();
}

void ExamRenLi::clearPages()
{
    // Nothing is left of the run to take up again.
    attempts->discard();
    paper.reset();
    webExam->setHtml(QStringLiteral("<html><bady></html></bady>"));
    webbutton->setHtml(QString());
}

void ExamRenLi::restoreCardStates()
{
    for (const auto &question : paper->questions) {
        if (paper->handedIn) {
            runInCard(PageCalls::cardResult(*question));
            continue;
        }
        // A flagged entry shows its flag and, like any other, whether it holds an answer.
        if (question->marked)
            runInCard(PageCalls::cardFlag(*question, true));
        else if (question->answered)
            runInCard(PageCalls::cardAnswered(*question));
        if (question->answered)
            runInCard(PageCalls::cardLeft(*question));
    }
}

void ExamRenLi::on_pbCollect_clicked()
{
    ExamQuestion *question = currentQuestion();
    if (!question)
        return;
    const bool favourite = !question->isCollect;
    // The button shows what the database holds: a failed write changes nothing.
    const QString id = question->id;
    const QString category = question->fuleixingid;
    const bool saved = WriteFailurePrompt::saveOrAsk(this, WriteFailurePrompt::Write::Favourite, [=]() {
                           return FavouriteStore::setFavourite(id, category, favourite);
                       }).saved();
    // The dialog runs its own event loop; the paper may be gone by now.
    question = currentQuestion();
    if (!question || question->id != id)
        return;
    if (saved)
        question->isCollect = favourite;
    applyCollectArtwork(question->isCollect);
}
