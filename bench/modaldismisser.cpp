#include "modaldismisser.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPushButton>

ModalDismisser::ModalDismisser()
{
    qApp->installEventFilter(this);
}

ModalDismisser::~ModalDismisser()
{
    qApp->removeEventFilter(this);
}

bool ModalDismisser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        auto *dialog = qobject_cast<QDialog *>(watched);
        auto *yes = m_confirming && watched->inherits("Determine")
            ? watched->findChild<QPushButton *>(QStringLiteral("pbYes"))
            : nullptr;
        if (yes) {
            ++m_confirmations;
            QMetaObject::invokeMethod(yes, &QPushButton::click, Qt::QueuedConnection);
        } else if (dialog && dialog->isModal()) {
            ++m_dismissed;
            // Once its own event loop runs, so that exec() returns at once.
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}
