#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Keeps a dialog centred on its parent widget (a window, or a part of one that
// the dialog must not hide the rest of): when it is shown and whenever the
// window moves or changes size. A dialog without a parent is left where the
// system puts it.
class CentredOnParent : public QObject
{
    Q_OBJECT
public:
    // Owned by the dialog.
    explicit CentredOnParent(QWidget *dialog);

    // A frameless dialog window centred on its parent. A child dialog
    // stays above its window; one without a parent stays on top so that it is
    // not lost behind other windows.
    static void frame(QWidget *dialog);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centre();

    QWidget *m_dialog;
    QPointer<QWidget> m_window;
};
