#pragma once

#include <QPointer>
#include <QWidget>

// A clear ring around the native control that has the keyboard focus, drawn
// above it in its window: the program's image buttons draw no focus of their
// own, and a Tab must never move to an unseen place where Enter would act.
// Pages draw their own focus (the style sheets' :focus), so a page view gets
// no ring.
class FocusRing : public QWidget
{
    Q_OBJECT
public:
    // From now on one ring follows the application's focus.
    static void followApplicationFocus();
    // The ring following the focus, when there is one on screen.
    static FocusRing *current();

    QWidget *target() const { return m_target; }
    // Whether a control gets a ring when it has the focus.
    static bool wantsRing(const QWidget *widget);

    static constexpr int margin = 3;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    explicit FocusRing(QWidget *window);
    static void follow(QWidget *now);
    void attach(QWidget *target);
    void place();

    QPointer<QWidget> m_target;
};
