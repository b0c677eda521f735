#include "enterkey.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

namespace EnterKey {

bool isEnter(const QKeyEvent *event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !(event->modifiers() & ~Qt::KeypadModifier);
}

void press(QWidget *screen, const std::function<void()> &mainAction)
{
    auto *button = qobject_cast<QAbstractButton *>(screen->focusWidget());
    if (button && button->isEnabled() && button->isVisible())
        button->click();
    else
        mainAction();
}

} // namespace EnterKey
