#pragma once

#include <QObject>
#include <QPointer>

class PageView;
class QWidget;

// Waits for a page view to finish loading the page it was last given, images,
// style sheets and scripts included, and then for it to be laid out or painted
// on the screen. Arm it before the call that loads.
class PageLoadWaiter : public QObject
{
public:
    explicit PageLoadWaiter(PageView *view);

    void arm();
    // Runs the event loop until the load has finished, then has the page laid
    // out; false after timeoutMs.
    bool wait(int timeoutMs = 30000);
    // Runs the event loop until the load has finished and the view has then
    // been painted; false after timeoutMs.
    bool waitPainted(int timeoutMs = 30000);
    // Runs the event loop until the view is next painted (the page already
    // loaded); false after timeoutMs.
    bool waitNextPaint(int timeoutMs = 30000);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The page is ready; its images and style sheets may still be coming.
    void pageReady();
    void checkComplete(int load);
    void loaded();
    // The widget the engine draws the page in (Qt WebEngine makes it with
    // the first page).
    void watchDrawing();

    PageView *m_view;
    QPointer<QWidget> m_drawing;
    int m_load = 0;
    bool m_finished = false;
    bool m_painted = false;
};
