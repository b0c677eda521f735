#pragma once

#include "ui_soquestion.h"
#include "windowdragger.h"

#include <QTimer>
#include <QWidget>
#include <memory>

class ExamPaper;

// The question search window: a keyword box and a page of the matching
// questions with their answers, explanations and favourite buttons. The page
// reaches the window as "myjstest".
class SoQuestion : public QWidget, public Ui::SoQuestion, private WindowDragger
{
    Q_OBJECT
public:
    explicit SoQuestion(QWidget *parent = nullptr);
    ~SoQuestion() override;

    // Replaces the results by the hits of keyword.
    void runSearch(const QString &keyword);
    // Shows the current results in soWebView: the page with the first block of
    // hits at once, the further blocks appended one by one from the event loop.
    void buildResultPage();
    // Whether blocks of the current results are still to be appended.
    bool resultPagePending() const { return nextBlock < blockCount; }
    // The current results; null before the first search.
    const ExamPaper *results() const { return resultPaper.get(); }

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void meShow();
    void meHide();

public slots:
    void soWebViewJs();
    void soQuestionJS();
    // Favourite button of a result: n 1 makes question tid a favourite, 0 clears it.
    void shoucang(const QString &tid, int n);

private slots:
    void on_bMax_clicked();
    void on_bRest_clicked();
    void on_soButton_clicked();
    void resultPageLoaded();
    void appendNextBlock();

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
    void cancelPendingBlocks();
    void releaseReplacedPages();

    int renderMode = 5;
    std::unique_ptr<ExamPaper> resultPaper;
    // Appends the blocks after the first, one per turn of the event loop, so
    // that input is answered between them.
    QTimer blockTimer;
    int nextBlock = 0;
    int blockCount = 0;
};
