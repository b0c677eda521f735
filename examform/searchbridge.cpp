#include "searchbridge.h"

#include "pagecalls.h"
#include "soquestion.h"

SearchBridge::SearchBridge(SoQuestion *window)
    : QObject(window)
    , m_window(window)
{
}

void SearchBridge::soQuestionJS()
{
    if (m_window)
        m_window->soQuestionJS();
}

void SearchBridge::shoucang(const QString &tid, int n)
{
    if (!m_window)
        return;
    const bool stored = m_window->shoucang(tid, n);
    if (m_window)
        m_window->soWebView->runScript(PageCalls::favouriteAnswer(tid, n, stored));
}

void SearchBridge::moreResults()
{
    if (m_window)
        m_window->moreResults();
}

void SearchBridge::noteChangedJs(const QString &questionId, const QString &text)
{
    if (m_window)
        m_window->noteChangedJs(questionId, text);
}
