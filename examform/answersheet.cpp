#include "answersheet.h"

#include "examquestion.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

// The typed texts of an essay as the sheet's last member; empty when none
// was typed.
QString essayMember(const ExamQuestion &question)
{
    if (!question.hasTypedEssay())
        return QString();
    QStringList texts;
    for (const QString &text : question.essayTexts)
        texts << AnswerSheet::jsonString(text);
    return QStringLiteral(",\"essay\":[") + texts.join(QLatin1Char(',')) + QLatin1Char(']');
}

QString entryFault(int index, const char *fault)
{
    return QStringLiteral("答题记录第 %1 项%2").arg(index + 1).arg(QString::fromUtf8(fault));
}

// One entry; an empty text when it is sound, else the fault.
QString readEntry(const QJsonValue &value, int index, AnswerSheetEntry &entry)
{
    if (!value.isObject())
        return entryFault(index, "不是对象");
    const QJsonObject object = value.toObject();
    const QJsonValue qid = object.value(QStringLiteral("qid"));
    const QJsonValue cent = object.value(QStringLiteral("cent"));
    const QJsonValue status = object.value(QStringLiteral("status"));
    const QJsonValue answer = object.value(QStringLiteral("answer"));
    const QJsonValue essay = object.value(QStringLiteral("essay"));
    if (!qid.isString())
        return entryFault(index, "缺少题号");
    if (!cent.isDouble())
        return entryFault(index, "的得分不是数字");
    const double code = status.toDouble(-1);
    if (!status.isDouble() || (code != 0 && code != 1 && code != 2))
        return entryFault(index, "的状态不是 0、1 或 2");
    if (!answer.isString())
        return entryFault(index, "的答案不是文本");
    if (!essay.isUndefined()) {
        if (!essay.isArray())
            return entryFault(index, "的作答文字不是数组");
        for (const QJsonValue &text : essay.toArray()) {
            if (!text.isString())
                return entryFault(index, "的作答文字不是文本");
            entry.essay << text.toString();
        }
    }
    entry.qid = qid.toString();
    entry.cent = cent.toDouble();
    entry.status = int(code);
    entry.answer = answer.toString();
    return QString();
}

} // namespace

QString AnswerSheet::entry(const ExamQuestion &question)
{
    return QStringLiteral("{\"qid\":") + jsonString(question.id)
        + QStringLiteral(",\"cent\":") + number(question.score)
        + QStringLiteral(",\"status\":") + QString::number(question.status)
        + QStringLiteral(",\"answer\":") + jsonString(question.userAnswer)
        + essayMember(question) + QLatin1Char('}');
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
    // Qt's reader drops U+FEFF at the start of a string written plainly; the
    // escaped form comes back whole.
    return QString::fromUtf8(array.mid(1, array.size() - 2)).replace(QChar(0xfeff), QLatin1String("\\ufeff"));
}

AnswerSheetReading AnswerSheet::read(const QString &stored)
{
    AnswerSheetReading reading;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(stored.toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        reading.error = QStringLiteral("答题记录不是有效的 JSON（第 %1 个字节处：%2）")
                            .arg(parseError.offset + 1).arg(parseError.errorString());
        return reading;
    }
    if (!document.isArray()) {
        reading.error = QStringLiteral("答题记录不是数组");
        return reading;
    }
    const QJsonArray array = document.array();
    for (int i = 0; i < array.size(); ++i) {
        AnswerSheetEntry entry;
        reading.error = readEntry(array.at(i), i, entry);
        if (!reading.error.isEmpty()) {
            reading.entries.clear();
            return reading;
        }
        reading.entries << entry;
    }
    return reading;
}
