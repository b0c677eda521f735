#include "blankanswer.h"

#include <QStringList>

QString BlankAnswer::readable(const QString &joined)
{
    const QStringList blanks = joined.split(QLatin1Char('|'));
    if (blanks.size() < 2)
        return joined;
    QStringList numbered;
    for (int i = 0; i < blanks.size(); ++i)
        numbered << QStringLiteral("(%1) %2").arg(i + 1).arg(blanks.at(i).trimmed());
    return numbered.join(QLatin1Char(' '));
}
