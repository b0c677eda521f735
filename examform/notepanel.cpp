#include "notepanel.h"

QString NotePanel::html(const QString &questionId, const QString &note)
{
    return QStringLiteral("<div class=\"note_panel\" data-question=\"") + questionId.toHtmlEscaped()
        + QStringLiteral("\"><a href=\"javascript:void(0)\" onclick=\"toggleNote(this); return false;\" "
                         "class=\"note_button")
        + (isNote(note) ? QStringLiteral(" noted") : QString())
        + QStringLiteral("\" title=\"写笔记：为什么做错、怎么记住\">笔记</a>"
                         "<div class=\"note_box\"><textarea class=\"note_text\" rows=\"8\" "
                         "placeholder=\"在这里写下这道题的笔记，输入即保存\">")
        // The parser drops one line break after the opening tag: this one,
        // not the note's own.
        + QLatin1Char('\n') + note.toHtmlEscaped() + QStringLiteral("</textarea></div></div>");
}

bool NotePanel::isNote(const QString &note)
{
    return !note.trimmed().isEmpty();
}

QString NotePanel::cardMarkClass()
{
    return QStringLiteral("noted");
}
