#pragma once

#include "ui_soquestion.h"
#include "windowdragger.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "questionsearch.h"

class ExamPaper;
class NoteKeeper;

// The question search window: a keyword box and a page of the matching
// questions with their answers, explanations and favourite buttons. The page
// reaches the window as "myjstest".
//
// A search finds its hits a slice of the bank per turn of the event loop and
// shows the first block of hits as soon as it is known, under a count line
// that says the search goes on, until "共 N 题" replaces it when every hit is
// found; further blocks are rendered when the reader nears the end of the
// page or asks for more, found hits only. The page is kept from search to
// search; a new search or closing the window drops what the old one still
// had to do.
class SoQuestion : public QWidget, public Ui::SoQuestion, private WindowDragger
{
    Q_OBJECT
public:
    explicit SoQuestion(QWidget *parent = nullptr);
    ~SoQuestion() override;

    // Starts a search for keyword, replacing the current one; a keyword that
    // cannot be searched is refused with a message in the page. The hits are
    // found over the next turns of the event loop, the first block shown
    // meanwhile.
    void runSearch(const QString &keyword);
    // A search is finding hits, or its first block waits for the page.
    bool searching() const;
    // Hits of the current search found but not yet on the page.
    bool morePending() const;
    // Hits of the current search (0 before the first search or while finding).
    int hitCount() const;
    // The hits shown so far, rendered; null before the first results.
    const ExamPaper *results() const { return resultPaper.get(); }

    // Time each turn of the event loop spends finding hits before input gets in.
    int searchStepMs = 20;

signals:
    void meShow();
    void meHide();
    // The first results of a search (or its message) are in the page.
    void resultsShown();

public slots:
    void soQuestionJS();
    // Favourite button of a result: n 1 makes question tid a favourite, 0 clears
    // it. False when nothing was stored: the button keeps its look.
    bool shoucang(const QString &tid, int n);
    // The page asks for the next block of hits.
    void moreResults();
    // The note box of a hit holds text; stored a moment later. Ignored for a
    // question that is no hit on the page.
    void noteChangedJs(const QString &questionId, const QString &text);

private slots:
    void on_bMax_clicked();
    void on_bRest_clicked();
    void on_soButton_clicked();
    void resultPageReady();
    void continueSearch();
    void appendNextBlock();
    // The window's grounds in the reader's theme.
    void applyTheme();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void applyButtonStyles();
    // Finds hits for a turn of the event loop; until the first block is
    // known, in the search's smallest steps, so that it shows as soon as it
    // is (a search about to end is let end first).
    QuestionSearch::Status stepSearch();
    // Shows the count line and the first block of hits in the page.
    void buildResultPage();
    // The count line of the current search: final once it is done.
    QString currentCountLine() const;
    // Whether the page offers more: hits found and not shown, or to come.
    bool moreToCome() const;
    void stopSearch();
    void showInPage(const QString &script);
    // Asks the page whether its end is in view and, if so, adds the next block.
    void appendWhenNearEnd();
    // Renders the next block of hits into the results; its page HTML.
    QString renderNextBlock();

    int renderMode = 5;
    // Stores the notes typed on the page; what waits is stored when the window goes.
    NoteKeeper *notes = nullptr;
    std::unique_ptr<QuestionSearch> search;
    std::unique_ptr<ExamPaper> resultPaper;
    int nextHit = 0;
    // The hits the count line on the page says were found so far.
    int countShown = -1;
    QElapsedTimer countClock;
    // The page has been asked whether its end is in view and has not answered.
    bool askingNearEnd = false;
    // Each turn of the event loop finds hits for a while, then lets input in.
    QTimer searchTimer;
    QTimer blockTimer;
    bool pageLoaded = false;
    // Counts searches, so that a late answer of the page finds its own.
    int searchSerial = 0;
    // The first results of a search made before the page had loaded.
    QString waitingScript;
};
