#pragma once

#include "benchcontext.h"
#include "measureresult.h"
#include "modaldismisser.h"

#include <QVector>
#include <memory>

class ExamPaper;
class ExamRenLi;
class QWebView;

// Moving to the next question and showing the answer card, in a real exam
// window on the generated paper, every entry answered; each against setHtml of
// the identical page text in a bare web view of the same size.
class ExamWindowMeasures
{
public:
    explicit ExamWindowMeasures(const BenchContext &context);
    ~ExamWindowMeasures();

    MeasureResult move();
    MeasureResult card();

private:
    bool openWindow();
    bool waitForScripts();
    static QVector<int> moveStarts(const ExamPaper &paper, int count);
    double showInFloorView(const QString &html, const QSize &size);

    const BenchContext &m_context;
    ModalDismisser m_dismisser;
    std::unique_ptr<ExamRenLi> m_window;
    std::unique_ptr<QWebView> m_floorView;
    bool m_opened = false;
};
