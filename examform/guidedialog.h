#pragma once

#include <QDialog>

class QWebView;

// "操作演示" of the candidate screen: how the exam window is used, with a
// picture of it, before the exam starts.
class GuideDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GuideDialog(QWidget *parent = nullptr);

    QWebView *view() const { return m_view; }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWebView *m_view = nullptr;
};
