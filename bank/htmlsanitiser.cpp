#include "htmlsanitiser.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QVector>

namespace {

enum class Action {
    Keep,          // the element stays with its allowed attributes
    KeepVoid,      // the same, for an element without content or end tag
    DropContent    // the element goes with everything up to its end tag
};
// Every element the table does not name loses its tags and keeps its content.

struct ElementRule
{
    const char *name;
    Action action;
    // The attributes it keeps besides commonAttributes, space-separated.
    const char *attributes;
};

const ElementRule elementRules[] = {
    {"p", Action::Keep, ""},
    {"div", Action::Keep, ""},
    {"span", Action::Keep, ""},
    {"center", Action::Keep, ""},
    {"blockquote", Action::Keep, ""},
    {"pre", Action::Keep, ""},
    {"h1", Action::Keep, ""},
    {"h2", Action::Keep, ""},
    {"h3", Action::Keep, ""},
    {"h4", Action::Keep, ""},
    {"h5", Action::Keep, ""},
    {"h6", Action::Keep, ""},
    {"b", Action::Keep, ""},
    {"strong", Action::Keep, ""},
    {"i", Action::Keep, ""},
    {"em", Action::Keep, ""},
    {"u", Action::Keep, ""},
    {"s", Action::Keep, ""},
    {"strike", Action::Keep, ""},
    {"del", Action::Keep, ""},
    {"ins", Action::Keep, ""},
    {"sub", Action::Keep, ""},
    {"sup", Action::Keep, ""},
    {"small", Action::Keep, ""},
    {"big", Action::Keep, ""},
    {"code", Action::Keep, ""},
    {"tt", Action::Keep, ""},
    {"kbd", Action::Keep, ""},
    {"font", Action::Keep, "color size face"},
    {"ul", Action::Keep, "type"},
    {"ol", Action::Keep, "start type"},
    {"li", Action::Keep, "value type"},
    {"dl", Action::Keep, ""},
    {"dt", Action::Keep, ""},
    {"dd", Action::Keep, ""},
    {"table", Action::Keep, "border cellpadding cellspacing width bgcolor"},
    {"caption", Action::Keep, ""},
    {"thead", Action::Keep, ""},
    {"tbody", Action::Keep, ""},
    {"tfoot", Action::Keep, ""},
    {"tr", Action::Keep, "valign bgcolor"},
    {"td", Action::Keep, "colspan rowspan width height valign bgcolor nowrap"},
    {"th", Action::Keep, "colspan rowspan width height valign bgcolor nowrap"},
    {"colgroup", Action::Keep, "span width"},
    {"col", Action::KeepVoid, "span width"},
    {"br", Action::KeepVoid, ""},
    {"hr", Action::KeepVoid, "width size"},
    // Only with a picture of the bank's or one held in the text (see imageSource).
    {"img", Action::KeepVoid, "src alt width height border"},
    // Script, style and what browsers read as raw text: nothing of it stays.
    {"script", Action::DropContent, ""},
    {"style", Action::DropContent, ""},
    {"template", Action::DropContent, ""},
    {"iframe", Action::DropContent, ""},
    {"noscript", Action::DropContent, ""},
    {"noembed", Action::DropContent, ""},
    {"noframes", Action::DropContent, ""},
    {"xmp", Action::DropContent, ""},
    {"title", Action::DropContent, ""},
    {"plaintext", Action::DropContent, ""},
};

const char *const commonAttributes = "style title align dir lang";

// How an attribute's value is checked.
enum class Kind {
    Text,         // shown or a keyword: kept as written
    Number,       // a size or count
    Colour,
    ImageSource,
    Style         // declarations, each checked on its own
};

struct AttributeRule
{
    const char *name;
    Kind kind;
};

const AttributeRule attributeRules[] = {
    {"style", Kind::Style},         {"title", Kind::Text},        {"align", Kind::Text},
    {"dir", Kind::Text},            {"lang", Kind::Text},         {"color", Kind::Colour},
    {"bgcolor", Kind::Colour},      {"size", Kind::Number},       {"face", Kind::Text},
    {"type", Kind::Text},           {"start", Kind::Number},      {"value", Kind::Number},
    {"border", Kind::Number},       {"cellpadding", Kind::Number}, {"cellspacing", Kind::Number},
    {"width", Kind::Number},        {"height", Kind::Number},     {"valign", Kind::Text},
    {"colspan", Kind::Number},      {"rowspan", Kind::Number},    {"nowrap", Kind::Text},
    {"span", Kind::Number},         {"src", Kind::ImageSource},   {"alt", Kind::Text},
};

// The style properties a declaration may set: looks only, nothing that
// places an element over the page or loads anything.
const char *const styleProperties[] = {
    "color", "background-color", "font-weight", "font-style", "font-size", "font-family", "font-variant",
    "text-decoration", "text-align", "text-indent", "vertical-align", "line-height", "white-space",
    "width", "height", "border", "border-collapse", "padding",
};

struct ElementInfo
{
    Action action;
    QSet<QString> attributes;
};

const QHash<QString, ElementInfo> &elements()
{
    static const QHash<QString, ElementInfo> table = [] {
        QHash<QString, ElementInfo> byName;
        const QStringList common = QString::fromLatin1(commonAttributes).split(QLatin1Char(' '));
        for (const ElementRule &rule : elementRules) {
            ElementInfo info{rule.action, {}};
            if (rule.action != Action::DropContent) {
                QStringList names = QString::fromLatin1(rule.attributes).split(QLatin1Char(' '), Qt::SkipEmptyParts);
                names += common;
                info.attributes = QSet<QString>(names.cbegin(), names.cend());
            }
            byName.insert(QString::fromLatin1(rule.name), info);
        }
        return byName;
    }();
    return table;
}

Kind kindOf(const QString &attribute)
{
    static const QHash<QString, Kind> table = [] {
        QHash<QString, Kind> byName;
        for (const AttributeRule &rule : attributeRules)
            byName.insert(QString::fromLatin1(rule.name), rule.kind);
        return byName;
    }();
    return table.value(attribute, Kind::Text);
}

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')
        || c == QLatin1Char('\f');
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// Text that must read as text: every "<" escaped.
QString escapedText(QStringRef text)
{
    return text.toString().replace(QLatin1Char('<'), QLatin1String("&lt;"));
}

QString escapedAttribute(QString value, bool entitiesDecoded)
{
    if (entitiesDecoded)
        value.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    value.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    value.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    value.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return value;
}

// Character references as a browser resolves them in an attribute: numeric
// ones, and the named ones that spell out markup characters. Any other "&"
// stays, and fails every value check that is not plain text.
QString decodeEntities(const QString &value)
{
    static const QHash<QString, QChar> named{
        {QStringLiteral("amp"), QLatin1Char('&')},  {QStringLiteral("lt"), QLatin1Char('<')},
        {QStringLiteral("gt"), QLatin1Char('>')},   {QStringLiteral("quot"), QLatin1Char('"')},
        {QStringLiteral("apos"), QLatin1Char('\'')}, {QStringLiteral("nbsp"), QChar(0xA0)},
    };
    static const QRegularExpression reference(
        QStringLiteral("&(?:#[xX]([0-9a-fA-F]+);?|#([0-9]+);?|([a-zA-Z]+);)"));
    if (!value.contains(QLatin1Char('&')))
        return value;
    QString decoded;
    int last = 0;
    QRegularExpressionMatchIterator it = reference.globalMatch(value);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        QString replacement = match.captured(0);
        if (match.capturedLength(3) > 0) {
            if (named.contains(match.captured(3)))
                replacement = named.value(match.captured(3));
        } else {
            bool ok = false;
            const QString digits = match.captured(1) + match.captured(2);
            uint code = digits.size() > 8 ? 0 : digits.toUInt(&ok, match.capturedLength(1) > 0 ? 16 : 10);
            if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                code = 0xFFFD;
            replacement = QString::fromUcs4(&code, 1);
        }
        decoded += value.midRef(last, match.capturedStart() - last) + replacement;
        last = match.capturedEnd();
    }
    return decoded + value.midRef(last);
}

bool isNumber(const QString &value)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]{1,6}(?:\\.[0-9]+)?(?:%|px)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return number.match(value.trimmed()).hasMatch();
}

bool isColour(const QString &value)
{
    static const QRegularExpression colour(
        QStringLiteral("^(?:#?[a-z0-9]{1,20}|(?:rgba?|hsla?)\\([0-9\\s.,%]*\\))$"),
        QRegularExpression::CaseInsensitiveOption);
    return colour.match(value.trimmed()).hasMatch();
}

// A picture the pages can show without reaching out: one of the bank's
// (src="/NAME", NAME a plain file name, see ImageCollector) or one held in the
// text itself in a raster format. SVG is refused: it may hold script.
bool isImageSource(const QString &value)
{
    static const QRegularExpression bankImage(QStringLiteral("^/[A-Za-z0-9_][A-Za-z0-9._-]*$"));
    static const QRegularExpression inlineImage(
        QStringLiteral("^data:image/(?:png|jpeg|jpg|gif|webp|bmp);base64,[A-Za-z0-9+/=\\s]+$"),
        QRegularExpression::CaseInsensitiveOption);
    return bankImage.match(value).hasMatch() || inlineImage.match(value).hasMatch();
}

// One declaration's value: words, numbers, colours, quoted font names; no
// function but a colour's, no escape, comment, colon or "url".
bool isStyleValue(const QString &value)
{
    static const QRegularExpression colourFunction(QStringLiteral("(?:rgba?|hsla?)\\([0-9\\s.,%]*\\)"),
                                                   QRegularExpression::CaseInsensitiveOption);
    static const QString punctuation = QStringLiteral("#%.,-!'\"");
    QString rest = value;
    rest.remove(colourFunction);
    for (const QChar c : qAsConst(rest)) {
        if (!c.isLetterOrNumber() && !isSpace(c) && !punctuation.contains(c))
            return false;
    }
    return !value.trimmed().isEmpty();
}

// The declarations of a style attribute that pass, as written when all do.
QString cleanStyle(const QString &style)
{
    static const QSet<QString> properties = [] {
        QSet<QString> names;
        for (const char *name : styleProperties)
            names.insert(QString::fromLatin1(name));
        return names;
    }();
    const QStringList declarations = style.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QStringList kept;
    for (const QString &declaration : declarations) {
        const int colon = declaration.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString property = declaration.left(colon).trimmed().toLower();
        if (properties.contains(property) && isStyleValue(declaration.mid(colon + 1)))
            kept << declaration.trimmed();
    }
    int written = 0;
    for (const QString &declaration : declarations)
        written += declaration.trimmed().isEmpty() ? 0 : 1;
    return kept.size() == written ? style.trimmed() : kept.join(QStringLiteral("; "));
}

// The value as it is written out; false when it is refused.
bool cleanValue(Kind kind, const QString &raw, QString *written)
{
    if (kind == Kind::Text) {
        *written = escapedAttribute(raw, false);
        return true;
    }
    const QString value = decodeEntities(raw).trimmed();
    bool accepted = false;
    *written = value;
    switch (kind) {
    case Kind::Number: accepted = isNumber(value); break;
    case Kind::Colour: accepted = isColour(value); break;
    case Kind::ImageSource: accepted = isImageSource(value); break;
    case Kind::Style:
        *written = cleanStyle(value);
        accepted = !written->isEmpty();
        break;
    case Kind::Text: break;
    }
    *written = escapedAttribute(*written, true);
    return accepted;
}

struct Attribute
{
    QString name;
    QString value;
};

struct Tag
{
    QString name;            // in lower case
    bool end = false;
    bool selfClosing = false;
    bool spaceBeforeSlash = false;
    QVector<Attribute> attributes;
    int next = 0;            // the position after its ">"
};

// Reads a tag at html[at] == '<' as a browser does (name up to a space, "/"
// or ">"; attributes quoted, unquoted or bare; duplicates ignored later).
// False when the text ends inside it.
bool readTag(const QString &html, int at, Tag *tag)
{
    const int n = html.size();
    int i = at + 1;
    if (html.at(i) == QLatin1Char('/')) {
        tag->end = true;
        ++i;
    }
    const int nameStart = i;
    while (i < n && !isSpace(html.at(i)) && html.at(i) != QLatin1Char('/') && html.at(i) != QLatin1Char('>'))
        ++i;
    tag->name = html.mid(nameStart, i - nameStart).toLower();
    const auto skipSpaces = [&] {
        while (i < n && isSpace(html.at(i)))
            ++i;
    };
    for (;;) {
        while (i < n && (isSpace(html.at(i)) || html.at(i) == QLatin1Char('/'))) {
            if (html.at(i) == QLatin1Char('/') && i + 1 < n && html.at(i + 1) == QLatin1Char('>')) {
                tag->selfClosing = true;
                tag->spaceBeforeSlash = isSpace(html.at(i - 1));
            }
            ++i;
        }
        if (i >= n)
            return false;
        if (html.at(i) == QLatin1Char('>')) {
            tag->next = i + 1;
            return true;
        }
        tag->selfClosing = false;
        const int attributeStart = i++;   // a first "=" belongs to the name
        while (i < n && !isSpace(html.at(i)) && html.at(i) != QLatin1Char('/') && html.at(i) != QLatin1Char('>')
               && html.at(i) != QLatin1Char('='))
            ++i;
        Attribute attribute{html.mid(attributeStart, i - attributeStart).toLower(), QString()};
        skipSpaces();
        if (i < n && html.at(i) == QLatin1Char('=')) {
            ++i;
            skipSpaces();
            if (i >= n)
                return false;
            const QChar quote = html.at(i);
            if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
                const int close = html.indexOf(quote, i + 1);
                if (close < 0)
                    return false;
                attribute.value = html.mid(i + 1, close - i - 1);
                i = close + 1;
            } else {
                const int valueStart = i;
                while (i < n && !isSpace(html.at(i)) && html.at(i) != QLatin1Char('>'))
                    ++i;
                attribute.value = html.mid(valueStart, i - valueStart);
            }
        }
        tag->attributes.append(attribute);
    }
}

// The position after the end tag of a raw-text element whose content starts
// at from; the text's end when it has none.
int afterEndTag(const QString &html, int from, const QString &name)
{
    const QString opening = QLatin1String("</") + name;
    for (;;) {
        const int at = html.indexOf(opening, from, Qt::CaseInsensitive);
        if (at < 0)
            return html.size();
        const int after = at + opening.size();
        if (after >= html.size())
            return html.size();
        const QChar c = html.at(after);
        if (isSpace(c) || c == QLatin1Char('/') || c == QLatin1Char('>')) {
            const int close = html.indexOf(QLatin1Char('>'), after);
            return close < 0 ? html.size() : close + 1;
        }
        from = at + 1;
    }
}

// The position after the comment that starts at html[at] ("<!--"); -1 when
// the text ends inside it.
int afterComment(const QString &html, int at)
{
    const int body = at + 4;
    if (html.midRef(body, 1) == QLatin1String(">"))
        return body + 1;
    if (html.midRef(body, 2) == QLatin1String("->"))
        return body + 2;
    for (int dashes = html.indexOf(QLatin1String("--"), body); dashes >= 0;
         dashes = html.indexOf(QLatin1String("--"), dashes + 1)) {
        if (html.midRef(dashes + 2, 1) == QLatin1String(">"))
            return dashes + 3;
        if (html.midRef(dashes + 2, 2) == QLatin1String("!>"))
            return dashes + 4;
    }
    return -1;
}

// The start tag as written out: its allowed attributes, first of each name;
// "" for a picture from anywhere else.
QString startTag(const Tag &tag, const ElementInfo &info)
{
    QString out = QLatin1Char('<') + tag.name;
    QSet<QString> seen;
    bool hasSource = false;
    for (const Attribute &attribute : tag.attributes) {
        if (seen.contains(attribute.name))
            continue;
        seen.insert(attribute.name);
        if (!info.attributes.contains(attribute.name))
            continue;
        const Kind kind = kindOf(attribute.name);
        QString value;
        if (!cleanValue(kind, attribute.value, &value))
            continue;
        hasSource = hasSource || kind == Kind::ImageSource;
        out += QLatin1Char(' ') + attribute.name + QLatin1String("=\"") + value + QLatin1Char('"');
    }
    if (tag.name == QLatin1String("img") && !hasSource)
        return QString();
    if (info.action == Action::KeepVoid && tag.selfClosing)
        out += tag.spaceBeforeSlash ? QLatin1String(" /") : QLatin1String("/");
    return out + QLatin1Char('>');
}

} // namespace

QString HtmlSanitiser::clean(const QString &html)
{
    const int n = html.size();
    QString out;
    out.reserve(n);
    int i = 0;
    while (i < n) {
        const int lt = html.indexOf(QLatin1Char('<'), i);
        if (lt < 0) {
            out += html.midRef(i);
            break;
        }
        out += html.midRef(i, lt - i);
        i = lt;
        const QChar next = i + 1 < n ? html.at(i + 1) : QChar();
        if (html.midRef(i, 4) == QLatin1String("<!--")) {
            const int after = afterComment(html, i);
            if (after < 0) {
                out += escapedText(html.midRef(i));
                break;
            }
            i = after;
            continue;
        }
        if (next == QLatin1Char('!') || next == QLatin1Char('?')) {
            // A declaration or processing instruction: read as a comment.
            const int close = html.indexOf(QLatin1Char('>'), i);
            if (close < 0) {
                out += escapedText(html.midRef(i));
                break;
            }
            i = close + 1;
            continue;
        }
        const bool end = next == QLatin1Char('/');
        if (!isAsciiLetter(end ? (i + 2 < n ? html.at(i + 2) : QChar()) : next)) {
            // "a < b" opens nothing and stays. A browser hides "</ ..." up to
            // the next ">"; a "<" at the end would join whatever the page
            // writes after the text, and one before another "<" whatever
            // follows once that one's tag is gone: those are escaped.
            const bool opensNothing = !end && !next.isNull() && next != QLatin1Char('<');
            out += opensNothing ? QLatin1String("<") : QLatin1String("&lt;");
            ++i;
            continue;
        }
        Tag tag;
        if (!readTag(html, i, &tag)) {
            out += escapedText(html.midRef(i));
            break;
        }
        i = tag.next;
        const auto rule = elements().constFind(tag.name);
        if (rule == elements().cend())
            continue;
        if (rule->action == Action::DropContent) {
            if (!tag.end)
                i = afterEndTag(html, i, tag.name);
            continue;
        }
        if (tag.end) {
            if (rule->action == Action::Keep)
                out += QLatin1String("</") + tag.name + QLatin1Char('>');
            continue;
        }
        out += startTag(tag, *rule);
    }
    return out;
}
