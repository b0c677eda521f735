#pragma once

#include "exampaper.h"
#include "ui_examrenli.h"
#include "windowdragger.h"

#include <QDate>
#include <QDateTime>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class CalculatorLauncher;
class Determine;
class AttemptController;
class ExamPageBuilder;
class NoteKeeper;
class QTimer;

// The window of one practice run (formal paper, wrong-question practice or
// favourites practice): one question at a time in webExam, the answer card in
// webbutton, the counts and the exam bar. Both pages reach the window through
// the bridge object "myjstest" (ExamBridge).
class ExamRenLi : public QWidget, public Ui::ExamRenLi, public WindowDragger
{
    Q_OBJECT
public:
    // The main window passes its geometry and a number; only parent is used.
    ExamRenLi(int left, int top, int width, int height, int number, QWidget *parent = nullptr);
    ~ExamRenLi() override;

    // Status 0: an exam_paper id; status 3: the home page's practice key,
    // replaced by the paper id inside it when the window is shown; status 5:
    // a question category id.
    QString paperId;
    // 0 formal paper, 3 wrong-question practice, 5 favourites practice; also
    // the renderers' mode. Any other value loads nothing.
    int examStatus = -1;
    // Page files, and the data folder with data.db and the question media
    // (img/, mp4/); both end in "/" (AppPaths).
    QString appDirSlash;
    QString mediaDirSlash;
    // A handed-in attempt (exam_history id) to show for review instead of a
    // new run; 0 for a run.
    qint64 reviewedHistoryId = 0;
    // Keeps the unfinished run in data.db while the candidate works.
    AttemptController *attempts = nullptr;
    // Stores the notes typed in the question page.
    NoteKeeper *notes = nullptr;
    // The run's save problem as last said by its controller.
    QString runSaveProblem;

    std::unique_ptr<ExamPaper> paper;
    // False while the marked paper's hand-in is not stored: handing in again
    // tries to store it again.
    bool handInSaved = true;
    int gradeTimerId = 0;
    QTimer *countdownTimer = nullptr;

    int currentIndex = 0;      // entry shown
    int previousIndex = 0;     // entry highlighted as current on the card
    int currentSection = 0;    // section holding currentIndex
    int promptedSection = -1;  // section whose introduction was shown last
    QSet<int> introducedSections; // sections introduced in this attempt
    int pageFirst = 0;         // entries on the page (one per page)
    int pageLast = 0;

    // Runs a page function in the question page or in the answer card, once
    // the page has finished loading.
    void runInExam(const QString &script);
    void runInCard(const QString &script);
    // Either page is still loading its scripts.
    bool pagesLoading() const;

    // Builds the page of currentIndex, replays its answers and, after marking,
    // shows the marks: what every move, jump and review does.
    void showCurrentQuestion();
    // Restores the stored answers into the question page.
    void replayAnswers();
    // Explanations and right/wrong marks of the questions on the page.
    void showMarksOnPage();
    // Counts, answered count and progress bar.
    void updateLabels();
    // The number the candidate logged in with, in the information strip.
    void setCandidateNumber(const QString &number);
    // Records what the page's blanks and essay boxes hold, then runs then:
    // every way out of the page (move, jump, hand-in, close) goes through it.
    // The page answers later on some engines; meanwhile a hand-in or a close
    // waits and runs once the answer is in, in order, and so does one move
    // (askToMove). A page that does not answer within flushBoundMs is given up.
    void flushTypedAnswers(std::function<void()> then);
    // A flush is waiting for the page's answer.
    bool flushingTypedAnswers() const { return !afterFlush.isEmpty(); }
    // The question at currentIndex; null without one.
    ExamQuestion *currentQuestion() const;

signals:
    void meShow();
    void meHide();

public slots:
    void setAsQuestionJs(QString tname, QString value);
    // An essay box's text changed (box 0 is the question's first box).
    void setEssayTextJs(QString tname, int box, QString text);
    void setLocationJs(QString tname, int sequence);
    // The flag of a question on the page; false when none was changed.
    bool shoucang(QString tid, int n);
    // Left (-1) or Right (1) pressed in a page outside a text box.
    void arrowKeyJs(int step);
    // The note box of the question on the page holds text; stored a moment
    // later. Ignored for any other question, and in a formal paper before
    // its hand-in.
    void noteChangedJs(QString questionId, QString text);
    void againQuestion();
    void jsXZBF(QString id);
    void del_question(QString id);
    void showAnswerForm();
    void examJiShi();

private slots:
    // Shows the run's save problem, else a note's, while there is one.
    void showSaveProblem();
    void on_bMax_clicked();
    void on_bRest_clicked();
    void on_assignment_clicked();
    void on_pbOn_clicked();
    void on_pbUp_clicked();
    void on_pbCalc_clicked();
    void on_checkBox_clicked();
    void timerShowExam();
    void on_pbHelp_clicked();
    void on_pbCollect_clicked();

protected:
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The side panel's width at the standard text size.
    static constexpr int panelWidth = 260;
    // The candidate strip's height at the standard text size.
    static constexpr int infoHeight = 36;
    void fitPanelToTextSize();
    void applyButtonArtwork();
    void applyCollectArtwork(bool favourite);
    void buildQuestionPage();
    void buildCardPage();
    void updateCardHighlight();
    // Runs move now, or after the way out under way (see flushTypedAnswers).
    void askToMove(std::function<void()> move);
    void moveTo(int index);
    void refuseMove(const QString &text);
    void showPrompt(const QString &caption, const QString &body);
    // Seconds since the first question was shown.
    int secondsSinceStart() const;
    // A yes/no question; true for "yes".
    bool confirm(const QString &body);
    // Marking starts 50 ms from now; the results popup follows.
    void startGrading();
    // Card entries and counts of questions that have just got their first answer.
    void showFirstAnswers(const QVector<ExamQuestion *> &firstAnswers);
    // Records the value of the page's typedAnswers().
    void recordTypedAnswers(const QString &json);
    // Hands in after the answers typed so far are recorded.
    void flushAndGrade();
    // Right/wrong on every card entry.
    void showMarksOnCard();
    // Card entries of a rebuilt card in the states of their questions.
    void restoreCardStates();
    // No paper left: both pages emptied.
    void clearPages();
    // Offers the stored unfinished run of the paper just loaded and puts it
    // back when taken up; returns the seconds it had used (0 for a new run).
    int resumeUnfinishedRun();
    // Loads the reviewed hand-in and shows it as right after its hand-in.
    void showReviewedHandIn();
    // Whether the pages show notes: in practice, and after the hand-in.
    bool notesShown() const;
    // Puts the stored notes on the questions of the paper just loaded.
    void readNotes();
    // Stores the hand-in of the marked paper; a failure is told, with a retry.
    void saveHandIn();

    std::unique_ptr<ExamPageBuilder> pageBuilder;
    // What waits for the flush under way, and which flush that is.
    QList<std::function<void()>> afterFlush;
    int flushSerial = 0;
    // The move asked for during the flush under way.
    std::function<void()> pendingMove;
    static const int flushBoundMs = 3000;
    // The close under way has recorded the typed answers.
    bool closeFlushed = false;
    bool insideCloseEvent = false;
    CalculatorLauncher *calculator = nullptr;
    // The hand-in question on screen; time running out closes it.
    QPointer<Determine> handInQuestion;
    QDateTime runStartedAt;
    QDateTime handedInAt;
};
