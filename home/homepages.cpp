#include "homepages.h"

#include "attemptstore.h"
#include "constants.h"
#include "dbconnection.h"
#include "masteryrule.h"
#include "pagetext.h"
#include "reviewstore.h"
#include "subjectscope.h"
#include "subjectstore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace {

const QString paperHeader = QStringLiteral(
    "<li class=\"bt_li\"><h4 class=\"mc\">考卷名称</h4><h4 class=\"sl\">正确数量</h4><h4 class=\"sl\">当前错题</h4></li>");
const QString wrongAnswerHeader = QStringLiteral(
    "<li class=\"bt_li\"><h4 class=\"mc\">考卷名称</h4> <h4 class=\"sl\">错题累计</h4></li>");
const QString favouritesHeader = QStringLiteral(
    "<li class=\"bt_li\"><h4 class=\"mc\">试题类型</h4> <h4 class=\"sl\">收藏累计</h4></li>");

const QString paperEntryOpening = QStringLiteral(
    "<li><h4 class=\"mc_h4 mc\"><span style=\"cursor:pointer;\"  onclick=\"showkaojuang('");
const QString wrongAnswerEntryOpening = QStringLiteral(
    "<li><h4 class=\"mc_h4 mc\"><span style=\"cursor:pointer;\"  onclick=\"showErrorPaper('");
const QString favouritesEntryOpening = QStringLiteral(
    "<li><h4 class=\"mc_h4 mc\"><span style=\"cursor:pointer;\"  onclick=\"showshoucang('");

const QString paperQuery = QStringLiteral(
    "select a.id as paperid, a.name, ifnull(b.allCount,0) as allCount, ifnull(b.rightCount,0) as rightCount, "
    "ifnull(b.worngCount,0) as worngCount FROM exam_paper a left join exam_answer b on a.id=b.paperid ");
const QString shippedPapersOnly = QStringLiteral("where a.id not in (select paperId from generated_paper)");
const QString mockPaperJoin = QStringLiteral("inner join t_dic_data c on a.paperTypeid=c.id where c.dtype=1");
const QString mockPaperOrder = QStringLiteral("  order by a.sortNo");
const QString wrongAnswerQuery = QStringLiteral(
    "select * from exam_paper where id in(select examid from error_answer) and paperTypeid in "
    "(select id from t_dic_data where  typekey='sjlx')");
const QString wrongAnswerOrder = QStringLiteral(" order by sortNo");
const QString wrongAnswerCountQuery = QStringLiteral(
    "select count(*) as num from  error_answer where examid=:examid");
// The favourites query in its parts: with a subject chosen, only the subject's
// favourites are counted and only its categories listed.
const QString favouritesSelect = QStringLiteral(
    "SELECT * from exam_dic_fuleixing a, (SELECT fuleixingid,count(fuleixingid) as totalCent from exam_Collect");
const QString favouritesGroup = QStringLiteral(" GROUP BY fuleixingid) b WHERE a.id = b.fuleixingid");
const QString favouritesOrder = QStringLiteral("  ORDER BY a.questionType");

DbConnection *connection()
{
    return DbConnection::instance(appDirPath, true);
}

QString script(const QString &resource)
{
    QString text = readTextFile(resource);
    // A library that ends in a line comment must not swallow the next one.
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    return text;
}

QString pageHead(bool startPage)
{
    const QString quotedBase = QLatin1Char('"') + appFileUrlBase();
    QString scripts = script(QStringLiteral(":/js/mian.js"));
    if (startPage)
        scripts += script(QStringLiteral(":/js/jijin.js"));
    return QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                          "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">")
        + QStringLiteral("<html > ")
        + QStringLiteral("<head> <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /> ")
        + QStringLiteral("<link href=") + quotedBase
        + QStringLiteral("css/maincss.css\" rel=\"stylesheet\" type=\"text/css\" > </link>")
        + QStringLiteral("<link href=") + quotedBase
        + QStringLiteral("css/welcss.css\" rel=\"stylesheet\" type=\"text/css\" > </link>")
        + QStringLiteral("<link href=") + quotedBase
        + QStringLiteral("css/jijin.css\" rel=\"stylesheet\" type=\"text/css\" > </link>")
        + QStringLiteral("<script type=\"text/javascript\" src=") + quotedBase
        + QStringLiteral("js/jQuery.js\"></script>")
        + QStringLiteral("<script type=\"text/javascript\" src=") + quotedBase
        + QStringLiteral("js/popup.js\"></script>")
        + QStringLiteral("<script type=\"text/javascript\">") + scripts + QStringLiteral("</script>")
        + QStringLiteral("<style type=\"text/css\">")
        + QStringLiteral("td ,p { background-color:#FFFFFF;font-family:\"宋体\";}")
        + QStringLiteral(".con_div{ height:500px; width=800px; text-align:center; display:table-cell; vertical-align:middle; }")
        + QStringLiteral("</style>")
        + (startPage ? QStringLiteral("</head><body >") : QStringLiteral("</head><body>"));
}

// One list entry: the key goes into a single-quoted script string inside the
// double-quoted onclick attribute and is escaped for it; the name is bank
// markup and is shown as such.
QString listEntry(const QString &opening, const QString &key, const QString &name,
                  const QStringList &counts)
{
    return opening + jsEscapeInAttribute(key) + QStringLiteral("');\">") + name
        + QStringLiteral("</span></h4><span class=\"sl\">")
        + counts.join(QStringLiteral("</span><span class=\"sl\">")) + QStringLiteral("</span></li>");
}

QString listPage(const QString &header, const QString &entries)
{
    return pageHead(false) + QStringLiteral("<div class=\"con\"> <div class=\"con_box2\"> <ul>") + header
        + entries + QStringLiteral(" </ul> </div> </div> </body> </html>");
}

// The entries of a list, one per row of sql: every row, not a first batch. A
// query that fails gives an empty list.
QString entriesOf(const QString &sql, const SubjectScope &scope,
                  const std::function<QString(const QSqlQuery &)> &entry)
{
    QSqlQuery query(connection()->database());
    query.setForwardOnly(true);
    QString entries;
    if (!query.prepare(sql))
        return entries;
    scope.bind(query);
    if (!query.exec())
        return entries;
    while (query.next())
        entries += entry(query);
    return entries;
}

// The entries of the two paper lists; a paper with an unfinished run is
// marked so.
QString paperEntries(const QString &sql, const SubjectScope &scope)
{
    const QSet<QString> unfinished = AttemptStore::unfinishedPapers(connection()->database());
    return entriesOf(sql, scope, [&unfinished](const QSqlQuery &row) {
        const QString id = row.value(QStringLiteral("paperid")).toString();
        QString name = row.value(QStringLiteral("name")).toString();
        if (unfinished.contains(id))
            name += QStringLiteral("<em class=\"unfinished\">未完成</em>");
        return listEntry(paperEntryOpening, id, name,
                         {row.value(QStringLiteral("rightCount")).toString(),
                          row.value(QStringLiteral("worngCount")).toString()});
    });
}

QString wrongAnswerCount(const QString &paperId)
{
    QSqlQuery query(connection()->database());
    query.prepare(wrongAnswerCountQuery);
    query.bindValue(QStringLiteral(":examid"), paperId);
    if (!query.exec() || !query.next())
        return QStringLiteral("0");
    return query.value(QStringLiteral("num")).toString();
}

// A row above a list's entries with links that call the home form.
QString listTools(const QStringList &links)
{
    return QStringLiteral("<li class=\"list_tools\">") + links.join(QString()) + QStringLiteral("</li>");
}

// The row of a list with nothing in it: says so and what fills it.
QString emptyEntry(const QString &what, const QString &fillsIt)
{
    return QStringLiteral("<li class=\"empty_li\"><b>") + what + QStringLiteral("</b>") + fillsIt + QStringLiteral("</li>");
}

QString toolLink(const QString &call, const QString &label)
{
    return QStringLiteral("<a href=\"javascript:") + call + QStringLiteral("\">") + label + QStringLiteral("</a>");
}

// A question as the study lists show it: case-study material first, then the
// stem (the essay's text stem, the picture stem of the others).
const QString studyQuestionQuery = QStringLiteral(
    "select q.questionTypeid, q.title, q.titleImage, q.answer, q.analysis, ifnull(p.title,'') as material "
    "from exam_question q left join exam_question p on p.id=q.relationship and ifnull(q.relationship,'')<>'' "
    "where q.id=:id");

struct StudyQuestion
{
    QString stem;
    QString answer;
    QString analysis;
};

StudyQuestion studyQuestion(const QString &questionId)
{
    QSqlQuery query(connection()->database());
    query.prepare(studyQuestionQuery);
    query.bindValue(QStringLiteral(":id"), questionId);
    if (!query.exec() || !query.next())
        return {questionId.toHtmlEscaped(), QString(), QString()};
    const bool essay = query.value(0).toInt() == 5;
    QString stem = query.value(essay ? 1 : 2).toString();
    const QString material = query.value(5).toString();
    if (!material.isEmpty())
        stem = material + QStringLiteral("<br/>") + stem;
    return {stem, query.value(3).toString(), query.value(4).toString()};
}

// The start page's action row: one link per action, the key escaped for its
// script string; labels, badges and hints are the program's own texts.
QString actionRow(const HomeActions &actions)
{
    if (actions.isEmpty())
        return QString();
    QString row = QStringLiteral("<div class='home_tools'>");
    for (const HomeAction &action : actions) {
        row += QStringLiteral("<a class='home_tool' title=\"") + action.hint.toHtmlEscaped()
            + QStringLiteral("\" href=\"javascript:homeAction('") + jsEscapeInAttribute(action.key)
            + QStringLiteral("');\">") + action.label.toHtmlEscaped();
        if (!action.badge.isEmpty())
            row += QStringLiteral("<span class='badge'>") + action.badge.toHtmlEscaped() + QStringLiteral("</span>");
        row += QStringLiteral("</a>");
    }
    return row + QStringLiteral("</div>");
}

} // namespace

QString HomePages::startPage(const HomeActions &actions)
{
    if (!connection()->opened)
        return QString();
    const QString base = appFileUrlBase();

    QString title = SubjectStore::currentSubjectName();
    if (title.isEmpty())
        title = QStringLiteral("你还未选择学习科目");
    if (SubjectStore::subjectCount() > 1)
        title += QStringLiteral("<a class='switch_subject' href='javascript:switchSubject();'>切换科目</a>");

    return pageHead(true)
        + QStringLiteral("<div class=\"con\"> <div class=\"con_box\"> <div><p class='top_p'>") + title
        + QStringLiteral("</p></div><ul><li><a aria-label='试卷' href='javascript:zhenti();' onmouseout='MM_swapImgRestore()' "
                         "onmouseover=\"MM_swapImage('Image2','','") + base
        + QStringLiteral("images/index12.png',1)\"> <img src='") + base
        + QStringLiteral("images/index11.png' name='Image2' width='198' height='177' border='0' id='Image2' /></a></li>"
                         "<li><a aria-label='错题本' href='javascript:cuoti();' onmouseout='MM_swapImgRestore()' "
                         "onmouseover=\"MM_swapImage('Image4','','") + base
        + QStringLiteral("images/index22.png',1)\"> <img src='") + base
        + QStringLiteral("images/index21.png' name='Image4' width='198' height='177' border='0' id='Image4' /></a></li>"
                         "<li><a aria-label='我的收藏' href='javascript:shoucang();' onmouseout='MM_swapImgRestore()' "
                         "onmouseover=\"MM_swapImage('Image3','','") + base
        + QStringLiteral("images/index32.png',1)\"> <img src='") + base
        + QStringLiteral("images/index31.png' name='Image3' width='198' height='177' border='0' id='Image3' /></a></li>"
                         "<li><a aria-label='搜索题目' href='javascript:soti();' onmouseout='MM_swapImgRestore()' "
                         "onmouseover=\"MM_swapImage('Image5','','") + base
        + QStringLiteral("images/index42.png',1)\"> <img src='") + base
        + QStringLiteral("images/index41.png' name='Image5' width='198' height='177' border='0' id='Image5' /></a></li>"
                         "</ul>")
        + actionRow(actions)
        + QStringLiteral(" <p class=\"s_p\">真实模拟上机考试环境，界内最方便实用的考试系统。</p>"
                         "<a class='daily' href='javascript:meiriyilian();' title='每日一练：今天的十道题'><img src='")
        + base
        + QStringLiteral("images/wechart.png' height='160px' width='140px' style='float:right'/></a> </div></div></body></html>");
}

QString HomePages::paperList()
{
    if (!connection()->opened)
        return QString();
    const SubjectScope scope = SubjectScope::current();
    // Drawn papers have a list of their own.
    return listPage(paperHeader, paperEntries(paperQuery + shippedPapersOnly + scope.andClause(QStringLiteral("a.subjectId")),
                                              scope));
}

QString HomePages::mockPaperList()
{
    if (!connection()->opened)
        return QString();
    const SubjectScope scope = SubjectScope::current();
    return listPage(paperHeader,
                    paperEntries(paperQuery + mockPaperJoin + scope.andClause(QStringLiteral("a.subjectId"))
                                     + mockPaperOrder,
                                 scope));
}

QString HomePages::wrongAnswerList()
{
    if (!connection()->opened)
        return QString();
    const SubjectScope scope = SubjectScope::current();
    const QString sql = wrongAnswerQuery + scope.andClause(QStringLiteral("subjectId")) + wrongAnswerOrder;
    const QString entries = entriesOf(sql, scope, [](const QSqlQuery &row) {
        const QString id = row.value(QStringLiteral("id")).toString();
        return listEntry(wrongAnswerEntryOpening, id, row.value(QStringLiteral("name")).toString(),
                         {wrongAnswerCount(id)});
    });
    return listPage(wrongAnswerHeader, entries);
}

QString HomePages::favouritesList()
{
    if (!connection()->opened)
        return QString();
    const SubjectScope scope = SubjectScope::current();
    QString sql = favouritesSelect;
    if (scope.filters())
        sql += QStringLiteral(" where questionid in (select id from exam_question")
            + scope.whereClause(QStringLiteral("subjectid")) + QLatin1Char(')');
    sql += favouritesGroup + scope.andClause(QStringLiteral("a.subjectid")) + favouritesOrder;
    const QString entries = entriesOf(sql, scope, [](const QSqlQuery &row) {
        return listEntry(favouritesEntryOpening, row.value(QStringLiteral("fuleixingid")).toString(),
                         row.value(QStringLiteral("name")).toString(),
                         {row.value(QStringLiteral("totalCent")).toString()});
    });
    return listPage(favouritesHeader, entries);
}

QString HomePages::wrongPracticeId(const QString &paperId)
{
    // Members in the order the exam window expects: "itype" before "paperid"
    // (QJsonObject writes its keys sorted, which gives exactly this order).
    QJsonObject practice;
    practice.insert(QStringLiteral("itype"), QStringLiteral("2"));
    practice.insert(QStringLiteral("paperid"), paperId);
    return QString::fromUtf8(QJsonDocument(QJsonArray{practice}).toJson(QJsonDocument::Compact));
}

// A list of papers that can be deleted one by one: the papers of the current
// subject among the given ids, newest first, each with a link to removeSlot.
QString HomePages::removablePaperList(const QString &idsQuery, const QString &removeSlot, const QString &tools)
{
    if (!connection()->opened)
        return QString();
    const SubjectScope scope = SubjectScope::current();
    const QString sql = paperQuery + QStringLiteral("where a.id in (") + idsQuery + QStringLiteral(")")
        + scope.andClause(QStringLiteral("a.subjectId")) + QStringLiteral(" order by a.sortNo desc");
    const QString entries = entriesOf(sql, scope, [&removeSlot](const QSqlQuery &row) {
        const QString id = jsEscapeInAttribute(row.value(QStringLiteral("paperid")).toString());
        return paperEntryOpening + id + QStringLiteral("');\">") + row.value(QStringLiteral("name")).toString().toHtmlEscaped()
            + QStringLiteral("</span><a class=\"remove_link\" href=\"javascript:myjstest.") + removeSlot
            + QStringLiteral("('") + id + QStringLiteral("');\">删除</a></h4><span class=\"sl\">")
            + row.value(QStringLiteral("rightCount")).toString() + QStringLiteral("</span><span class=\"sl\">")
            + row.value(QStringLiteral("worngCount")).toString() + QStringLiteral("</span></li>");
    });
    return listPage(paperHeader + tools, entries);
}

QString HomePages::generatedPaperList()
{
    return removablePaperList(QStringLiteral("select paperId from generated_paper"), QStringLiteral("deleteGeneratedPaper"),
                              listTools({toolLink(QStringLiteral("myjstest.homeAction('draw');"),
                                                  QStringLiteral("＋ 按模拟试卷的题型组一套新试卷"))}));
}

QString HomePages::importedPaperList()
{
    return removablePaperList(QStringLiteral("select paperId from import_paper"), QStringLiteral("deleteImportedPaper"),
                              listTools({toolLink(QStringLiteral("myjstest.homeAction('importBank');"),
                                                  QStringLiteral("＋ 从文件导入一套试卷"))}));
}

QString HomePages::stubbornList()
{
    if (!connection()->opened)
        return QString();
    QString entries;
    const QVector<ReviewCard> book = ReviewStore::bookCards(connection()->database(), SubjectScope::current());
    for (const ReviewCard &card : ReviewStore::stubbornCards(book)) {
        const StudyQuestion question = studyQuestion(card.questionId);
        entries += QStringLiteral("<li class=\"study_li\"><h4 class=\"mc\">") + question.stem
            + QStringLiteral("</h4><span class=\"sl\">") + QString::number(card.lapses)
            + QStringLiteral("</span><div class=\"study_explain\"><b>正确答案：</b>") + question.answer.toHtmlEscaped()
            + QStringLiteral("<br/><b>解析：</b>") + question.analysis + QStringLiteral("</div></li>");
    }
    const QString header = QStringLiteral(
        "<li class=\"bt_li\"><h4 class=\"mc\">顽固错题：先读懂解析，再动手练习</h4><h4 class=\"sl\">答错次数</h4></li>");
    if (entries.isEmpty())
        return listPage(header,
                        emptyEntry(QStringLiteral("暂无顽固错题。"),
                                   QStringLiteral("错题本里答错 %1 次以上的题会列在这里。").arg(MasteryRule::stubbornLapses)));
    return listPage(header + listTools({toolLink(QStringLiteral("myjstest.practiseList('stubborn');"),
                                                 QStringLiteral("练习这些题"))}),
                    entries);
}

QString HomePages::notesList(const QString &words)
{
    if (!connection()->opened)
        return QString();
    return notesPage(NoteStore::search(connection()->database(), SubjectScope::current(), words), words);
}

QString HomePages::notesPage(const QVector<NoteEntry> &entries, const QString &words)
{
    const QString search = QStringLiteral("myjstest.searchNotes(document.getElementById('note_words').value)");
    QString header = QStringLiteral(
        "<li class=\"list_tools\"><style type=\"text/css\">"
        ".note_words { width: 240px; margin-right: 10px; padding: 3px 6px; font-size: 14px; } "
        ".note_start { margin-top: 4px; color: #4b2f7d; font-weight: normal; font-size: 14px; }</style>"
        "<input type=\"text\" id=\"note_words\" class=\"note_words\" "
        "placeholder=\"笔记里的字词\" value=\"")
        + words.toHtmlEscaped()
        + QStringLiteral("\" onkeydown=\"if (event.keyCode === 13) ") + search + QStringLiteral(";\"/>")
        + toolLink(search, QStringLiteral("搜索笔记"));
    if (!words.trimmed().isEmpty())
        header += toolLink(QStringLiteral("myjstest.searchNotes('');"), QStringLiteral("全部笔记"));
    if (!entries.isEmpty())
        header += toolLink(QStringLiteral("myjstest.practiseNotes(document.getElementById('note_words').value)"),
                           QStringLiteral("练习这些题"));
    header += QStringLiteral("</li><li class=\"bt_li\"><h4 class=\"mc\">我的笔记：点击一行练习这道题</h4>"
                             "<h4 class=\"sl\">修改日期</h4></li>");
    QString rows;
    for (const NoteEntry &entry : entries) {
        rows += QStringLiteral("<li class=\"study_li note_li\"><h4 class=\"mc\"><a href=\"javascript:myjstest.practiseNote('")
            + jsEscapeInAttribute(entry.questionId) + QStringLiteral("')\">") + entry.stemStart.toHtmlEscaped()
            + QStringLiteral("</a><div class=\"note_start\">") + entry.noteStart.toHtmlEscaped()
            + QStringLiteral("</div></h4><span class=\"sl\">")
            + entry.changedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral("</span></li>");
    }
    if (rows.isEmpty())
        rows = words.trimmed().isEmpty()
            ? emptyEntry(QStringLiteral("还没有笔记。"),
                         QStringLiteral("练习、复习或查看交卷结果时，点题目旁的“笔记”按钮即可写下笔记。"))
            : emptyEntry(QStringLiteral("没有找到含这些字词的笔记。"), QString());
    return listPage(header, rows);
}

QString HomePages::masteredList()
{
    if (!connection()->opened)
        return QString();
    const SubjectScope scope = SubjectScope::current();
    const QString sql = QStringLiteral("select m.questionId, m.masteredOn, ifnull(c.due,'') as due from mastered_question m "
                                       "left join review_card c on c.questionId=m.questionId")
        + scope.whereClause(QStringLiteral("m.subjectId")) + QStringLiteral(" order by m.masteredOn desc, m.questionId");
    const QString entries = entriesOf(sql, scope, [](const QSqlQuery &row) {
        return QStringLiteral("<li class=\"study_li\"><h4 class=\"mc\">")
            + studyQuestion(row.value(0).toString()).stem + QStringLiteral("</h4><span class=\"sl\">")
            + row.value(1).toString().toHtmlEscaped() + QStringLiteral("</span><span class=\"sl\">")
            + row.value(2).toString().toHtmlEscaped() + QStringLiteral("</span></li>");
    });
    const QString header = QStringLiteral(
        "<li class=\"bt_li\"><h4 class=\"mc\">已掌握：再答错一次即回到错题本</h4><h4 class=\"sl\">掌握日期</h4>"
        "<h4 class=\"sl\">下次复习</h4></li>");
    if (entries.isEmpty())
        return listPage(header, emptyEntry(QStringLiteral("暂无已掌握的题。"),
                                           QStringLiteral("错题本里的题复习时一再答对、记得足够牢后，会移到这里。")));
    return listPage(header + listTools({toolLink(QStringLiteral("myjstest.practiseList('mastered');"),
                                                 QStringLiteral("练习这些题"))}),
                    entries);
}
