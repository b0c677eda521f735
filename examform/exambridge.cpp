#include "exambridge.h"

#include "examrenli.h"
#include "pagecalls.h"

ExamBridge::ExamBridge(ExamRenLi *window)
    : QObject(window)
    , m_window(window)
{
}

void ExamBridge::setAsQuestionJs(const QString &tname, const QString &value)
{
    if (m_window)
        m_window->setAsQuestionJs(tname, value);
}

void ExamBridge::setEssayTextJs(const QString &tname, int box, const QString &text)
{
    if (m_window)
        m_window->setEssayTextJs(tname, box, text);
}

void ExamBridge::setLocationJs(const QString &tname, int sequence)
{
    if (m_window)
        m_window->setLocationJs(tname, sequence);
}

void ExamBridge::againQuestion()
{
    if (m_window)
        m_window->againQuestion();
}

void ExamBridge::jsXZBF(const QString &id)
{
    if (m_window)
        m_window->jsXZBF(id);
}

void ExamBridge::del_question(const QString &id)
{
    if (m_window)
        m_window->del_question(id);
}

void ExamBridge::showAnswerForm()
{
    if (m_window)
        m_window->showAnswerForm();
}

void ExamBridge::arrowKeyJs(int step)
{
    if (m_window)
        m_window->arrowKeyJs(step);
}

void ExamBridge::noteChangedJs(const QString &questionId, const QString &text)
{
    if (m_window)
        m_window->noteChangedJs(questionId, text);
}

void ExamBridge::shoucang(const QString &tid, int n)
{
    if (!m_window)
        return;
    const bool changed = m_window->shoucang(tid, n);
    if (m_window)
        m_window->webExam->runScript(PageCalls::favouriteAnswer(tid, n, changed));
}
