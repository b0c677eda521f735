#pragma once

#include <QObject>
#include <QPointer>

class Fwelcome;

// The bridge object "myjstest" of the home page: what the page's scripts may
// ask of the home form, and nothing else of it.
class HomeBridge : public QObject
{
    Q_OBJECT
public:
    explicit HomeBridge(Fwelcome *form);

public slots:
    void openkaojuang(const QString &examid);
    void showErrorPaper(const QString &paperid);
    void showshoucang(const QString &typeId);
    void zhentiJS();
    void moniJS();
    void cuotiJS();
    void qingchuJS();
    void sotiJS();
    void shoucangJS();
    void switchSubject();
    void homeAction(const QString &key);
    void dailyPractice();
    void practiseList(const QString &which);
    void deleteGeneratedPaper(const QString &paperId);
    void deleteImportedPaper(const QString &paperId);
    void openHistoryAttempt(const QString &historyId);
    // 我的笔记: the list of notes holding words; one question, or all listed, in practice.
    void searchNotes(const QString &words);
    void practiseNote(const QString &questionId);
    void practiseNotes(const QString &words);

private:
    QPointer<Fwelcome> m_form;
};
