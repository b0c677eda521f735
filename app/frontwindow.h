#pragma once

class QWidget;

// Brings the program forward when a second start hands over to it: an open
// modal dialog first, else the main window when shown, else the window shown
// in its place (the login, exam and search windows hide the main window).
// A minimised window is restored.
void bringProgramForward(QWidget *mainWindow);
