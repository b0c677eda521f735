#include "pagepreview.h"

#include "constants.h"
#include "dbconnection.h"
#include "exampaper.h"
#include "examquestion.h"
#include "pagetext.h"
#include "papersection.h"
#include "resultspage.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <memory>

namespace PagePreview {
namespace {

QString head(const QStringList &styleSheets)
{
    const QString base = QStringLiteral("\"") + appFileUrlBase();
    QString page = QStringLiteral("<!DOCTYPE html><html><head>"
                                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /> ");
    for (const QString &sheet : styleSheets)
        page += "<link href=" + base + sheet + "\" rel=\"stylesheet\" type=\"text/css\" > </link>";
    page += "<style type=\"text/css\"> " + readTextFile(QStringLiteral(":/css/maincss.css")) + " </style>";
    for (const char *script : {"js/jQuery.js", "js/popup.js", "js/swfobject.js"})
        page += "<script type=\"text/javascript\" src=" + base + QString::fromLatin1(script) + "\"></script>";
    page += "<script type=\"text/javascript\">" + readTextFile(QStringLiteral(":/js/mian.js")) + "</script>";
    return page;
}

// The first top-level question of a type, filled as the exam window's loader does.
std::unique_ptr<ExamQuestion> firstQuestionOfType(int type, int seq)
{
    auto question = std::make_unique<ExamQuestion>();
    QSqlQuery query(DbConnection::instance(QString(), true)->database());
    query.prepare(QStringLiteral("select * from exam_question where questionTypeid = :type "
                                 "and relationship = '' order by id limit 1"));
    query.bindValue(QStringLiteral(":type"), type);
    if (!query.exec() || !query.next())
        return nullptr;
    const QSqlRecord row = query.record();
    question->id = row.value("id").toString();
    question->type = type;
    question->title = row.value(type == 5 ? "title" : "titleImage").toString();
    QString *options[] = {&question->option1, &question->option2, &question->option3,
                          &question->option4, &question->option5};
    for (int i = 0; i < 5; ++i)
        *options[i] = row.value(QStringLiteral("option%1").arg(i + 1)).toString() + "<br/>";
    question->optionLength = row.value("optionLength").toInt();
    question->answer = row.value("answer").toString();
    question->analysis = row.value("analysis").toString();
    question->video = row.value("video").toString().trimmed();
    question->seq = seq;
    question->number = seq;
    return question;
}

} // namespace

QString questionPage()
{
    QString page = head({QStringLiteral("css/maincss.css"), QStringLiteral("css/welcss.css")});
    page += "<div class=\"title_01\"><div id=ca_1  class=\"\" > <p>一、单项选择题</p> </div></div> "
            "<div class=\"text_box\">";
    for (int type = 1; type <= 5; ++type) {
        std::unique_ptr<ExamQuestion> question = firstQuestionOfType(type, type);
        if (!question)
            continue;
        question->render(ExamQuestion::FormalPaper, appDirPath, QString());
        page += question->html + question->answerHtml;
    }
    return page + "</div></body> </html>";
}

QString questionStatesScript()
{
    return QStringLiteral(
        "$('#ti1_1_1').addClass('button_02');"
        "$('#ti2_2_0').addClass('button_04'); $('#ti2_2_2').addClass('button_04');"
        "$('#ti3_3_0').addClass('button_02');"
        "$('#wen_5_01').addClass('button_02');"
        "$('input[type=text]').first().val('二');"
        "p_wrong_right('div_ti1R_W','0'); p_wrong_right('div_ti2R_W','1');"
        "$('#div_da1').show(); $('#div_da2').show();");
}

QString resultsPopupScript()
{
    ExamPaper paper;
    paper.score = 62;
    paper.totalCent = 100;
    paper.passCent = 60;
    paper.examTime = 90;
    paper.startTime = QTime(9, 0, 0);
    paper.endTime = QTime(10, 12, 5);
    const struct {
        const char *name;
        int quantity, right, wrong, unanswered;
        double mark, score;
    } rows[] = {
        {"单项选择题", 20, 15, 4, 1, 20, 15},
        {"多项选择题", 10, 6, 3, 1, 20, 12},
        {"判断题", 10, 8, 2, 0, 10, 8},
        {"案例分析题", 6, 4, 2, 0, 30, 20},
    };
    for (const auto &r : rows) {
        auto section = std::make_unique<PaperSection>();
        section->bname = QString::fromUtf8(r.name);
        section->entryCount = r.quantity;
        section->quantity = r.quantity;
        section->rightCount = r.right;
        section->wrongCount = r.wrong;
        section->unansweredCount = r.unanswered;
        section->mark = r.mark;
        section->score = r.score;
        paper.addSection(std::move(section));
    }
    return ResultsPage::resultsCall(ResultsPage::build(paper, ExamQuestion::FormalPaper));
}

QString cardPage()
{
    QString page = head({QStringLiteral("css/mc.css")});
    const QString base = QStringLiteral("\"") + appFileUrlBase();
    page += "<style type=\"text/css\"> html{height:100%;} </style></head><body><div class=\"s_menu\">"
            "<br/><p align='center'><img src=" + base + "images/a1.png\"/>已答 <img src=" + base
            + "images/a2.png\"/>在答 <img src=" + base + "images/a3.png\"/>未答 </p> ";
    const auto section = [&page](const QString &title, const QStringList &labels, const QStringList &classes) {
        page += "<div class=\"s_menu1\"><h2 ><span>" + title + "</span></h2><div class=\"a_list\"  >";
        for (int i = 0; i < labels.size(); ++i)
            page += "<a href=\"javascript:void(0)\" class=\"" + classes.at(i) + "\" >" + labels.at(i) + "</a>";
        page += "<div class=\"clear\"></div></div> </div>";
    };
    section(QStringLiteral("第一部分（作答中）"),
            {"1", "2", "3", "4", "5", "6", "7", "8", "9.1", "9.2"},
            {"yico", "yico", "yico button_color", "zico", "wico", "wico", "yico", "wico", "yico", "wico"});
    section(QStringLiteral("第二部分（交卷后）"),
            {"10", "11", "12", "13", "14", "15.1", "15.2"},
            {"button_01 button_right", "button_01 button_wrong", "button_01 button_no_select",
             "button_01 button_right zico", "button_01 button_right yico", "button_01 button_wrong wico",
             "button_01 button_no_select"});
    return page + " </div> </body> </html>";
}

} // namespace PagePreview
