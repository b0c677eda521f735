#pragma once

#include <initializer_list>

class QEvent;
class QWidget;

// What a window's event filter does for its web views: the page offers no
// context menu and no copying. Right-button presses, releases and double
// clicks are swallowed (and every view of the window loses its context menu),
// and so are the Copy shortcut and whatever is dragged onto the page.
namespace WebViewGuard {

// True when event must not reach the view.
bool swallows(QEvent *event, std::initializer_list<QWidget *> views);

} // namespace WebViewGuard
