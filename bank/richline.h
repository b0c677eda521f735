#pragma once

#include <QString>
#include <QVector>

// One line (paragraph) of a question book as the book shows it: simple HTML
// (escaped text, formatting tags, pictures), and beside it the text the
// recognising rules read, folded so that full-width letters, digits and signs
// match their half-width forms and each picture is one U+FFFC. Pieces of the
// line are cut by positions in that text.
class RichLine
{
public:
    RichLine() = default;
    static RichLine fromPlain(const QString &text, int number);
    static RichLine fromHtml(const QString &html, int number);

    int number() const { return m_number; }
    // The folded text, one character for each character of the line.
    const QString &text() const { return m_text; }
    // The markup of the characters [from, to): text outside is dropped, every
    // formatting tag kept so that the piece stays balanced; blanks at either
    // end trimmed.
    QString html(int from, int to) const;
    QString html(int from) const { return html(from, m_text.size()); }

    static QChar picture() { return QChar(0xFFFC); }
    // Full-width forms as half-width, the ideographic and no-break spaces as spaces.
    static QChar fold(QChar c);

private:
    int m_number = 0;
    QString m_text;
    QString m_source;      // the original text (plain lines) or markup
    bool m_markup = false;
};
