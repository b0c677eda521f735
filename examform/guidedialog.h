#pragma once

#include <QDialog>

class PageView;

// "操作演示" of the candidate screen: how the exam window is used, with a
// picture of it, before the exam starts.
class GuideDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GuideDialog(QWidget *parent = nullptr);

    PageView *view() const { return m_view; }

private:
    PageView *m_view = nullptr;
};
