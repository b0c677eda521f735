#include "printdocument.h"

#include "exampaper.h"
#include "pagetext.h"
#include "paperloader.h"
#include "subjectscope.h"

#include <QSqlQuery>

namespace {

// What the screen needs and paper does not: the buttons under a question, the
// answer card marks; and the rule that keeps a question on one page.
const char *const printStyle =
    ".print_q{page-break-inside:avoid;margin:0 0 14px 0;}"
    ".print_q .keep_bar,.print_q .right_bar,.print_q input[type=hidden]{display:none;}"
    ".print_q .show_an{display:block !important;}"
    "h1.print_title{font-size:20px;text-align:center;}"
    "h2.print_section{font-size:16px;page-break-after:avoid;}";

} // namespace

PrintDocument::PrintDocument(QSqlDatabase db, const QString &appDirSlash)
    : m_db(db)
    , m_appDirSlash(appDirSlash)
{
}

QString PrintDocument::paperBody(const ExamPaper &paper, bool withAnswers)
{
    QString body;
    for (std::size_t i = 0; i < paper.questions.size(); ++i) {
        const ExamQuestion &question = *paper.questions[i];
        for (const auto &section : paper.sections) {
            if (section->firstSeq == question.seq && section->lastSeq >= section->firstSeq)
                body += QStringLiteral("<h2 class=\"print_section\">") + section->captionName
                    + QStringLiteral("</h2>");
        }
        QString answer = QStringLiteral("</div>"); // closes the question block
        if (withAnswers) {
            answer = question.answerHtml;
            // An answer without explanation leaves its bold open, which on a
            // page of many questions would run into the next ones.
            if (!answer.contains(QLatin1String("</b>")))
                answer.insert(answer.indexOf(QLatin1String("</div>")), QLatin1String("</b>"));
        }
        body += QStringLiteral("<div class=\"print_q\">") + question.html + answer + QStringLiteral("</div>");
    }
    return body;
}

QString PrintDocument::page(const QString &title, const QString &body) const
{
    // The style sheet is also compiled in, as the exam window has it: an
    // installed program's data folder has no css/. Read once: it never changes.
    static const QString style = readTextFile(QStringLiteral(":/css/maincss.css"));
    const QString base = fileUrlBase(m_appDirSlash);
    return QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"/>"
                          "<link href=\"") + base + QStringLiteral("css/maincss.css\" rel=\"stylesheet\" type=\"text/css\"/>"
                          "<style type=\"text/css\">") + style + QLatin1String(printStyle)
        + QStringLiteral("</style></head><body><h1 class=\"print_title\">") + title.toHtmlEscaped()
        + QStringLiteral("</h1>") + body + QStringLiteral("</body></html>");
}

QString PrintDocument::paper(const QString &paperId, bool withAnswers)
{
    const auto loaded = PaperLoader(m_db, 0, m_appDirSlash).loadFormalPaper(paperId);
    return page(loaded->name, paperBody(*loaded, withAnswers));
}

QString PrintDocument::wrongBook(const QString &subjectId)
{
    const SubjectScope scope(subjectId);
    QSqlQuery papers(m_db);
    papers.prepare(QStringLiteral("select id, name from exam_paper where id in (select examid from error_answer)")
                   + scope.andClause(QStringLiteral("subjectId")) + QStringLiteral(" order by sortNo"));
    scope.bind(papers);
    QString body;
    if (papers.exec()) {
        while (papers.next()) {
            const auto practice = PaperLoader(m_db, 3, m_appDirSlash).loadWrongPractice(papers.value(0).toString());
            if (practice->questions.empty())
                continue;
            body += QStringLiteral("<h1 class=\"print_title\">") + papers.value(1).toString().toHtmlEscaped()
                + QStringLiteral("</h1>") + paperBody(*practice, true);
        }
    }
    return page(QStringLiteral("错题本"), body);
}
