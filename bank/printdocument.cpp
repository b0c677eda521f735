#include "printdocument.h"

#include "exampaper.h"
#include "notepanel.h"
#include "notestore.h"
#include "pagetext.h"
#include "paperloader.h"
#include "printquestion.h"
#include "subjectscope.h"

#include <QSqlQuery>

namespace {

// Paper, not screen: white, black text, compact, no colours of the program.
const char *const printStyle =
    "body{background:#fff;color:#000;margin:0;font-size:13pt;line-height:1.5;}"
    "h1.print_title{font-size:17pt;text-align:center;margin:0 0 10pt;color:#000;}"
    "h2.print_section{font-size:13pt;margin:12pt 0 6pt;color:#000;page-break-after:avoid;}"
    ".print_q{page-break-inside:avoid;margin:0 0 9pt;}"
    ".pq_stem b{margin-right:4pt;}"
    ".pq_material{margin:0 0 6pt;padding:4pt 0;border-top:1px solid #000;border-bottom:1px solid #000;}"
    ".pq_options{margin:3pt 0 0 16pt;}"
    ".pq_blanks{margin:3pt 0 0 16pt;}"
    ".pq_blank{display:inline-block;width:130pt;border-bottom:1px solid #000;margin-right:8pt;height:14pt;}"
    ".pq_lines{margin:4pt 0 0 16pt;}"
    ".pq_line{height:22pt;border-bottom:1px solid #888;}"
    ".pq_answer{margin:4pt 0 0 16pt;padding-left:6pt;border-left:2pt solid #888;}"
    ".pq_key{page-break-before:always;}"
    ".pq_note{margin:4pt 0 0 16pt;padding:2pt 6pt;border:1px dashed #555;white-space:pre-wrap;}"
    ".pq_key .pq_answer{margin:0 0 6pt 0;}"
    "img{max-width:100%;}"
    // The sheets of tesseraPaginate: one paper page each, name above, page number below.
    ".print_sheet{position:relative;page-break-after:always;}"
    ".print_sheet.print_last{page-break-after:auto;}"
    ".print_head{font-size:9pt;line-height:1.3;color:#444;text-align:center;border-bottom:1px solid #999;"
    "margin:0 0 8px;padding:0 0 2px;}"
    ".print_foot{position:absolute;left:0;right:0;bottom:0;font-size:9pt;line-height:1.3;color:#444;text-align:center;}"
    ".print_body{padding:1px 0;}"
    ".print_sheet .pq_key{page-break-before:auto;}";

// A question, a case's material before its first part, and where wanted its answer.
QString printedQuestion(const ExamQuestion &question, bool withAnswer, QString *lastMaterial,
                        const QString &appDirSlash)
{
    QString html = QStringLiteral("<div class=\"print_q\">");
    if (question.type == ExamQuestion::Composite) {
        *lastMaterial = question.title;
        return html + QStringLiteral("<div class=\"pq_material\"><b>") + QString::number(question.number)
            + QStringLiteral(".</b> ") + question.title + QStringLiteral("</div></div>");
    }
    if (question.leafNo > 0 && !question.material.isEmpty() && question.material != *lastMaterial) {
        *lastMaterial = question.material;
        html += QStringLiteral("<div class=\"pq_material\"><b>") + QString::number(question.number)
            + QStringLiteral(".</b> ") + question.material + QStringLiteral("</div>");
    }
    html += PrintQuestion::question(question, appDirSlash);
    if (withAnswer)
        html += PrintQuestion::answer(question, appDirSlash);
    if (NotePanel::isNote(question.note))
        html += QStringLiteral("<div class=\"pq_note\"><b>笔记：</b>") + question.note.trimmed().toHtmlEscaped()
            + QStringLiteral("</div>");
    return html + QStringLiteral("</div>");
}

} // namespace

PrintDocument::PrintDocument(QSqlDatabase db, const QString &appDirSlash)
    : m_db(db)
    , m_appDirSlash(appDirSlash)
{
}

QString PrintDocument::paperBody(const ExamPaper &paper, Answers answers, const QString &appDirSlash)
{
    QString body;
    QString key;
    QString lastMaterial;
    for (std::size_t i = 0; i < paper.questions.size(); ++i) {
        const ExamQuestion &question = *paper.questions[i];
        for (const auto &section : paper.sections) {
            if (section->firstSeq == question.seq && section->lastSeq >= section->firstSeq)
                body += QStringLiteral("<h2 class=\"print_section\">") + section->captionName
                    + QStringLiteral("</h2>");
        }
        body += printedQuestion(question, answers == Answers::AfterEach, &lastMaterial, appDirSlash);
        if (answers == Answers::KeyAtEnd && question.type != ExamQuestion::Composite)
            key += QStringLiteral("<div class=\"print_q\"><b>")
                + (question.leafNo > 0 ? PrintQuestion::label(question).prepend(QString::number(question.number))
                                       : PrintQuestion::label(question))
                + QStringLiteral("</b>") + PrintQuestion::answer(question, appDirSlash) + QStringLiteral("</div>");
    }
    if (!key.isEmpty())
        body += QStringLiteral("<div class=\"pq_key\"><h2 class=\"print_section\">参考答案与解析</h2>") + key
            + QStringLiteral("</div>");
    return body;
}

QString PrintDocument::page(const QString &title, const QString &body) const
{
    // The style sheet is also compiled in, as the exam window has it: an
    // installed program's data folder has no css/. Read once: it never changes.
    static const QString style = readTextFile(QStringLiteral(":/css/maincss.css"));
    // The printer lays the page out in sheets of a paper page (PagePrinter).
    static const QString paginate = readTextFile(QStringLiteral(":/js/printpages.js"));
    const QString base = fileUrlBase(m_appDirSlash);
    return QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"/><title>")
        + title.toHtmlEscaped() + QStringLiteral("</title><script type=\"text/javascript\">") + paginate
        + QStringLiteral("</script><link href=\"") + base + QStringLiteral("css/maincss.css\" rel=\"stylesheet\" type=\"text/css\"/>"
                          "<style type=\"text/css\">") + style + QLatin1String(printStyle)
        + QStringLiteral("</style></head><body><h1 class=\"print_title\">") + title.toHtmlEscaped()
        + QStringLiteral("</h1>") + body + QStringLiteral("</body></html>");
}

QString PrintDocument::paper(const QString &paperId, Answers answers)
{
    const auto loaded = PaperLoader(m_db, 0, m_appDirSlash).loadFormalPaper(paperId);
    return page(loaded->name, paperBody(*loaded, answers, m_appDirSlash));
}

QString PrintDocument::wrongBook(const QString &subjectId, Answers answers)
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
            QStringList ids;
            for (const auto &question : practice->questions)
                ids << question->id;
            const QHash<QString, QString> notes = NoteStore::notesOf(m_db, scope, ids);
            for (const auto &question : practice->questions)
                question->note = notes.value(question->id);
            body += QStringLiteral("<h1 class=\"print_title\">") + papers.value(1).toString().toHtmlEscaped()
                + QStringLiteral("</h1>") + paperBody(*practice, answers, m_appDirSlash);
        }
    }
    return page(QStringLiteral("错题本"), body);
}
