#include "modalanswerer.h"

#include "screenshotsession.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace {
// Time a dialog gets to fill itself (its texts are set when it is shown).
const int renderDelayMs = 600;
}

ModalAnswerer::ModalAnswerer(ScreenshotSession &session)
    : m_session(session)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(100);
}

void ModalAnswerer::expect(const QStringList &names)
{
    m_names = names;
}

void ModalAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (modal != m_current) {
        m_current = modal;
        m_seen.start();
        return;
    }
    if (m_seen.elapsed() < renderDelayMs)
        return;
    m_current = nullptr;
    if (!m_names.isEmpty())
        m_session.captureOverWindow(modal, m_names.takeFirst());
    answer(modal);
}

void ModalAnswerer::answer(QWidget *dialog)
{
    ++m_answered;
    // Yes to questions, acknowledge information, keep the first subject.
    for (const char *name : {"pbYes", "pbOk", "pushButton"})
        if (ScreenshotSession::click(dialog, QString::fromLatin1(name)))
            return;
    if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
        for (QAbstractButton *button : box->buttons())
            if (box->buttonRole(button) == QMessageBox::AcceptRole) {
                button->click();
                return;
            }
    }
    dialog->close();
}
