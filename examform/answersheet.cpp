#include "answersheet.h"

#include "examquestion.h"

#include <QJsonArray>
#include <QJsonDocument>
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
    // Qt's own writer escapes the string; a one-string array loses its brackets.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}
