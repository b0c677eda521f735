#include "exampagebuilder.h"

#include "essayanswer.h"
#include "exampaper.h"
#include "notepanel.h"
#include "papersection.h"
#include "pagetext.h"
#include "sectionrendering.h"

namespace {

const QString docType = QStringLiteral(
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtds\"> "
    "<html xmlns=\"http://www.w3.org/1999/xhtml\"> "
    "<head> <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /> ");

const PaperSection *sectionAt(const ExamPaper &paper, int index)
{
    if (index < 0 || index >= static_cast<int>(paper.sections.size()))
        return nullptr;
    return paper.sections[static_cast<size_t>(index)].get();
}

} // namespace

ExamPageBuilder::ExamPageBuilder(int mode, const QString &appDirSlash)
    : m_mode(mode)
    , m_notesShown(mode != 0)
    , m_assetBase(QLatin1Char('"') + fileUrlBase(appDirSlash))
    , m_baseCss(readTextFile(QStringLiteral(":/css/maincss.css")))
    , m_pageScript(readTextFile(QStringLiteral(":/js/mian.js")))
{
    m_questionHead = head(styleSheetLink(QStringLiteral("css/maincss.css"))
                          + styleSheetLink(QStringLiteral("css/welcss.css")));
    m_cardHead = head(styleSheetLink(QStringLiteral("css/mc.css")));
}

QString ExamPageBuilder::styleSheetLink(const QString &file) const
{
    return QStringLiteral("<link href=") + m_assetBase + file
        + QStringLiteral("\" rel=\"stylesheet\" type=\"text/css\" > </link>");
}

QString ExamPageBuilder::head(const QString &styleSheets) const
{
    QString text = docType + styleSheets;
    text += QStringLiteral("<style type=\"text/css\"> ") + m_baseCss + QStringLiteral(" </style>");
    for (const char *script : {"js/jQuery.js", "js/popup.js", "js/swfobject.js"}) {
        text += QStringLiteral("<script type=\"text/javascript\" src=") + m_assetBase
            + QLatin1String(script) + QStringLiteral("\"></script>");
    }
    text += QStringLiteral("<script type=\"text/javascript\">") + m_pageScript
        + QStringLiteral("</script>");
    return text;
}

QString ExamPageBuilder::questionPage(const ExamPaper &paper, int index, int sectionIndex) const
{
    if (index < 0 || index >= static_cast<int>(paper.questions.size()))
        return QString();
    const ExamQuestion &question = *paper.questions[static_cast<size_t>(index)];
    const PaperSection *section = sectionAt(paper, sectionIndex);
    QString page = m_questionHead;
    page += QStringLiteral("<div class=\"title_01\">");
    if (section && m_mode == 3) {
        // A wrong-question practice holds only some of the section's questions.
        PaperSection practice = *section;
        practice.captionName = practiceCaptionName(paper, *section);
        page += sectionCaptionBlock(practice);
    } else if (section) {
        page += sectionCaptionBlock(*section);
    }
    page += QStringLiteral("</div> <div class=\"text_box\">");
    if (m_notesShown)
        page += NotePanel::html(question.id, question.note);
    page += question.html;
    // In review an essay shows, apart from its reference answer, what the
    // candidate wrote and how they assessed it.
    if (paper.handedIn && question.type == ExamQuestion::Essay)
        page += EssayAnswer::ownAnswerHtml(question);
    page += question.answerHtml;
    page += QStringLiteral("</div>");
    page += QStringLiteral("</body> </html>");
    return page;
}

QString ExamPageBuilder::cardPage(const ExamPaper &paper) const
{
    QString page = m_cardHead;
    page += QStringLiteral("<style type=\"text/css\"> html{height:100%;} </style></head><body>"
                           "<div class=\"s_menu\">");
    page += QStringLiteral("<br/><p align='center'><img src=") + m_assetBase
        + QStringLiteral("images/a1.png\"/>已答 ") + QStringLiteral("<img src=") + m_assetBase
        + QStringLiteral("images/a2.png\"/>在答 ") + QStringLiteral("<img src=") + m_assetBase
        + QStringLiteral("images/a3.png\"/>未答 </p> ");

    const int total = static_cast<int>(paper.questions.size());
    int next = 0;
    for (const auto &section : paper.sections) {
        if (section->entryCount < 1)
            continue;
        // An id is data, not markup: a quote in it must not end the attribute.
        const QString sectionId = section->id.toHtmlEscaped();
        page += QStringLiteral("<div class=\"s_menu1\">") + QStringLiteral("<h2 ><span id=\"s_")
            + sectionId + QStringLiteral("\" >")
            + (m_mode == 5 ? sectionTitle(*section) : sectionOrdinal(*section))
            + QStringLiteral("</span></h2>") + QStringLiteral("<div id=\"") + sectionId
            + QStringLiteral("\" class=\"a_list\"  >");
        const int end = qMin(total, next + section->entryCount);
        for (; next < end; ++next) {
            const ExamQuestion &question = *paper.questions[static_cast<size_t>(next)];
            if (question.type == 6)
                continue;
            page += QStringLiteral("<a id=\"") + question.cardId
                + QStringLiteral("\" href=\"javascript:div_focus('")
                + jsEscapeInAttribute(question.focusId) + QStringLiteral("','")
                + QString::number(question.seq) + QStringLiteral("')\" class=\"wico")
                + (m_notesShown && NotePanel::isNote(question.note) ? QLatin1Char(' ') + NotePanel::cardMarkClass()
                                                                    : QString())
                + QStringLiteral("\" >")
                + question.cardLabel() + QStringLiteral("</a>");
        }
        page += QStringLiteral("<div class=\"clear\"></div>") + QStringLiteral("</div> </div>");
    }
    page += QStringLiteral(" </div> </body> </html>");
    return page;
}

QString ExamPageBuilder::sectionIntroduction(const ExamPaper &paper, int sectionIndex) const
{
    const PaperSection *section = sectionAt(paper, sectionIndex);
    if (!section)
        return QString();
    return m_mode == 5 ? sectionHeadingPlain(*section) : sectionHeading(*section);
}
