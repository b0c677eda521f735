#include "searchresultpage.h"

#include "exampaper.h"
#include "examquestion.h"
#include "pagetext.h"

#include <algorithm>

namespace {

// WebKit's layout time grows far faster than the number of blocks that sit
// side by side in one parent: thousands of hits directly in the text box took
// seconds to show. Larger results are therefore grouped in plain blocks of
// this many hits, which add no style and change nothing in the look.
const size_t groupSize = 100;

void appendHits(QString &text, const ExamPaper &results, size_t from, size_t to)
{
    for (size_t i = from; i < to; ++i) {
        text += results.questions[i]->html;
        text += results.questions[i]->answerHtml;
    }
}

qsizetype hitsSize(const ExamPaper &results, size_t from, size_t to)
{
    qsizetype size = 0;
    for (size_t i = from; i < to; ++i)
        size += results.questions[i]->html.size() + results.questions[i]->answerHtml.size();
    return size;
}

// The designed page: head, then the text box with body inside.
QString page(const QString &appDirSlash, const QString &body)
{
    const QString base = QLatin1Char('"') + fileUrlBase(appDirSlash);
    // Compiled-in texts never change during a run: read them once.
    static const QString style = readTextFile(QStringLiteral(":/css/maincss.css"));
    static const QString script = readTextFile(QStringLiteral(":/js/mian.js"));

    QString text;
    text.reserve(2048 + style.size() + script.size() + 6 * base.size() + body.size());
    text += QLatin1String("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                          "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtds\"> ");
    text += QLatin1String("<html xmlns=\"http://www.w3.org/1999/xhtml\"> ");
    text += QLatin1String("<head> <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /> ");
    text += QLatin1String("<link href=");
    text += base;
    text += QLatin1String("css/maincss.css\" rel=\"stylesheet\" type=\"text/css\" > </link>");
    text += QLatin1String("<link href=");
    text += base;
    text += QLatin1String("css/welcss.css\" rel=\"stylesheet\" type=\"text/css\" > </link>");
    text += QLatin1String("<style type=\"text/css\"> ");
    text += style;
    text += QLatin1String(" </style>");
    for (const char *file : {"js/jQuery.js", "js/popup.js", "js/swfobject.js"}) {
        text += QLatin1String("<script type=\"text/javascript\" src=");
        text += base;
        text += QLatin1String(file);
        text += QLatin1String("\"></script>");
    }
    text += QLatin1String("<script type=\"text/javascript\">");
    text += script;
    text += QLatin1String("</script>");
    text += QLatin1String("<body> <div class=\"text_box\"> ");
    text += body;
    text += QLatin1String("</div>");
    text += QLatin1String("</body> </html>");
    return text;
}

} // namespace

const int SearchResultPage::hitsPerBlock = 20;

QString SearchResultPage::build(const ExamPaper &results, const QString &appDirSlash)
{
    const size_t count = results.questions.size();
    QString body;
    body.reserve(hitsSize(results, 0, count) + 11 * static_cast<qsizetype>(count / groupSize + 1));
    if (count <= groupSize) {
        appendHits(body, results, 0, count);
    } else {
        for (size_t from = 0; from < count; from += groupSize) {
            body += QLatin1String("<div>");
            appendHits(body, results, from, std::min(count, from + groupSize));
            body += QLatin1String("</div>");
        }
    }
    return page(appDirSlash, body);
}

QString SearchResultPage::shell(const QString &appDirSlash)
{
    return page(appDirSlash, QString());
}

QString SearchResultPage::block(const std::vector<std::unique_ptr<ExamQuestion>> &questions)
{
    qsizetype size = 11;
    for (const auto &q : questions)
        size += q->html.size() + q->answerHtml.size();
    QString text;
    text.reserve(size);
    text += QLatin1String("<div>");
    for (const auto &q : questions) {
        text += q->html;
        text += q->answerHtml;
    }
    text += QLatin1String("</div>");
    return text;
}

QString SearchResultPage::countLine(int hits, const QString &keyword)
{
    if (hits == 0)
        return QStringLiteral("<p id=\"so_count\">没有找到包含“") + keyword.toHtmlEscaped()
            + QStringLiteral("”的试题</p>");
    return QStringLiteral("<p id=\"so_count\">共 %1 题</p>").arg(hits);
}

QString SearchResultPage::runningCountLine(int found)
{
    return QStringLiteral("<p id=\"so_count\">已找到 %1 题，正在继续检索…</p>").arg(found);
}

QString SearchResultPage::messageLine(const QString &message)
{
    return QStringLiteral("<p id=\"so_count\"><font color=\"red\">") + message.toHtmlEscaped()
        + QStringLiteral("</font></p>");
}

QString SearchResultPage::showScript(const QString &line, const QString &blockHtml, bool more)
{
    return QLatin1String("(typeof soShow==='function'&&soShow('") + jsEscape(line) + QLatin1String("','")
        + jsEscape(blockHtml) + QLatin1String("',") + QLatin1String(more ? "true" : "false")
        + QLatin1String("))");
}

QString SearchResultPage::appendScript(const QString &blockHtml, bool more)
{
    return QLatin1String("(typeof soAppend==='function'&&soAppend('") + jsEscape(blockHtml)
        + QLatin1String("',") + QLatin1String(more ? "true" : "false") + QLatin1String("))");
}

QString SearchResultPage::countScript(const QString &line, bool more)
{
    return QLatin1String("(typeof soSetCount==='function'&&soSetCount('") + jsEscape(line) + QLatin1String("',")
        + QLatin1String(more ? "true" : "false") + QLatin1String("))");
}

QString SearchResultPage::nearEndScript()
{
    return QStringLiteral("(typeof soNearEnd==='function'&&soNearEnd())");
}
