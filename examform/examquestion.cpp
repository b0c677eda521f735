// Concatenations below build each item in one allocation.
#define QT_USE_QSTRINGBUILDER
#include "examquestion.h"

#include "blankanswer.h"
#include "essayanswer.h"
#include "keywordhighlight.h"
#include "pagetext.h"

#include <algorithm>

namespace {

// Bank rows sometimes carry absurd option counts; a question never has more
// slots than this, and the rest would only be empty controls.
constexpr int optionSlotLimit = 64;

// Choice questions draw buttons A..F; true/false draws A..C at most.
constexpr int choiceButtons = 6;
constexpr int trueFalseButtons = 3;

// Label passed by the handler of blank i: "A".."Z", then "AA", "AB", ...
// (the first ten are the letters "ABCDEFGHIJ"). Marking compares the typed
// texts, so the label only has to be distinct per blank.
QString blankLabel(int index)
{
    QString label;
    int n = index + 1;
    while (n > 0) {
        const int rest = (n - 1) % 26;
        label.prepend(QChar('A' + rest));
        n = (n - 1) / 26;
    }
    return label;
}

// The stored answer goes into a single-quoted attribute value; it is meant to
// be letters, but a damaged answer sheet must not break the page.
QString attributeValue(const QString &text)
{
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QLatin1Char('\''), QLatin1String("&#39;"));
    return escaped;
}

QString optionText(const ExamQuestion &q, int index)
{
    switch (index) {
    case 0: return q.option1;
    case 1: return q.option2;
    case 2: return q.option3;
    case 3: return q.option4;
    case 4: return q.option5;
    default: return QString(); // the sixth button has no text slot
    }
}

// Stored image paths start with "/" and live under img/ of the application
// directory.
void rewriteImages(QString &fragment, const QString &appDirSlash)
{
    static const QString imageTag = QStringLiteral("<img src=\"");
    if (fragment.contains(imageTag))
        fragment.replace(imageTag, imageTag + fileUrlBase(appDirSlash) + QLatin1String("img"));
}

} // namespace

void ExamQuestion::render(int mode, const QString &appDirSlash, const QString &highlight)
{
    renderVariant(Variant::Paper, mode, appDirSlash, highlight);
}

void ExamQuestion::renderLeaf(int mode, const QString &appDirSlash, const QString &highlight)
{
    renderVariant(Variant::Leaf, mode, appDirSlash, highlight);
}

void ExamQuestion::renderSearch(int mode, const QString &appDirSlash, const QString &highlight)
{
    renderVariant(Variant::Search, mode, appDirSlash, highlight);
}

void ExamQuestion::renderVariant(Variant variant, int mode, const QString &appDirSlash,
                                 const QString &highlight)
{
    const int slots = std::clamp(optionLength, 0, optionSlotLimit);
    html.clear();
    answerHtml.clear();
    optionIds.clear();
    html.reserve(512 + title.size() + material.size() + option1.size() + option2.size()
                 + option3.size() + option4.size() + option5.size() + video.size()
                 + appDirSlash.size() + slots * 360);
    focusId = QLatin1String("div_ti") + QString::number(seq);
    explainId = QLatin1String("div_da") + QString::number(seq);

    appendStem(variant, mode, highlight);
    appendAnswerField();
    if (type == Composite) {
        // A composite shows its stem only; its leaves are entries of their own.
        html += QLatin1String("</div> ");
        rewriteImages(html, appDirSlash);
        return;
    }

    html += QLatin1String("<div id=\"p_") + focusId + QLatin1String("\" class=\"option\"> ");
    QString lastOptionId;
    if (type == SingleChoice || type == MultipleChoice || type == TrueFalse)
        lastOptionId = appendChoiceButtons(variant, slots);
    else if (type == FillIn)
        lastOptionId = appendBlanks(slots);
    else if (type == Essay)
        lastOptionId = appendEssayBoxes(slots);
    if (variant == Variant::Search && !highlight.isEmpty())
        html = highlightKeyword(html, highlight);

    resultId = focusId + QLatin1String("R_W");
    html += QLatin1String("<span class=\"right_bar\"> <span id=\"") + resultId
        + QLatin1String("\" ></span></span> </div> ");
    appendButtonBar(variant, lastOptionId, appDirSlash);
    rewriteImages(html, appDirSlash);
    buildAnswerHtml(variant, appDirSlash);
}

QString ExamQuestion::cardLabel() const
{
    if (leafNo > 0)
        return QString::number(number) + QLatin1Char('.') + QString::number(leafNo);
    return QString::number(number);
}

bool ExamQuestion::hasTypedEssay() const
{
    for (const QString &text : essayTexts) {
        if (!text.trimmed().isEmpty())
            return true;
    }
    return false;
}

QString ExamQuestion::stemOf(int type, bool part, const QString &title, const QString &titleImage)
{
    if (type != Essay)
        return titleImage;
    return part && !titleImage.isEmpty() ? titleImage : title;
}

void ExamQuestion::appendStem(Variant variant, int mode, const QString &highlight)
{
    const QString numbered = QString::number(number) + QLatin1String(".&nbsp;");
    if (variant == Variant::Paper && (mode == WrongPractice || mode == FavouritePractice)) {
        html += QLatin1String("<div id=\"") + focusId + QLatin1String("\" class=\"content\"> <p>") + numbered;
        if (!material.isEmpty())
            html += material + QLatin1String("<br>");
        html += title + QLatin1String("</p> ");
        // Only the favourites practice marks a search word; the wrong-question
        // practice shows its stems as they are.
        if (mode == FavouritePractice && !highlight.isEmpty())
            html = highlightKeyword(html, highlight);
        return;
    }

    html += QLatin1String("<div id=\"") + focusId + QLatin1String("\"  class=\"content\"> ");
    if (variant == Variant::Search) {
        // A part is labelled as on the answer card: "18.3".
        html += QLatin1String("<p>") + (leafNo > 0 ? cardLabel() + QLatin1String("&nbsp;") : numbered);
        if (!material.isEmpty())
            html += material + QLatin1String("<br>");
        html += title + QLatin1String("</p> ");
    } else if (type == Composite) {
        html += QLatin1String("<p>") + title + QLatin1String("</p> ");
    } else if (variant == Variant::Leaf) {
        html += QLatin1String("<p>") + numbered + material + QLatin1String("<br>(") + QString::number(leafNo)
            + QLatin1String(")&nbsp;") + title + QLatin1String("</p> ");
    } else if (status == 1) {
        // Formal paper after hand-in: a wrongly answered question shows red.
        html += QLatin1String("<p><font color=\"red\">") + numbered + title + QLatin1String("</font></p> ");
    } else {
        html += QLatin1String("<p>") + numbered + title + QLatin1String("</p> ");
    }
}

void ExamQuestion::appendAnswerField()
{
    const QString seqText = QString::number(seq);
    switch (type) {
    case SingleChoice: tname = QLatin1String("hdan_") + seqText; break;
    case MultipleChoice: tname = QLatin1String("hduo_") + seqText; break;
    case TrueFalse: tname = QLatin1String("hpan_") + seqText; break;
    case FillIn: tname = QLatin1String("ti4_") + seqText; break;
    case Essay: tname = QLatin1String("ti5_") + seqText; break;
    case Composite: tname = QLatin1String("ti6_") + seqText; break;
    default: tname.clear(); break;
    }
    if (type == SingleChoice || type == MultipleChoice || type == TrueFalse) {
        html += QLatin1String("<input type='hidden' id='") + tname + QLatin1String("' value='")
            + attributeValue(userAnswer) + QLatin1String("'/>");
    } else if (type == Essay) {
        html += QLatin1String("<input type='hidden' id='") + tname + QLatin1String("' value=''/>");
    }
}

QString ExamQuestion::appendChoiceButtons(Variant variant, int slots)
{
    QLatin1String prefix("ti1_"), group("dan_"), handler("setdanxuan");
    if (type == MultipleChoice) {
        prefix = QLatin1String("ti2_"); group = QLatin1String("duo_"); handler = QLatin1String("setduoxuan");
    } else if (type == TrueFalse) {
        prefix = QLatin1String("ti3_"); group = QLatin1String("pan_"); handler = QLatin1String("setpanduan");
    }
    // The button text after the letter: "A." everywhere, case-study parts
    // too; a part's multiple choice keeps the round buttons.
    QLatin1String valueEnd(".&nbsp;\" class=\"button_01\" /> <label for=\"");
    if (type == MultipleChoice && variant != Variant::Leaf)
        valueEnd = QLatin1String(".&nbsp;\" class=\"button_03\" /> <label for=\"");

    const QString seqText = QString::number(seq);
    const QString groupName = group + seqText;
    const int drawn = type == TrueFalse ? trueFalseButtons : choiceButtons;
    QString optionId;
    for (int i = 0; i < slots; ++i) {
        // Every slot is listed, drawn or not: the card and the answer logic
        // address the last one.
        optionId = prefix + seqText + QLatin1Char('_') + QString::number(i);
        optionIds.append(optionId);
        if (i >= drawn)
            continue;
        const QChar letter('A' + i);
        html += QLatin1String("<input type=\"button\"  id=\"") + optionId + QLatin1String("\" name=\"")
            + groupName + QLatin1String("\"onclick=\"") + handler + QLatin1String("('") + optionId
            + QLatin1String("','") + tname + QLatin1String("','") + letter
            + QLatin1String("');\" value=\"") + letter + valueEnd + optionId
            + QLatin1String("\" >&nbsp;") + optionText(*this, i) + QLatin1String("</label>");
    }
    return optionId;
}

QString ExamQuestion::appendBlanks(int slots)
{
    // Every blank shares the id and name; the page reports the texts of all
    // blanks of the question together.
    const QString seqText = QString::number(seq);
    for (int i = 0; i < slots; ++i) {
        html += QLatin1String("<input type=\"text\"  id=\"ti4_") + seqText + QLatin1String("\" name=\"kong_")
            + seqText + QLatin1String("\" height=15 width=40 onBlur=\"settiankong('") + tname
            + QLatin1String("','") + tname + QLatin1String("','") + blankLabel(i)
            + QLatin1String("');\" /> ");
    }
    return slots > 0 ? tname : QString();
}

QString ExamQuestion::appendEssayBoxes(int slots)
{
    const QString seqText = QString::number(seq);
    const QString name = QLatin1String("wen_") + seqText;
    QString baseId;
    for (int i = 0; i < slots; ++i) {
        baseId = name + QLatin1Char('_') + QString::number(i);
        html += QLatin1String("<textarea id=\"ti5_") + seqText
            + QLatin1String("\" cols='50' rows='2' > </textarea>");
        html += QStringLiteral("<p><font color=\"red\">自评：</font> <p><input type=\"button\" id=\"") + baseId
            + QLatin1String("1\" name=\"") + name + QLatin1String("\" onclick=\"setwenda('") + baseId
            + QLatin1String("1','") + tname + QStringLiteral("','A');\" class=\"button_01\"/ >我会做 &nbsp;");
        html += QLatin1String("</p>   <P><input type=\"button\" id=\"") + baseId + QLatin1String("2\" name=\"")
            + name + QLatin1String("\" onclick=\"setwenda('") + baseId + QLatin1String("2','") + tname
            + QStringLiteral("','B');\" class=\"button_01\"/ >我不会</p>  </p>");
        optionIds.append(baseId);
    }
    return baseId;
}

void ExamQuestion::appendButtonBar(Variant variant, const QString &lastOptionId, const QString &appDirSlash)
{
    barId = focusId + QLatin1String("_1");
    // A question that draws no control still needs a card entry of its own;
    // one of no known type has no answer field either.
    cardId = QLatin1String("sc_")
        + (!lastOptionId.isEmpty() ? lastOptionId : !tname.isEmpty() ? tname : focusId);
    // The part number after a separator: "ti4_11" with part 10 and "ti4_111"
    // with part 0 must not meet.
    if (variant == Variant::Search)
        cardId += QLatin1Char('_') + QString::number(leafNo);

    html += QLatin1String("<div id=\"") + barId
        + QLatin1String("\" name=\"button_x\"  >  <div class=\"keep_bar\">");
    if (!video.isEmpty()) {
        html += QLatin1String("<input type=\"button\" id=\"sp_") + lastOptionId
            + QLatin1String("\" onclick=\"PlayMp4('") + jsEscapeInAttribute(fileUrlBase(appDirSlash))
            + QLatin1String("','") + jsEscapeInAttribute(video) + QLatin1String("')\" class=\"but_video\"/ >");
    }
    if (variant == Variant::Search) {
        // sc(cardId, questionId, '1' to add or '0' to remove, focusId)
        html += QLatin1String("<div style='text-align:right;'><input type=\"button\" id=\"") + cardId
            + QLatin1String("\" onclick=\"sc('") + cardId + QLatin1String("','") + jsEscapeInAttribute(id)
            + QLatin1String("',");
        html += isCollect
            ? QLatin1String("'0','") + focusId + QLatin1String("')\" class=\"but_hidecang\"/ ></div>")
            : QLatin1String("'1','") + focusId + QLatin1String("')\" class=\"but_showcang\"/ > </div>");
    }
    html += QLatin1String("</div> <div style=\"clear:both\"> </div> </div>");
}

void ExamQuestion::buildAnswerHtml(Variant variant, const QString &appDirSlash)
{
    // The search shows the explanation from the start; the exam window hides it.
    answerHtml.reserve(128 + answer.size() + analysis.size());
    answerHtml += QLatin1String("<div id=\"") + explainId;
    answerHtml += variant == Variant::Search
        ? QStringLiteral("\" name=\"jiexi\"  class=\"show_an\" > ")
        : QStringLiteral("\" name=\"jiexi\"  class=\"show_an\" style=\"display:none\" > ");
    if (type == Essay) {
        // An essay's answer field is the self-assessment code, not its answer.
        const QString reference = EssayAnswer::reference(*this);
        answerHtml += QStringLiteral("<b>参考答案：</b>")
            + (reference.isEmpty() ? QStringLiteral("（题库未给出）") : reference);
        const QString explanation = EssayAnswer::explanation(*this);
        if (!explanation.isEmpty())
            answerHtml += QStringLiteral("<br/>解析：") + explanation;
    } else {
        // The blanks of a fill-in answer are numbered, in the exam window and the search alike.
        answerHtml += QStringLiteral("<b>答案：") + (type == FillIn ? BlankAnswer::readable(answer) : answer);
        // Closed also without an explanation: an open bold tag ran into every
        // question after it (the search's later hits).
        answerHtml += QLatin1String("</b>");
        if (!analysis.isEmpty())
            answerHtml += QStringLiteral("<br/>解析：") + analysis;
    }
    answerHtml += QLatin1String("</div>");
    rewriteImages(answerHtml, appDirSlash);
    // Closes the question block opened by the stem.
    answerHtml += QLatin1String("</div>");
}
