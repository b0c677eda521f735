#include "homebridge.h"

#include "fwelcome.h"

HomeBridge::HomeBridge(Fwelcome *form)
    : QObject(form)
    , m_form(form)
{
}

void HomeBridge::openkaojuang(const QString &examid)
{
    if (m_form)
        m_form->openkaojuang(examid);
}

void HomeBridge::showErrorPaper(const QString &paperid)
{
    if (m_form)
        m_form->showErrorPaper(paperid);
}

void HomeBridge::showshoucang(const QString &typeId)
{
    if (m_form)
        m_form->showshoucang(typeId);
}

void HomeBridge::zhentiJS()
{
    if (m_form)
        m_form->zhentiJS();
}

void HomeBridge::moniJS()
{
    if (m_form)
        m_form->moniJS();
}

void HomeBridge::cuotiJS()
{
    if (m_form)
        m_form->cuotiJS();
}

void HomeBridge::qingchuJS()
{
    if (m_form)
        m_form->qingchuJS();
}

void HomeBridge::sotiJS()
{
    if (m_form)
        m_form->sotiJS();
}

void HomeBridge::shoucangJS()
{
    if (m_form)
        m_form->shoucangJS();
}

void HomeBridge::switchSubject()
{
    if (m_form)
        m_form->switchSubject();
}

void HomeBridge::homeAction(const QString &key)
{
    if (m_form)
        m_form->homeAction(key);
}

void HomeBridge::dailyPractice()
{
    if (m_form)
        m_form->dailyPractice();
}

void HomeBridge::practiseList(const QString &which)
{
    if (m_form)
        m_form->practiseList(which);
}

void HomeBridge::deleteGeneratedPaper(const QString &paperId)
{
    if (m_form)
        m_form->deleteGeneratedPaper(paperId);
}

void HomeBridge::deleteImportedPaper(const QString &paperId)
{
    if (m_form)
        m_form->deleteImportedPaper(paperId);
}

void HomeBridge::openHistoryAttempt(const QString &historyId)
{
    if (m_form)
        m_form->openHistoryAttempt(historyId);
}

void HomeBridge::searchNotes(const QString &words)
{
    if (m_form)
        m_form->searchNotes(words);
}

void HomeBridge::practiseNote(const QString &questionId)
{
    if (m_form)
        m_form->practiseNote(questionId);
}

void HomeBridge::practiseNotes(const QString &words)
{
    if (m_form)
        m_form->practiseNotes(words);
}
