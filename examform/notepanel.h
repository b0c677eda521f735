#pragma once

#include <QString>

// The note of a question as a page shows it: a 笔记 button, marked when the
// question has a note, and beside the question a box (closed until the button
// opens it) whose text area the page script reports on every change through
// myjstest.noteChangedJs(questionId, text). The note is plain text.
class NotePanel
{
public:
    // The panel of the question questionId holding note.
    static QString html(const QString &questionId, const QString &note);
    // A note of nothing but blanks is no note: no mark, nothing saved.
    static bool isNote(const QString &note);
    // The class an answer card entry of a question with a note carries.
    static QString cardMarkClass();
};
