#pragma once

#include <QObject>
#include <QPointer>

class ExamRenLi;

// The bridge object "myjstest" of the exam window's question page and answer
// card: what their scripts may ask of the window, and nothing else of it.
class ExamBridge : public QObject
{
    Q_OBJECT
public:
    explicit ExamBridge(ExamRenLi *window);

public slots:
    void setAsQuestionJs(const QString &tname, const QString &value);
    void setEssayTextJs(const QString &tname, int box, const QString &text);
    void setLocationJs(const QString &tname, int sequence);
    // The flag of a question; the page hears the outcome through scAnswered.
    void shoucang(const QString &tid, int n);
    void againQuestion();
    void jsXZBF(const QString &id);
    void del_question(const QString &id);
    void showAnswerForm();
    // The note box of the question questionId holds text now.
    void noteChangedJs(const QString &questionId, const QString &text);
    // Left (-1) or Right (1) pressed in the page outside a text box.
    void arrowKeyJs(int step);

private:
    QPointer<ExamRenLi> m_window;
};
