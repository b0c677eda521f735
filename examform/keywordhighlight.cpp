#include "keywordhighlight.h"

namespace {

bool isAsciiLetter(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool isAsciiAlnum(QChar c)
{
    return isAsciiLetter(c) || (c.unicode() >= '0' && c.unicode() <= '9');
}

// Does a tag start at pos? "<" followed by a letter, "/", "!" or "?" does;
// a lone "<" in text (as in "a < b") does not.
bool tagStartsAt(const QString &html, int pos)
{
    if (pos + 1 >= html.size())
        return false;
    const QChar next = html.at(pos + 1);
    return isAsciiLetter(next) || next == QLatin1Char('/') || next == QLatin1Char('!')
        || next == QLatin1Char('?');
}

// End (one past) of the tag or comment that starts at pos; quoted attribute
// values may contain ">". An unterminated tag runs to the end.
int tagEnd(const QString &html, int pos)
{
    if (html.midRef(pos, 4) == QLatin1String("<!--")) {
        const int close = html.indexOf(QLatin1String("-->"), pos + 4);
        return close < 0 ? html.size() : close + 3;
    }
    QChar quote;
    for (int i = pos + 1; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            return i + 1;
        }
    }
    return html.size();
}

// End (one past) of a character reference ("&amp;", "&#39;") at pos, or pos
// when the "&" starts none.
int referenceEnd(const QString &html, int pos)
{
    int i = pos + 1;
    if (i < html.size() && html.at(i) == QLatin1Char('#'))
        ++i;
    const int nameStart = i;
    while (i < html.size() && isAsciiAlnum(html.at(i)))
        ++i;
    if (i > nameStart && i < html.size() && html.at(i) == QLatin1Char(';'))
        return i + 1;
    return pos;
}

// Elements whose content is raw text that markup cannot enter (a font tag
// inside a textarea or title shows as literal text).
const QLatin1String rawTextElements[] = {
    QLatin1String("script"), QLatin1String("style"), QLatin1String("textarea"), QLatin1String("title"),
    QLatin1String("xmp"), QLatin1String("iframe"), QLatin1String("noembed"), QLatin1String("noframes"),
    QLatin1String("noscript"), QLatin1String("plaintext")};

// The raw-text element when an opening tag of one starts at pos, else an
// empty string.
QLatin1String rawTextElementAt(const QString &html, int pos, int end)
{
    int i = pos + 1;
    while (i < end && isAsciiAlnum(html.at(i)))
        ++i;
    const QStringRef name = html.midRef(pos + 1, i - pos - 1);
    for (const QLatin1String element : rawTextElements) {
        if (name.compare(element, Qt::CaseInsensitive) == 0)
            return element;
    }
    return QLatin1String();
}

// Capital ASCII letters made small, every other UTF-16 unit kept, so that
// positions in the folded text are positions in the original.
QString foldAsciiCase(const QString &text)
{
    QString folded = text;
    for (QChar &c : folded) {
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return folded;
}

} // namespace

QString highlightKeyword(const QString &html, const QString &keyword)
{
    if (keyword.isEmpty())
        return html;
    // The search's LIKE ignores the case of ASCII letters; so does the marking.
    const QString foldedHtml = foldAsciiCase(html);
    const QString foldedKeyword = foldAsciiCase(keyword);
    if (!foldedHtml.contains(foldedKeyword))
        return html;

    const QString open = QStringLiteral("<font color=\"red\">");
    const QString close = QStringLiteral("</font>");
    QString out;
    out.reserve(html.size() + 8 * (open.size() + close.size() + keyword.size()));

    // Appends a run of character data, marking the keyword in it.
    auto appendText = [&](int from, int to) {
        int pos = from;
        while (pos < to) {
            const int found = foldedHtml.midRef(pos, to - pos).indexOf(foldedKeyword);
            if (found < 0)
                break;
            const int hit = pos + found;
            out.append(html.constData() + pos, hit - pos);
            out += open;
            out.append(html.constData() + hit, keyword.size());
            out += close;
            pos = hit + keyword.size();
        }
        out.append(html.constData() + pos, to - pos);
    };

    int textStart = 0;
    int pos = 0;
    while (pos < html.size()) {
        const QChar c = html.at(pos);
        int skipEnd = pos;
        if (c == QLatin1Char('<') && tagStartsAt(html, pos)) {
            skipEnd = tagEnd(html, pos);
            const QLatin1String element = rawTextElementAt(html, pos, skipEnd);
            if (element.size() > 0) {
                const int closing = html.indexOf(QLatin1String("</") + element, skipEnd, Qt::CaseInsensitive);
                skipEnd = closing < 0 ? html.size() : tagEnd(html, closing);
            }
        } else if (c == QLatin1Char('&')) {
            skipEnd = referenceEnd(html, pos);
        }
        if (skipEnd == pos) {
            ++pos;
            continue;
        }
        appendText(textStart, pos);
        out.append(html.constData() + pos, skipEnd - pos);
        pos = textStart = skipEnd;
    }
    appendText(textStart, html.size());
    return out;
}
