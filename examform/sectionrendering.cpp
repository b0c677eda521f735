#include "sectionrendering.h"

#include "answersheet.h"
#include "exampaper.h"
#include "papersection.h"

namespace {

// Headings, ordinals and titles exist for the first six sections only.
constexpr int headedSections = 6;

bool hasHeading(const PaperSection &section)
{
    return section.row >= 0 && section.row < headedSections;
}

} // namespace

QString sectionCaptionBlock(const PaperSection &section)
{
    if (section.row < 0 || section.row >= int(PaperSection::ordinals.size()))
        return QString();
    QString block;
    block.reserve(48 + section.id.size() + section.captionName.size());
    block += QLatin1String("<div id=ca_\"");
    // An id is data, not markup: a quote in it must not end the attribute.
    block += section.id.toHtmlEscaped();
    block += QLatin1String("\"  class=\"\" > <p>");
    block += PaperSection::ordinals[section.row];
    block += QStringLiteral("、");
    block += section.captionName;
    block += QLatin1String("</p> </div>");
    return block;
}

QString sectionOrdinal(const PaperSection &section)
{
    if (!hasHeading(section))
        return QString();
    return QStringLiteral("第") + PaperSection::ordinals[section.row] + QStringLiteral("部分");
}

QString sectionHeading(const PaperSection &section)
{
    if (!hasHeading(section))
        return QString();
    return QLatin1String("<p><h4>") + sectionOrdinal(section) + QStringLiteral("：") + section.bname
        + QLatin1String("</h4></p>");
}

QString sectionHeadingPlain(const PaperSection &section)
{
    if (!hasHeading(section))
        return QString();
    return QLatin1String("<p><h4>") + section.bname + QLatin1String("</h4></p>");
}

QString sectionTitle(const PaperSection &section)
{
    if (!hasHeading(section))
        return QString();
    return section.bname;
}

QString paperIntroduction(const ExamPaper &paper)
{
    QString text;
    const int count = int(paper.sections.size());
    if (count >= 1 && count <= headedSections) {
        text += QStringLiteral("<p><h2>本试卷共有") + PaperSection::ordinals[count - 1]
            + QStringLiteral("部分组成</h2></p>");
    }
    for (const auto &section : paper.sections) {
        if (section)
            text += sectionHeading(*section);
    }
    return text;
}

QString practiceCaptionName(const ExamPaper &paper, const PaperSection &section)
{
    const int first = qMax(section.firstSeq - 1, 0);
    const int end = qMin(section.lastSeq, static_cast<int>(paper.questions.size()));
    bool sameCent = end > first;
    for (int i = first + 1; i < end; ++i)
        sameCent = sameCent && paper.questions[size_t(i)]->cent == paper.questions[size_t(first)]->cent;
    QString caption = section.bname + QStringLiteral("（共") + QString::number(section.quantity) + QStringLiteral("题，");
    if (sameCent)
        caption += QStringLiteral("每题") + AnswerSheet::number(paper.questions[size_t(first)]->cent) + QStringLiteral("分，");
    return caption + QStringLiteral("共") + AnswerSheet::number(section.mark) + QStringLiteral("分）");
}
