#pragma once

#include "benchcontext.h"
#include "measureresult.h"
#include "modaldismisser.h"

#include <QVector>
#include <memory>

class ExamPaper;
class ExamRenLi;
class PageView;

// The exam window on the generated paper, timed as the candidate waits:
// opening the paper until its first question and card are painted, moving to
// the next question, and handing in until the results popup is painted. Each
// against the same database work with prepared statements and the identical
// page texts in bare page views of the same size.
class ExamWindowMeasures
{
public:
    explicit ExamWindowMeasures(const BenchContext &context);
    ~ExamWindowMeasures();

    MeasureResult paperOpen();
    MeasureResult move();
    MeasureResult handIn();

private:
    std::unique_ptr<ExamRenLi> newWindow() const;
    bool openWindow();
    bool waitForScripts(ExamRenLi &window);
    static QVector<int> moveStarts(const ExamPaper &paper, int count);
    double showInFloorView(PageView &view, const QString &html, const QSize &size);

    const BenchContext &m_context;
    ModalDismisser m_dismisser;
    std::unique_ptr<ExamRenLi> m_window;
    std::unique_ptr<PageView> m_floorView;
    std::unique_ptr<PageView> m_secondFloorView;
    bool m_opened = false;
};
