#include "answersheet.h"

#include "examquestion.h"

#include <cmath>

QString AnswerSheet::entry(const ExamQuestion &question)
{
    return QStringLiteral("{\"qid\":") + jsonString(question.id)
        + QStringLiteral(",\"cent\":") + number(question.score)
        + QStringLiteral(",\"status\":") + QString::number(question.status)
        + QStringLiteral(",\"answer\":") + jsonString(question.userAnswer)
        + QLatin1Char('}');
}

QString AnswerSheet::stored(const QString &entries)
{
    return QLatin1Char('[') + entries + QLatin1Char(']');
}

QString AnswerSheet::number(double value)
{
    // Odd bank data must not turn the sheet into invalid JSON ("nan", "inf").
    if (!std::isfinite(value))
        value = 0.0;
    return QString::number(value, 'g', 6);
}

QString AnswerSheet::jsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\b': out += QLatin1String("\\b"); break;
        case '\f': out += QLatin1String("\\f"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}
