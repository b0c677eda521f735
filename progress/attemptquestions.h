#pragma once

#include <QString>

class AttemptSnapshot;
class QWidget;

// The two questions about an unfinished run, as message boxes.
class AttemptQuestions
{
public:
    // Starting a paper with an unfinished run: true for "继续上次作答", false
    // for "重新开始" (also when the box is closed: the stored run is replaced
    // only once the new one is saved).
    static bool resume(QWidget *parent, const AttemptSnapshot &snapshot, int allowedSeconds);

    enum class OnClose { Keep, Discard, StayOpen };
    // Closing the window mid-paper. Escape keeps the run: nothing is lost.
    // saveError, when not empty, says the last automatic save failed.
    static OnClose onClose(QWidget *parent, const QString &saveError);

    // The text of the resume question.
    static QString resumeText(const AttemptSnapshot &snapshot, int allowedSeconds);
};
