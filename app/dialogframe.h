#pragma once

class QWidget;

// The frame of the program's dialogs: a title and a close button, no
// minimise or maximise (a dialog is answered, not put away).
namespace DialogFrame {

void apply(QWidget *dialog);

} // namespace DialogFrame
