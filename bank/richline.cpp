#include "richline.h"

#include <QRegularExpression>

namespace {

// A token of markup: one character of text (an entity counts as one) or a tag.
struct Token
{
    int start = 0;
    int length = 0;
    QChar character;       // null for a tag other than a picture
};

QChar entityCharacter(const QStringRef &name)
{
    if (name == QLatin1String("amp"))
        return QLatin1Char('&');
    if (name == QLatin1String("lt"))
        return QLatin1Char('<');
    if (name == QLatin1String("gt"))
        return QLatin1Char('>');
    if (name == QLatin1String("quot"))
        return QLatin1Char('"');
    if (name == QLatin1String("nbsp"))
        return QLatin1Char(' ');
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x")) ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok);
        if (ok && code > 0 && code < 0xFFFF)
            return QChar(ushort(code));
    }
    return QChar();
}

// Calls each(token) for every token of the markup, in order.
template<typename Each>
void tokens(const QString &html, Each each)
{
    const int size = html.size();
    for (int i = 0; i < size;) {
        Token token;
        token.start = i;
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            const int end = html.indexOf(QLatin1Char('>'), i);
            token.length = (end < 0 ? size : end + 1) - i;
            if (html.midRef(i + 1, 3).compare(QLatin1String("img"), Qt::CaseInsensitive) == 0)
                token.character = RichLine::picture();
        } else if (c == QLatin1Char('&')) {
            const int end = html.indexOf(QLatin1Char(';'), i);
            const QChar named = end > i && end - i < 10 ? entityCharacter(html.midRef(i + 1, end - i - 1)) : QChar();
            token.length = named.isNull() ? 1 : end + 1 - i;
            token.character = named.isNull() ? c : named;
        } else {
            token.length = 1;
            token.character = c;
        }
        each(token);
        i += token.length;
    }
}

} // namespace

QChar RichLine::fold(QChar c)
{
    const ushort u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E)
        return QChar(ushort(u - 0xFEE0));
    if (u == 0x3000 || u == 0x00A0 || u == '\t')
        return QLatin1Char(' ');
    return c;
}

RichLine RichLine::fromPlain(const QString &text, int number)
{
    RichLine line;
    line.m_number = number;
    line.m_source = text;
    line.m_text.resize(text.size());
    for (int i = 0; i < text.size(); ++i)
        line.m_text[i] = fold(text.at(i));
    return line;
}

RichLine RichLine::fromHtml(const QString &html, int number)
{
    RichLine line;
    line.m_number = number;
    line.m_source = html;
    line.m_markup = true;
    line.m_text.reserve(html.size());
    tokens(html, [&line](const Token &token) {
        if (!token.character.isNull())
            line.m_text += fold(token.character);
    });
    return line;
}

QString RichLine::html(int from, int to) const
{
    from = qMax(0, from);
    to = qMin(to, m_text.size());
    while (from < to && m_text.at(from).isSpace())
        ++from;
    while (to > from && m_text.at(to - 1).isSpace())
        --to;
    if (!m_markup)
        return m_source.mid(from, to - from).toHtmlEscaped();
    QString piece;
    int index = 0;
    tokens(m_source, [&](const Token &token) {
        if (token.character.isNull()) {
            piece += m_source.midRef(token.start, token.length);
            return;
        }
        if (index >= from && index < to)
            piece += m_source.midRef(token.start, token.length);
        ++index;
    });
    // Tags whose text fell outside the piece.
    static const QRegularExpression emptyPair(QStringLiteral("<(b|i|u|sub|sup|strong|em)>\\s*</\\1>"));
    for (int before = -1; before != piece.size();) {
        before = piece.size();
        piece.remove(emptyPair);
    }
    return piece.trimmed();
}
