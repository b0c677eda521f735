#include "resultspage.h"

#include "answersheet.h"
#include "exampaper.h"
#include "pagetext.h"
#include "papergrader.h"


namespace {

QString cell(const QString &value)
{
    return QStringLiteral("<td width=\"11%\">") + value + QStringLiteral("</td>");
}

QString timeCell(const QString &text)
{
    return QStringLiteral("<div class=\"title_01\" style=\"padding-left:5px; font-size:30px; color:#4cc1d2;\">")
        + text + QStringLiteral("</div>");
}

} // namespace

QString ResultsPage::build(const ExamPaper &paper, int examStatus)
{
    QString html;
    html += QStringLiteral("<style type=\"text/css\">   html{height:100%;} </style><div class=\"box_01\"> <table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\" align=\"center\"><tr>   <td>  <div class=\"index_r_table sub_table\">   <div class=\"title_01\">试卷得分</div><div class=\"title_02\">   <div class=\"title_03\">");
    html += AnswerSheet::number(paper.score);
    html += QStringLiteral("</div>  </div><div class=\"title_01\" style=\"padding-left:5px;\">分</div>    <div style=\"clear:both;\"></div></div></td><td> <div class=\"index_r_table sub_table\">    <div class=\"title_01\">卷面总分</div> <div class=\"title_02\">   <div class=\"title_03\" style=\"border:4px #4cc1d2 solid;\">");
    html += AnswerSheet::number(paper.totalCent);
    html += QStringLiteral("</div>     </div><div class=\"title_01\" style=\"padding-left:5px;\">分</div>  <div style=\"clear:both;\"></div></div></td></tr><tr>  <td>  <div class=\"index_r_table sub_table\">  <div class=\"title_01\">答题用时</div><div class=\"title_01\" style=\"padding-left:5px; font-size:30px; color:#4cc1d2;\">");
    html += clockText(PaperGrader::secondsUsed(paper));
    html += QStringLiteral("</div> <div style=\"clear:both;\"></div>  </div> </td><td> <div class=\"index_r_table sub_table\">    <div class=\"title_01\">考试时长</div>");
    html += timeCell(examLength(paper));
    html += QStringLiteral("<div style=\"clear:both;\"></div>  </div>   </td>  </tr>  </table> </div>");
    if (examStatus == 0)
        html += passLine(paper);
    html += QStringLiteral("<div class=\"box_01\" style=\"background:#f8f8f8; padding-bottom:15px;\"><table width=\"96%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\"  style=\"table-layout:fixed; margin-top:0;\" class=\"table_title\" align=\"center\"><tr>  <td>题型</td><td width=\"11%\">数量</td><td width=\"11%\">答对</td><td width=\"11%\">答错</td><td width=\"11%\">未答</td><td width=\"11%\">总分</td><td width=\"11%\">得分</td><td width=\"11%\">正确率</td></tr>  </table><table width=\"96%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\" style=\"table-layout:fixed; background:#fff;\" class=\"table_list\" align=\"center\"><tr>");
    for (const auto &section : paper.sections) {
        if (section->entryCount <= 0)
            continue;
        html += QStringLiteral("<td><span>") + section->bname + QStringLiteral("</span></td>");
        html += cell(QString::number(section->quantity));
        html += cell(QString::number(section->rightCount));
        html += cell(QString::number(section->wrongCount));
        html += cell(QString::number(section->unansweredCount));
        html += cell(AnswerSheet::number(section->mark));
        html += cell(AnswerSheet::number(section->score));
        html += QStringLiteral("<td width=\"11%\">")
            + QString::number(ratePercent(section->rightCount, section->quantity))
            + QStringLiteral("%</td> </tr>");
    }
    if (examStatus == 3) {
        html += QStringLiteral("</tr> </table> </div> <div class=\"sub_box_card\" style=\"text-align:center;\"><input type=\"button\" value=\"查看答案\"   class=\"button\" onclick=\"showAnswerForm();\" style=\"margin-left:15px;\"/></div>");
    } else {
        html += QStringLiteral("</tr> </table> </div> <div class=\"sub_box_card\" style=\"text-align:center;\"><input type=\"button\" value=\"重新答题\"  class=\"button\" onclick=\"againQuestion();\" /><input type=\"button\" value=\"查看答案\"   class=\"button\" onclick=\"showAnswerForm();\" style=\"margin-left:15px;\"/></div>");
    }
    return html;
}

QString ResultsPage::resultsCall(const QString &html)
{
    return QStringLiteral("messageboxScore('") + jsEscape(html) + QStringLiteral("')");
}

QString ResultsPage::waitingCall()
{
    return QStringLiteral("messageboxScoreBig('")
        + jsEscape(QStringLiteral("<div align=\"center\">正在进行评卷处理，请稍等...</div>"))
        + QStringLiteral("')");
}

QString ResultsPage::clockText(int seconds)
{
    const int total = qMax(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(total / 3600, 2, 10, QLatin1Char('0'))
        .arg(total / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

QString ResultsPage::examLength(const ExamPaper &paper)
{
    return paper.timed() ? clockText(paper.allowedSeconds()) : QStringLiteral("不限时");
}

int ResultsPage::ratePercent(int rightCount, int quantity)
{
    if (quantity <= 0)
        return 0;
    return qRound(rightCount * 100.0 / quantity);
}

QString ResultsPage::passLine(const ExamPaper &paper)
{
    if (!(paper.passCent > 0))
        return QString();
    const bool passed = paper.score >= paper.passCent;
    return QStringLiteral("<div class=\"pass_line ") + (passed ? QStringLiteral("pass\">合格") : QStringLiteral("fail\">不合格"))
        + QStringLiteral("（合格线：") + AnswerSheet::number(paper.passCent) + QStringLiteral("分）</div>");
}

QString ResultsPage::countdownLabel(int remainingSeconds)
{
    return QStringLiteral("剩余时间  ：<font color='#FF0000'>") + clockText(remainingSeconds)
        + QStringLiteral("</font>");
}
