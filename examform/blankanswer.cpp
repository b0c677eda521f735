#include "blankanswer.h"

namespace {
const QChar separator = QLatin1Char('|');
const QChar escape = QLatin1Char('\\');
} // namespace

QString BlankAnswer::join(const QStringList &blanks)
{
    QStringList escaped;
    escaped.reserve(blanks.size());
    for (QString text : blanks) {
        text.replace(escape, QStringLiteral("\\\\"));
        text.replace(separator, QStringLiteral("\\|"));
        escaped << text;
    }
    return escaped.join(separator);
}

QStringList BlankAnswer::split(const QString &joined)
{
    QStringList blanks;
    QString current;
    for (int i = 0; i < joined.size(); ++i) {
        const QChar c = joined.at(i);
        if (c == escape && i + 1 < joined.size()
            && (joined.at(i + 1) == escape || joined.at(i + 1) == separator)) {
            current += joined.at(++i);
        } else if (c == separator) {
            blanks << current;
            current.clear();
        } else {
            current += c;
        }
    }
    blanks << current;
    return blanks;
}

QString BlankAnswer::readable(const QString &joined)
{
    const QStringList blanks = split(joined);
    if (blanks.size() < 2)
        return joined;
    QStringList numbered;
    for (int i = 0; i < blanks.size(); ++i)
        numbered << QStringLiteral("(%1) %2").arg(i + 1).arg(blanks.at(i).trimmed());
    return numbered.join(QLatin1Char(' '));
}
