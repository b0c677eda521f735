#include "printquestion.h"

#include "blankanswer.h"
#include "essayanswer.h"
#include "examquestion.h"
#include "pagetext.h"

#include <QStringList>

namespace {

// Stored picture paths start with "/" and live under img/ beside the data.
QString withPictures(QString fragment, const QString &appDirSlash)
{
    static const QString imageTag = QStringLiteral("<img src=\"");
    if (fragment.contains(imageTag))
        fragment.replace(imageTag, imageTag + fileUrlBase(appDirSlash) + QLatin1String("img"));
    return fragment;
}

QString optionText(const ExamQuestion &q, int index)
{
    const QString texts[] = {q.option1, q.option2, q.option3, q.option4, q.option5};
    return index < 5 ? texts[index] : QString();
}

// Accepted forms of one blank are separated by "¦".
QString blankText(const QString &blank)
{
    QStringList forms;
    for (const QString &form : blank.split(QChar(0x00A6)))
        if (!form.trimmed().isEmpty())
            forms << form.trimmed();
    return forms.join(QStringLiteral(" 或 "));
}

QString choices(const ExamQuestion &q)
{
    const int count = q.type == ExamQuestion::TrueFalse ? 2 : qBound(0, q.optionLength, 5);
    QString html = QStringLiteral("<div class=\"pq_options\">");
    for (int i = 0; i < count; ++i) {
        const QString text = optionText(q, i);
        if (text.trimmed().isEmpty() && q.type != ExamQuestion::TrueFalse)
            continue;
        html += QStringLiteral("<div class=\"pq_option\">") + QChar('A' + i) + QStringLiteral(". ") + text
            + QStringLiteral("</div>");
    }
    return html + QStringLiteral("</div>");
}

QString blanks(const ExamQuestion &q)
{
    const int count = qMax(1, q.optionLength);
    QString html = QStringLiteral("<div class=\"pq_blanks\">");
    for (int i = 0; i < count; ++i)
        html += (count > 1 ? QStringLiteral("(%1) ").arg(i + 1) : QString()) + QStringLiteral("<span class=\"pq_blank\"></span> ");
    return html + QStringLiteral("</div>");
}

QString writingLines(const ExamQuestion &q)
{
    const int lines = 4 * qMax(1, q.optionLength);
    QString html = QStringLiteral("<div class=\"pq_lines\">");
    for (int i = 0; i < lines; ++i)
        html += QStringLiteral("<div class=\"pq_line\"></div>");
    return html + QStringLiteral("</div>");
}

} // namespace

namespace PrintQuestion {

QString label(const ExamQuestion &question)
{
    return question.leafNo > 0 ? QStringLiteral("(%1)").arg(question.leafNo) : QString::number(question.number) + QLatin1Char('.');
}

QString answerText(const ExamQuestion &question)
{
    if (question.type != ExamQuestion::FillIn)
        return question.answer;
    const QStringList parts = BlankAnswer::split(question.answer);
    if (parts.size() == 1)
        return blankText(parts.first());
    QStringList numbered;
    for (int i = 0; i < parts.size(); ++i)
        numbered << QStringLiteral("(%1) %2").arg(i + 1).arg(blankText(parts.at(i)));
    return numbered.join(QLatin1Char(' '));
}

QString question(const ExamQuestion &question, const QString &appDirSlash)
{
    QString html = QStringLiteral("<div class=\"pq_stem\"><b>") + label(question) + QStringLiteral("</b> ")
        + question.title + QStringLiteral("</div>");
    switch (question.type) {
    case ExamQuestion::SingleChoice:
    case ExamQuestion::MultipleChoice:
    case ExamQuestion::TrueFalse:
        html += choices(question);
        break;
    case ExamQuestion::FillIn:
        html += blanks(question);
        break;
    case ExamQuestion::Essay:
        html += writingLines(question);
        break;
    default:
        break;
    }
    return withPictures(html, appDirSlash);
}

QString answer(const ExamQuestion &question, const QString &appDirSlash)
{
    QString html;
    if (question.type == ExamQuestion::Essay) {
        // An essay's answer field is the self-assessment code, not its answer.
        html = QStringLiteral("<div class=\"pq_answer\"><b>参考答案：</b>") + EssayAnswer::reference(question);
        if (!EssayAnswer::explanation(question).isEmpty())
            html += QStringLiteral("<br/><b>解析：</b>") + EssayAnswer::explanation(question);
    } else {
        html = QStringLiteral("<div class=\"pq_answer\"><b>答案：</b>") + answerText(question);
        if (!question.analysis.trimmed().isEmpty())
            html += QStringLiteral("<br/><b>解析：</b>") + question.analysis;
    }
    return withPictures(html + QStringLiteral("</div>"), appDirSlash);
}

} // namespace PrintQuestion
