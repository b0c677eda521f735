#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class ScreenshotSession;
class QWidget;

// Pictures and answers every modal dialog that opens during the screenshot run
// (subject choice, introductions, hand-in questions, message boxes), so that
// no exec() blocks the run. Each dialog gets the next expected name; dialogs
// beyond the list are answered without a picture.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    explicit ModalAnswerer(ScreenshotSession &session);

    // Names for the pictures of the next dialogs, in the order they open.
    void expect(const QStringList &names);
    int answeredCount() const { return m_answered; }

private slots:
    void poll();

private:
    void answer(QWidget *dialog);

    ScreenshotSession &m_session;
    QStringList m_names;
    QTimer m_timer;
    QPointer<QWidget> m_current;
    QElapsedTimer m_seen;
    int m_answered = 0;
};
