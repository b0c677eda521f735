#include "searchresultpage.h"

#include "exampaper.h"
#include "pagetext.h"

#include <algorithm>

namespace {

// WebKit's layout time grows far faster than the number of blocks that sit
// side by side in one parent: thousands of hits directly in the text box took
// seconds to show. Larger results are therefore grouped in plain blocks of
// this many hits, which add no style and change nothing in the look.
const size_t hitsPerBlock = 100;

bool grouped(const ExamPaper &results)
{
    return results.questions.size() > hitsPerBlock;
}

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

// The page with the first blockLimit blocks of hits.
QString page(const ExamPaper &results, const QString &appDirSlash, int blockLimit)
{
    const QString base = QLatin1Char('"') + fileUrlBase(appDirSlash);
    // Compiled-in texts never change during a run: read them once.
    static const QString style = readTextFile(QStringLiteral(":/css/maincss.css"));
    static const QString script = readTextFile(QStringLiteral(":/js/mian.js"));

    const size_t hitLimit = std::min(results.questions.size(), static_cast<size_t>(blockLimit) * hitsPerBlock);
    // Thousands of hits make a page of many megabytes: size it once.
    QString text;
    const qsizetype blocks = static_cast<qsizetype>(hitLimit / hitsPerBlock) + 1;
    text.reserve(2048 + style.size() + script.size() + 6 * base.size() + hitsSize(results, 0, hitLimit)
                 + 11 * blocks);
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
    if (grouped(results)) {
        for (int b = 0; b < blockLimit && static_cast<size_t>(b) * hitsPerBlock < hitLimit; ++b)
            text += SearchResultPage::block(results, b);
    } else {
        appendHits(text, results, 0, hitLimit);
    }
    text += QLatin1String("</div>");
    text += QLatin1String("</body> </html>");
    return text;
}

} // namespace

QString SearchResultPage::build(const ExamPaper &results, const QString &appDirSlash)
{
    return page(results, appDirSlash, blockCount(results));
}

QString SearchResultPage::buildFirstBlock(const ExamPaper &results, const QString &appDirSlash)
{
    return page(results, appDirSlash, 1);
}

int SearchResultPage::blockCount(const ExamPaper &results)
{
    if (!grouped(results))
        return 1;
    return static_cast<int>((results.questions.size() + hitsPerBlock - 1) / hitsPerBlock);
}

QString SearchResultPage::block(const ExamPaper &results, int index)
{
    const size_t from = static_cast<size_t>(index) * hitsPerBlock;
    const size_t to = std::min(results.questions.size(), from + hitsPerBlock);
    QString text;
    if (from >= to)
        return text;
    text.reserve(hitsSize(results, from, to) + 11);
    text += QLatin1String("<div>");
    appendHits(text, results, from, to);
    text += QLatin1String("</div>");
    return text;
}

QString SearchResultPage::appendScript(const QString &blockHtml)
{
    // Only a page that has finished loading takes blocks, at the end of its
    // text box (the body's own child, which a hit's HTML cannot stand in for).
    return QLatin1String("(function(){var box=document.querySelector('body > div.text_box');"
                         "if(document.readyState!=='complete'||!box)return false;box.insertAdjacentHTML('beforeend','")
        + jsEscape(blockHtml) + QLatin1String("');return true;})()");
}
