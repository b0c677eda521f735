#pragma once

#include <QSqlDatabase>

class MainWindow;
class ModalAnswerer;
class ScreenshotSession;

// The spaced review and the drawn papers in the screenshot run.
namespace PracticeTour {

// Review records on top of the seeded book, dated from today: an exam date
// three weeks ahead, a stubborn question, a mastered one, and a drawn paper.
void seed(QSqlDatabase db);

// The due review, the stubborn list, the draw dialog and the drawn papers.
void run(ScreenshotSession &session, ModalAnswerer &modals, MainWindow &main);

} // namespace PracticeTour
