#include "essayanswer.h"

#include "examquestion.h"

#include <QStringList>

namespace {

const QStringList referenceLabels = {QStringLiteral("参考答案："), QStringLiteral("参考答案:")};

QString withoutLabel(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const QString &label : referenceLabels) {
        if (trimmed.startsWith(label))
            return trimmed.mid(label.size()).trimmed();
    }
    return trimmed;
}

// Typed text is the user's: shown as text, its line breaks kept.
QString typedTextHtml(const QString &text)
{
    return text.trimmed().toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br/>"));
}

} // namespace

bool EssayAnswer::isSelfAssessment(const QString &answer)
{
    const QString code = answer.trimmed();
    return code.isEmpty() || code == QLatin1String("A") || code == QLatin1String("B");
}

QString EssayAnswer::reference(const ExamQuestion &question)
{
    return withoutLabel(isSelfAssessment(question.answer) ? question.analysis : question.answer);
}

QString EssayAnswer::explanation(const ExamQuestion &question)
{
    return isSelfAssessment(question.answer) ? QString() : question.analysis.trimmed();
}

QString EssayAnswer::selfAssessment(const QString &userAnswer)
{
    if (userAnswer.contains(QLatin1Char('A')))
        return QStringLiteral("我会做");
    if (userAnswer.contains(QLatin1Char('B')))
        return QStringLiteral("我不会");
    return QStringLiteral("未自评");
}

QString EssayAnswer::ownAnswerHtml(const ExamQuestion &question)
{
    QString texts;
    for (const QString &text : question.essayTexts) {
        if (!text.trimmed().isEmpty())
            texts += QLatin1String("<p class=\"essay_text\">") + typedTextHtml(text) + QLatin1String("</p>");
    }
    if (texts.isEmpty())
        texts = QStringLiteral("<p class=\"essay_text\">（未作答）</p>");
    return QStringLiteral("<div class=\"essay_own\"><b>你的作答：</b>") + texts
        + QStringLiteral("<p><b>自评：</b>") + selfAssessment(question.userAnswer)
        + QStringLiteral("</p></div>");
}
