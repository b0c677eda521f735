#include "searchresultpage.h"

#include "exampaper.h"
#include "pagetext.h"

namespace {

// WebKit's layout time grows far faster than the number of blocks that sit
// side by side in one parent: thousands of hits directly in the text box took
// seconds to show. Larger results are therefore grouped in plain blocks of
// this many hits, which add no style and change nothing in the look.
const size_t hitsPerBlock = 100;

} // namespace

QString SearchResultPage::build(const ExamPaper &results, const QString &appDirSlash)
{
    const QString base = QLatin1Char('"') + fileUrlBase(appDirSlash);
    // Compiled-in texts never change during a run: read them once.
    static const QString style = readTextFile(QStringLiteral(":/css/maincss.css"));
    static const QString script = readTextFile(QStringLiteral(":/js/mian.js"));

    // Thousands of hits make a page of many megabytes: size it once.
    qsizetype bodySize = 0;
    for (const auto &q : results.questions)
        bodySize += q->html.size() + q->answerHtml.size();

    QString page;
    const qsizetype blocks = static_cast<qsizetype>(results.questions.size() / hitsPerBlock) + 1;
    page.reserve(2048 + style.size() + script.size() + 6 * base.size() + bodySize + 11 * blocks);
    page += QLatin1String("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                          "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtds\"> ");
    page += QLatin1String("<html xmlns=\"http://www.w3.org/1999/xhtml\"> ");
    page += QLatin1String("<head> <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /> ");
    page += QLatin1String("<link href=");
    page += base;
    page += QLatin1String("css/maincss.css\" rel=\"stylesheet\" type=\"text/css\" > </link>");
    page += QLatin1String("<link href=");
    page += base;
    page += QLatin1String("css/welcss.css\" rel=\"stylesheet\" type=\"text/css\" > </link>");
    page += QLatin1String("<style type=\"text/css\"> ");
    page += style;
    page += QLatin1String(" </style>");
    for (const char *file : {"js/jQuery.js", "js/popup.js", "js/swfobject.js"}) {
        page += QLatin1String("<script type=\"text/javascript\" src=");
        page += base;
        page += QLatin1String(file);
        page += QLatin1String("\"></script>");
    }
    page += QLatin1String("<script type=\"text/javascript\">");
    page += script;
    page += QLatin1String("</script>");
    page += QLatin1String("<body> <div class=\"text_box\"> ");
    const bool grouped = results.questions.size() > hitsPerBlock;
    for (size_t i = 0; i < results.questions.size(); ++i) {
        if (grouped && i % hitsPerBlock == 0)
            page += i == 0 ? QLatin1String("<div>") : QLatin1String("</div><div>");
        page += results.questions[i]->html;
        page += results.questions[i]->answerHtml;
    }
    if (grouped)
        page += QLatin1String("</div>");
    page += QLatin1String("</div>");
    page += QLatin1String("</body> </html>");
    return page;
}
