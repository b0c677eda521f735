#pragma once

class QWidget;

// The max and restore buttons in the title strip of a frameless window. A
// maximised window covers the available area of the default screen (the task
// bar stays visible) and shows the restore button in place of the max button.
namespace MaximiseButtons {

void maximise(QWidget *window, QWidget *maxButton, QWidget *restButton);
void restore(QWidget *window, QWidget *maxButton, QWidget *restButton);
// Called from a resize: a maximised window stays on the available area.
void keepMaximised(QWidget *window, QWidget *maxButton, QWidget *restButton);

} // namespace MaximiseButtons
