#pragma once

#include <QObject>
#include <QPointer>

class SoQuestion;

// The bridge object "myjstest" of the search page: what the page's scripts
// may ask of the search window, and nothing else of it.
class SearchBridge : public QObject
{
    Q_OBJECT
public:
    explicit SearchBridge(SoQuestion *window);

public slots:
    void soQuestionJS();
    // A favourite button: the page hears whether it was stored through
    // scAnswered(tid, n, stored).
    void shoucang(const QString &tid, int n);
    void moreResults();
    void noteChangedJs(const QString &questionId, const QString &text);

private:
    QPointer<SoQuestion> m_window;
};
