#pragma once

#include "clock.h"
#include "homeaction.h"
#include "writeoutcome.h"
#include "ui_fwelcome.h"

#include <QMap>
#include <QSqlDatabase>
#include <QWidget>
#include <functional>

class QMenu;

struct StartFigures;

// The home form: one web view showing the start page or one of the lists. The
// page reaches the form's public slots through the bridge object "myjstest";
// the form hands the user's choices to the main window by its signals.
class Fwelcome : public QWidget, public Ui::Fwelcome
{
    Q_OBJECT
public:
    explicit Fwelcome(QWidget *parent = nullptr);
    ~Fwelcome() override;

    // The day the review plan and the drawn papers are made for.
    const Clock *clock = &Clock::system();
    // Whether the page in view is the start page.
    bool onStartPage = false;

signals:
    // status 0: a paper id (formal paper); 3: the wrong-question practice id;
    // 5: a question category id (favourites practice).
    void showExam(QString id, int status);
    void showSo();
    // A handed-in attempt (exam_history id) to open for review.
    void showHistory(qint64 historyId);
    // A page was shown: the start page or another (a list, a record).
    void pageShown(bool startPage);

public slots:
    void openkaojuang(QString examid);
    void showErrorPaper(QString paperid);
    void showshoucang(QString typeId);
    void my_refresh01();
    void zhentiJS();
    void moniJS();
    void cuotiJS();
    void qingchuJS();
    void sotiJS();
    void shoucangJS();
    void openSubject();
    // The start page's "切换科目": asks for the subject again.
    void switchSubject();
    // A button of the start page's action row.
    void homeAction(QString key);
    // The 每日一练 card: ten of today's questions.
    void dailyPractice();
    // A list page's "练习这些题": "stubborn" or "mastered".
    void practiseList(QString which);
    // The delete link of a drawn paper, after a confirmation.
    void deleteGeneratedPaper(QString paperId);
    void deleteImportedPaper(QString paperId);
    // A row of the 成绩记录 page.
    void openHistoryAttempt(QString historyId);
    // 我的笔记 showing the notes that hold words.
    void searchNotes(QString words);
    // A note's question in practice: only a question with a note in the
    // current subject, as the list shows.
    void practiseNote(QString questionId);
    // The questions of the notes that hold words, in practice.
    void practiseNotes(QString words);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    // Shows a built page; a null page (database closed) leaves the view as it is.
    void showPage(const QString &html, bool startPage = false);
    void showStartPage();
    // Shows the page build makes from the program's connection; nothing while
    // the database is closed.
    void showDatabasePage(const std::function<QString(QSqlDatabase)> &build);
    void runSubjectDialog();

    // Adds a button to the start page's action row; badge, when given, is
    // made afresh each time the page is built, from figures read once for it.
    void addHomeAction(const QString &key, const QString &label, const QString &hint,
                       std::function<void()> run, std::function<QString(const StartFigures &)> badge = nullptr);
    void registerHomeActions();
    // The menu of the text sizes, made when first asked for.
    QMenu *textSizeMenu();
    QStringList todaysReviews() const;
    void startReview();
    void chooseExamDate();
    void drawPaper();
    // A practice of the given questions in the exam window's practice mode.
    void practise(const QString &title, const QStringList &questionIds);
    void restoreBackup();
    // Asks before a paper is deleted, deletes it, and shows its list again.
    void deletePaper(const QString &title, const QString &question, const std::function<WriteOutcome()> &remove,
                     QString (*list)());
    HomeActions currentHomeActions() const;

    struct RegisteredAction
    {
        HomeAction action;
        std::function<void()> run;
        std::function<QString(const StartFigures &)> badge;
    };
    QList<RegisteredAction> homeActions;

    int subjectCheckTimerId = 0;
    QMenu *m_textSizeMenu = nullptr;
};
