#include "scriptliteral.h"

#include <QVariantList>
#include <QVariantMap>

namespace {

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.unicode() == 0x2028 || c.unicode() == 0x2029;
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

bool isBlank(QChar c)
{
    return c.isSpace() || c.unicode() == 0xFEFF || isLineEnd(c);
}

bool startsName(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

bool continuesName(QChar c)
{
    return startsName(c) || c.isDigit();
}

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// A recursive-descent reader over the text; the first error stops it.
class Reader
{
public:
    explicit Reader(const QString &text)
        : m_text(text)
    {
    }

    ScriptLiteral::Result run()
    {
        ScriptLiteral::Result result;
        skipBlanks();
        QVariant value = readValue(0);
        if (m_error.isEmpty()) {
            skipBlanks();
            if (peek() == QLatin1Char(';')) {
                ++m_pos;
                skipBlanks();
            }
            if (m_pos < m_text.size())
                fail(QStringLiteral("text after the literal"));
        }
        if (!m_error.isEmpty()) {
            result.errorOffset = m_errorAt;
            result.error = m_error;
            return result;
        }
        result.value = value;
        result.ok = true;
        return result;
    }

private:
    QChar peek(int ahead = 0) const
    {
        const int at = m_pos + ahead;
        return at < m_text.size() ? m_text.at(at) : QChar();
    }

    bool atEnd() const { return m_pos >= m_text.size(); }

    QVariant fail(const QString &why)
    {
        if (m_error.isEmpty()) {
            m_error = why;
            m_errorAt = qMin(m_pos, m_text.size());
        }
        return QVariant();
    }

    // White space, line ends and comments.
    void skipBlanks()
    {
        while (!atEnd()) {
            const QChar c = peek();
            if (isBlank(c)) {
                ++m_pos;
            } else if (c == QLatin1Char('/') && peek(1) == QLatin1Char('/')) {
                while (!atEnd() && !isLineEnd(peek()))
                    ++m_pos;
            } else if (c == QLatin1Char('/') && peek(1) == QLatin1Char('*')) {
                const int end = m_text.indexOf(QLatin1String("*/"), m_pos + 2);
                if (end < 0) {
                    fail(QStringLiteral("unterminated comment"));
                    m_pos = m_text.size();
                    return;
                }
                m_pos = end + 2;
            } else {
                return;
            }
        }
    }

    QVariant readValue(int depth)
    {
        if (depth >= ScriptLiteral::maxDepth)
            return fail(QStringLiteral("nested too deeply"));
        const QChar c = peek();
        if (c == QLatin1Char('['))
            return readArray(depth);
        if (c == QLatin1Char('{'))
            return readObject(depth);
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            return readString();
        if (isDigit(c) || c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char('.'))
            return readNumber();
        if (startsName(c)) {
            const int start = m_pos;
            const QString word = readName();
            if (word == QLatin1String("true"))
                return true;
            if (word == QLatin1String("false"))
                return false;
            if (word == QLatin1String("null") || word == QLatin1String("undefined"))
                return QVariant();
            m_pos = start;
            return fail(QStringLiteral("a name is not a value"));
        }
        if (atEnd())
            return fail(QStringLiteral("value missing"));
        return fail(QStringLiteral("unexpected character"));
    }

    QString readName()
    {
        const int start = m_pos;
        while (!atEnd() && continuesName(peek()))
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    QVariant readArray(int depth)
    {
        ++m_pos; // [
        QVariantList items;
        skipBlanks();
        while (m_error.isEmpty()) {
            if (peek() == QLatin1Char(']')) {
                ++m_pos;
                return items;
            }
            items << readValue(depth + 1);
            skipBlanks();
            if (peek() == QLatin1Char(',')) {
                ++m_pos;
                skipBlanks();
            } else if (peek() != QLatin1Char(']')) {
                return fail(atEnd() ? QStringLiteral("unterminated array") : QStringLiteral("expected , or ]"));
            }
        }
        return QVariant();
    }

    QVariant readObject(int depth)
    {
        ++m_pos; // {
        QVariantMap members;
        skipBlanks();
        while (m_error.isEmpty()) {
            if (peek() == QLatin1Char('}')) {
                ++m_pos;
                return members;
            }
            const QString key = readKey();
            if (!m_error.isEmpty())
                break;
            skipBlanks();
            if (peek() != QLatin1Char(':'))
                return fail(QStringLiteral("expected :"));
            ++m_pos;
            skipBlanks();
            const QVariant value = readValue(depth + 1);
            members.insert(key, value);
            skipBlanks();
            if (peek() == QLatin1Char(',')) {
                ++m_pos;
                skipBlanks();
            } else if (peek() != QLatin1Char('}')) {
                return fail(atEnd() ? QStringLiteral("unterminated object") : QStringLiteral("expected , or }"));
            }
        }
        return QVariant();
    }

    QString readKey()
    {
        const QChar c = peek();
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            return readString().toString();
        if (startsName(c))
            return readName();
        if (isDigit(c)) {
            // {1:'a'} names the member "1", as a script does.
            const QVariant number = readNumber();
            return QString::number(number.toDouble(), 'g', 17);
        }
        fail(atEnd() ? QStringLiteral("unterminated object") : QStringLiteral("expected a member name"));
        return QString();
    }

    QVariant readString()
    {
        const QChar quote = peek();
        ++m_pos;
        QString text;
        while (true) {
            if (atEnd())
                return fail(QStringLiteral("unterminated string"));
            const QChar c = peek();
            if (c == quote) {
                ++m_pos;
                return text;
            }
            if (isLineEnd(c))
                return fail(QStringLiteral("line end inside a string"));
            ++m_pos;
            if (c != QLatin1Char('\\')) {
                text += c;
                continue;
            }
            if (!readEscape(text))
                return QVariant();
        }
    }

    // The character after a backslash; false (with the error set) when it
    // starts a malformed escape.
    bool readEscape(QString &text)
    {
        if (atEnd()) {
            fail(QStringLiteral("unterminated string"));
            return false;
        }
        const QChar c = peek();
        ++m_pos;
        switch (c.unicode()) {
        case 'n': text += QLatin1Char('\n'); return true;
        case 'r': text += QLatin1Char('\r'); return true;
        case 't': text += QLatin1Char('\t'); return true;
        case 'b': text += QLatin1Char('\b'); return true;
        case 'f': text += QLatin1Char('\f'); return true;
        case 'v': text += QLatin1Char('\v'); return true;
        case '0':
            if (isDigit(peek())) {
                fail(QStringLiteral("octal escape"));
                return false;
            }
            text += QChar(0);
            return true;
        case 'x': return readHexEscape(2, text);
        case 'u': return readHexEscape(4, text);
        case '\r':
            // A line continuation adds nothing, \r\n included.
            if (peek() == QLatin1Char('\n'))
                ++m_pos;
            return true;
        case '\n':
        case 0x2028:
        case 0x2029:
            return true;
        default:
            // \' \" \\ \/ and any other character stand for themselves.
            text += c;
            return true;
        }
    }

    bool readHexEscape(int digits, QString &text)
    {
        int code = 0;
        for (int i = 0; i < digits; ++i) {
            const int value = hexValue(peek());
            if (value < 0) {
                fail(QStringLiteral("malformed escape"));
                return false;
            }
            code = code * 16 + value;
            ++m_pos;
        }
        text += QChar(ushort(code));
        return true;
    }

    QVariant readNumber()
    {
        const int start = m_pos;
        bool negative = false;
        if (peek() == QLatin1Char('-') || peek() == QLatin1Char('+')) {
            negative = peek() == QLatin1Char('-');
            ++m_pos;
        }
        if (peek() == QLatin1Char('0') && (peek(1) == QLatin1Char('x') || peek(1) == QLatin1Char('X'))) {
            m_pos += 2;
            double value = 0;
            int digits = 0;
            for (int v = hexValue(peek()); v >= 0; v = hexValue(peek()), ++digits) {
                value = value * 16 + v;
                ++m_pos;
            }
            if (digits == 0)
                return fail(QStringLiteral("malformed number"));
            return negative ? -value : value;
        }
        int digits = 0;
        while (isDigit(peek())) {
            ++m_pos;
            ++digits;
        }
        if (peek() == QLatin1Char('.')) {
            ++m_pos;
            while (isDigit(peek())) {
                ++m_pos;
                ++digits;
            }
        }
        if (digits == 0) {
            m_pos = start;
            return fail(QStringLiteral("malformed number"));
        }
        if (peek() == QLatin1Char('e') || peek() == QLatin1Char('E')) {
            ++m_pos;
            if (peek() == QLatin1Char('-') || peek() == QLatin1Char('+'))
                ++m_pos;
            if (!isDigit(peek()))
                return fail(QStringLiteral("malformed number"));
            while (isDigit(peek()))
                ++m_pos;
        }
        if (startsName(peek()))
            return fail(QStringLiteral("malformed number"));
        QString lexeme = m_text.mid(start, m_pos - start);
        if (lexeme.startsWith(QLatin1Char('+')))
            lexeme.remove(0, 1);
        bool ok = false;
        const double value = lexeme.toDouble(&ok);
        if (!ok)
            return fail(QStringLiteral("malformed number"));
        return value;
    }

    const QString &m_text;
    int m_pos = 0;
    QString m_error;
    int m_errorAt = -1;
};

} // namespace

ScriptLiteral::Result ScriptLiteral::read(const QString &text)
{
    return Reader(text).run();
}
