#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

// Enter on a screen that is no dialog (login, candidate screen): the button
// the keyboard is on is pressed; anywhere else the screen's main action runs.
namespace EnterKey {

bool isEnter(const QKeyEvent *event);
void press(QWidget *screen, const std::function<void()> &mainAction);

} // namespace EnterKey
