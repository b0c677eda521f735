#include "banktext.h"

#include "blankanswer.h"
#include "papergrader.h"

#include <QRegularExpression>
#include <QTextCodec>

namespace {

QString normaliseLineEnds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString decodeWith(const char *codecName, const QByteArray &bytes, int *invalid)
{
    QTextCodec *codec = QTextCodec::codecForName(codecName);
    if (!codec) {
        *invalid = bytes.size() + 1;
        return QString();
    }
    QTextCodec::ConverterState state;
    const QString text = codec->toUnicode(bytes.constData(), bytes.size(), &state);
    *invalid = state.invalidChars + state.remainingChars;
    return text;
}

// The offset of the first byte that is not part of a well-formed UTF-8
// sequence (overlong forms, surrogates and values past U+10FFFF included); -1
// when there is none.
int firstBadUtf8(const QByteArray &bytes)
{
    const int size = bytes.size();
    for (int i = 0; i < size;) {
        const uchar lead = uchar(bytes.at(i));
        int length = 0;
        uint low = 0x80, high = 0xBF; // range of the second byte
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return i;
        }
        if (i + length > size)
            return i;
        for (int k = 1; k < length; ++k) {
            const uchar next = uchar(bytes.at(i + k));
            if (k == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF))
                return i;
        }
        i += length;
    }
    return -1;
}

// Whether every byte belongs to a well-formed GB18030 sequence: one byte up
// to 0x7F; a lead 0x81–0xFE with a second byte 0x40–0x7E or 0x80–0xFE; or a
// lead, a digit, a lead and a digit.
bool wholeGb18030(const QByteArray &bytes)
{
    const auto in = [](uchar c, uchar low, uchar high) { return c >= low && c <= high; };
    const int size = bytes.size();
    for (int i = 0; i < size;) {
        const uchar lead = uchar(bytes.at(i));
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (!in(lead, 0x81, 0xFE) || i + 1 >= size)
            return false;
        const uchar second = uchar(bytes.at(i + 1));
        if (in(second, 0x40, 0x7E) || in(second, 0x80, 0xFE)) {
            i += 2;
        } else if (in(second, 0x30, 0x39) && i + 3 < size && in(uchar(bytes.at(i + 2)), 0x81, 0xFE)
                   && in(uchar(bytes.at(i + 3)), 0x30, 0x39)) {
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

// Inline markdown on text that is already escaped.
QString markdownInline(QString text)
{
    static const QRegularExpression code(QStringLiteral("`([^`]+)`"));
    static const QRegularExpression image(QStringLiteral("!\\[([^\\]]*)\\]\\(([^)\\s]+)\\)"));
    static const QRegularExpression link(
        QStringLiteral("\\[([^\\]]+)\\]\\(((?:https?://|mailto:)[^)\\s]+)\\)"));
    static const QRegularExpression strong(QStringLiteral("\\*\\*(.+?)\\*\\*|__(.+?)__"));
    static const QRegularExpression emphasis(QStringLiteral("\\*([^*\\s][^*]*)\\*|\\b_([^_\\s][^_]*)_\\b"));
    text.replace(code, QStringLiteral("<code>\\1</code>"));
    text.replace(image, QStringLiteral("<img src=\"\\2\" alt=\"\\1\"/>"));
    text.replace(link, QStringLiteral("<a href=\"\\2\">\\1</a>"));
    text.replace(strong, QStringLiteral("<strong>\\1\\2</strong>"));
    text.replace(emphasis, QStringLiteral("<em>\\1\\2</em>"));
    return text;
}

QString markdownBlock(const QStringList &lines)
{
    static const QRegularExpression heading(QStringLiteral("^(#{1,6})\\s+(.*)$"));
    static const QRegularExpression bullet(QStringLiteral("^\\s*[-*+]\\s+(.*)$"));
    static const QRegularExpression numbered(QStringLiteral("^\\s*\\d+[.)]\\s+(.*)$"));
    const auto allMatch = [&lines](const QRegularExpression &pattern) {
        for (const QString &line : lines) {
            if (!pattern.match(line).hasMatch())
                return false;
        }
        return true;
    };
    const auto list = [&lines](const QRegularExpression &pattern, const char *tag) {
        QString html = QLatin1Char('<') + QLatin1String(tag) + QLatin1Char('>');
        for (const QString &line : lines)
            html += QLatin1String("<li>") + markdownInline(pattern.match(line).captured(1))
                + QLatin1String("</li>");
        return html + QLatin1String("</") + QLatin1String(tag) + QLatin1Char('>');
    };
    if (lines.size() == 1) {
        const QRegularExpressionMatch match = heading.match(lines.first());
        if (match.hasMatch()) {
            const QString level = QString::number(match.captured(1).size());
            return QLatin1String("<h") + level + QLatin1Char('>') + markdownInline(match.captured(2))
                + QLatin1String("</h") + level + QLatin1Char('>');
        }
    }
    if (allMatch(bullet))
        return list(bullet, "ul");
    if (allMatch(numbered))
        return list(numbered, "ol");
    QStringList inline_;
    for (const QString &line : lines)
        inline_ << markdownInline(line.trimmed());
    return QLatin1String("<p>") + inline_.join(QLatin1String("<br/>")) + QLatin1String("</p>");
}

} // namespace

namespace BankText {

QString decode(const QByteArray &bytes, QString *encoding, int *badLine)
{
    QString name;
    QString text;
    int invalid = 0;
    int bad = -1;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        name = QStringLiteral("UTF-8");
        text = decodeWith("UTF-8", bytes.mid(3), &invalid);
        bad = firstBadUtf8(bytes);
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        name = QStringLiteral("UTF-16");
        text = decodeWith("UTF-16", bytes, &invalid);
    } else {
        text = decodeWith("UTF-8", bytes, &invalid);
        name = QStringLiteral("UTF-8");
        if (invalid > 0) {
            int gbInvalid = 0;
            const QString gb = decodeWith("GB18030", bytes, &gbInvalid);
            if (gbInvalid == 0 && wholeGb18030(bytes)) {
                text = gb;
                name = QStringLiteral("GB18030");
            } else {
                bad = firstBadUtf8(bytes);
            }
        }
    }
    if (encoding)
        *encoding = name;
    if (badLine)
        *badLine = bad < 0 ? 0 : int(bytes.left(bad).count('\n')) + 1;
    return normaliseLineEnds(text);
}

QString undecodableText()
{
    return QStringLiteral("文件既不是有效的 UTF-8，也不是有效的 GB18030：这一行有无法解码的字节（请另存为 UTF-8）");
}

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0x7F)
            return true;
    }
    return false;
}

QString plainToHtml(const QString &text)
{
    QString html = text.trimmed().toHtmlEscaped();
    html.replace(QLatin1Char('\n'), QLatin1String("<br/>"));
    return html;
}

QString autoToHtml(const QString &text)
{
    QString html = text.trimmed();
    html.replace(QLatin1Char('\n'), QLatin1String("<br/>"));
    return html;
}

QString markdownToHtml(const QString &text)
{
    QStringList blocks;
    QStringList lines;
    const QStringList all = text.trimmed().toHtmlEscaped().split(QLatin1Char('\n'));
    for (const QString &line : all) {
        if (line.trimmed().isEmpty()) {
            if (!lines.isEmpty())
                blocks << markdownBlock(lines);
            lines.clear();
        } else {
            lines << line;
        }
    }
    if (!lines.isEmpty())
        blocks << markdownBlock(lines);
    // One paragraph alone needs no <p>: it sits inside the page's own.
    if (blocks.size() == 1 && blocks.first().startsWith(QLatin1String("<p>")))
        return blocks.first().mid(3, blocks.first().size() - 7);
    return blocks.join(QString());
}

bool looksLikeHtml(const QString &text)
{
    static const QRegularExpression markup(
        QStringLiteral("<(?:[a-zA-Z][a-zA-Z0-9]*(?:\\s[^<>]*)?/?|/[a-zA-Z][a-zA-Z0-9]*\\s*)>|&(?:[a-zA-Z]+|#[0-9]+|#x[0-9a-fA-F]+);"));
    return markup.match(text).hasMatch();
}

QString htmlToPlain(const QString &html)
{
    static const QRegularExpression lineBreak(QStringLiteral("<br\\s*/?>|</p>|</li>|</div>"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|[a-zA-Z]+);"));
    QString text = html;
    text.replace(lineBreak, QStringLiteral("\n"));
    text.remove(tag);
    QString plain;
    int last = 0;
    QRegularExpressionMatchIterator it = entity.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        plain += text.midRef(last, match.capturedStart() - last);
        const QString name = match.captured(1);
        uint code = 0;
        if (name.startsWith(QLatin1String("#x")))
            code = name.midRef(2).toUInt(nullptr, 16);
        else if (name.startsWith(QLatin1Char('#')))
            code = name.midRef(1).toUInt();
        else if (name == QLatin1String("lt")) code = '<';
        else if (name == QLatin1String("gt")) code = '>';
        else if (name == QLatin1String("amp")) code = '&';
        else if (name == QLatin1String("quot")) code = '"';
        else if (name == QLatin1String("apos")) code = '\'';
        else if (name == QLatin1String("nbsp")) code = ' ';
        if (code > 0 && code < 0x110000)
            plain += QString::fromUcs4(&code, 1);
        else
            plain += match.captured(0);
        last = match.capturedEnd();
    }
    plain += text.midRef(last);
    return plain.trimmed();
}

QString joinBlanks(const QList<QStringList> &blanks)
{
    QStringList parts;
    for (const QStringList &accepted : blanks)
        parts << accepted.join(PaperGrader::alternativeSeparator);
    return BlankAnswer::join(parts);
}

QList<QStringList> splitBlanks(const QString &answer)
{
    QList<QStringList> blanks;
    const QStringList parts = BlankAnswer::split(answer);
    for (const QString &part : parts) {
        QStringList accepted;
        const QStringList texts = part.split(PaperGrader::alternativeSeparator);
        for (const QString &text : texts) {
            if (!text.trimmed().isEmpty())
                accepted << text.trimmed();
        }
        blanks << accepted;
    }
    return blanks;
}

bool mergeAnswer(QList<QStringList> *blanks, const QList<QStringList> &answer)
{
    if (blanks->isEmpty()) {
        *blanks = answer;
        return true;
    }
    if (answer.size() != blanks->size())
        return false;
    for (int b = 0; b < answer.size(); ++b) {
        for (const QString &text : answer.at(b)) {
            if (!blanks->at(b).contains(text))
                (*blanks)[b] << text;
        }
    }
    return true;
}

bool everyBlankAnswered(const QList<QStringList> &blanks)
{
    for (const QStringList &blank : blanks) {
        if (blank.isEmpty())
            return false;
    }
    return !blanks.isEmpty();
}

QStringList wholeAnswers(const QList<QStringList> &blanks)
{
    int most = 0;
    for (const QStringList &blank : blanks)
        most = qMax(most, blank.size());
    QStringList answers;
    for (int k = 0; k < most; ++k) {
        QStringList texts;
        for (const QStringList &blank : blanks)
            texts << (blank.isEmpty() ? QString() : blank.at(qMin(k, blank.size() - 1)));
        answers << BlankAnswer::join(texts);
    }
    return answers;
}

QString blankMarker()
{
    return QStringLiteral("______");
}

int countBlankMarks(const QString &stem)
{
    static const QRegularExpression mark(QStringLiteral("_{3,}"));
    int count = 0;
    QRegularExpressionMatchIterator it = mark.globalMatch(stem);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

} // namespace BankText
