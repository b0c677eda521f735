#pragma once

class QMouseEvent;
class QWidget;

// The left-button drag of a window without a system frame. A window takes it
// as a base, so that the drag state stays the window's own members, and calls
// it from its mouse press, move and release handlers.
class WindowDragger
{
public:
    // Only a press this close to the frame's top edge (the title strip) moves
    // the window.
    static constexpr int dragStripHeight = 90;

    bool dragging = false;
    int dragOffsetX = 0;
    int dragOffsetY = 0;

protected:
    // A left-button press remembers where the pointer is inside the frame.
    void startDrag(const QWidget *window, const QMouseEvent *event);
    // Moves a window that is not maximised along with the held left button.
    void followDrag(QWidget *window, const QMouseEvent *event) const;
    void endDrag();
};
