#include "progresspages.h"

#include "answersheet.h"
#include "pagetext.h"
#include "resultspage.h"
#include "statisticsfigures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// In the program's palette and faces (as css/maincss.css): a white sheet with
// the lists' header strip, striped rows and pill links. Colours that change
// with the night theme are the variables of css/theme.css.
const QString style = QStringLiteral(
    "body{margin:0;padding:18px 28px;font-family:'宋体','Noto Sans CJK SC',sans-serif;font-size:14px;color:var(--ink);"
    "background:var(--tint-soft);}"
    "h2,h3{font-family:'黑体','Noto Sans CJK SC',sans-serif;color:var(--ink-strong);}"
    "h2{margin:0 0 12px;font-size:20px;}"
    "h3{margin:18px 0 6px;font-size:15px;}"
    ".summary{margin:0 0 10px;color:var(--muted);}"
    ".empty{padding:40px 0;text-align:center;color:var(--muted);font-size:16px;}"
    "a.pill,.empty a{display:inline-block;padding:2px 14px;border:1px solid var(--line-strong);border-radius:14px;"
    "color:var(--ink-strong);background:var(--paper);text-decoration:none;}"
    "a.pill:hover,.empty a:hover{border-color:#f39c12;color:#d35400;}"
    ".chart_empty a{color:#d35400;}"
    // The charts measure their labels in their own text size: the page's
    // taller lines made the labels' boxes overlap and hid them.
    ".chart{width:760px;height:220px;line-height:1.2;font-size:12px;}"
    ".chart_empty{margin:6px 0 12px;color:var(--muted);}"
    ".legend{margin:4px 0 0 40px;font-size:12px;color:var(--muted);}"
    ".legend .key{margin-right:16px;white-space:nowrap;}"
    ".legend i{display:inline-block;width:10px;height:10px;margin-right:4px;vertical-align:-1px;}"
    "table.history{border-collapse:separate;border-spacing:0;width:100%;background:var(--paper);border:1px solid var(--line);"
    "border-radius:8px;box-shadow:0 2px 10px rgba(31,98,114,0.10);}"
    "table.history th{background:#6bb6c6;background:linear-gradient(#7ebfcc,#5aaebf);color:#fff;font-weight:bold;"
    "padding:10px 12px;text-align:left;letter-spacing:1px;}"
    "table.history td{border-bottom:1px solid var(--tint);padding:9px 12px;white-space:nowrap;}"
    "table.history td.paper{white-space:normal;}"
    "table.history tr.attempt:nth-child(odd) td{background:var(--tint-soft);}"
    "table.history tr.attempt{cursor:pointer;}"
    "table.history tr.attempt:hover td{background:var(--tint);}"
    "table.history tr:last-child td{border-bottom:0;}"
    ".passed{color:#3aa657;font-weight:bold;}.failed{color:#d9483b;font-weight:bold;}"
    "table.strip{border-collapse:separate;border-spacing:3px;}"
    "table.strip td{width:14px;height:14px;background:var(--tint);}"
    "table.strip td.d1{background:var(--line);}table.strip td.d2{background:var(--line-strong);}"
    "table.strip td.d3{background:#2c7f8f;}table.strip td.future{background:transparent;}"
    "table.strip th{font-weight:normal;font-size:11px;color:var(--muted);text-align:right;padding-right:4px;}");

// The page scripts: calls into the home form.
const QString bridgeScript = QStringLiteral(
    "function openHistory(id){myjstest.openHistoryAttempt(id);}"
    "function zhenti(){myjstest.zhentiJS();}");

QString head(const QString &extraScripts)
{
    const QString base = appFileUrlBase();
    return QStringLiteral("<!DOCTYPE html><html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />"
                          "<style type=\"text/css\">")
        + style + QStringLiteral("</style><script type=\"text/javascript\" src=\"") + base
        + QStringLiteral("js/jQuery.js\"></script>") + extraScripts
        + QStringLiteral("<script type=\"text/javascript\">") + bridgeScript
        + QStringLiteral("</script></head><body>");
}

QString emptyPage(const QString &title)
{
    return head(QString()) + QStringLiteral("<h2>") + title + QStringLiteral("</h2><p class=\"empty\">")
        + ProgressPages::emptyText()
        + QStringLiteral("<br/><br/><a href=\"javascript:zhenti();\">去做试卷</a></p></body></html>");
}

QString minutes(int seconds)
{
    return QString::number((seconds + 30) / 60) + QStringLiteral("分钟");
}

QString historyRow(const HistoryRecord &record)
{
    const bool passed = record.score >= record.passCent;
    return QStringLiteral("<tr class=\"attempt\" onclick=\"openHistory('") + QString::number(record.id)
        + QStringLiteral("');\"><td>") + record.handedInAt.toString(QStringLiteral("yyyy-MM-dd HH:mm"))
        + QStringLiteral("</td><td class=\"paper\">") + record.paperName + QStringLiteral("</td><td class=\"")
        + (passed ? QStringLiteral("passed") : QStringLiteral("failed")) + QStringLiteral("\">")
        + AnswerSheet::number(record.score) + QStringLiteral(" / ") + AnswerSheet::number(record.totalCent)
        + QStringLiteral("</td><td>") + ResultsPage::clockText(record.useSecond) + QStringLiteral("</td><td>")
        + QStringLiteral("%1 / %2 / %3").arg(record.rightCount).arg(record.wrongCount).arg(record.unansweredCount)
        // The row's click opens the attempt, also from the link (once) and by the keyboard.
        + QStringLiteral("</td><td><a class=\"pill\" href=\"javascript:void(0);\">查看</a></td></tr>");
}

QJsonArray accuracyJson(const QVector<StatisticsFigures::Accuracy> &groups)
{
    QJsonArray list;
    for (const auto &group : groups)
        list.append(QJsonObject{{QStringLiteral("name"), group.name},
                                {QStringLiteral("percent"), qRound(group.percent() * 10) / 10.0},
                                {QStringLiteral("right"), group.right},
                                {QStringLiteral("total"), group.total}});
    return list;
}

QJsonObject figuresJson(const StatisticsFigures &figures)
{
    QJsonArray scores;
    for (const auto &series : figures.scores) {
        QJsonArray percents;
        for (double percent : series.percents)
            percents.append(qRound(percent * 10) / 10.0);
        scores.append(QJsonObject{{QStringLiteral("name"), series.paperName}, {QStringLiteral("percents"), percents}});
    }
    QJsonArray times;
    for (const auto &time : figures.times)
        times.append(QJsonObject{{QStringLiteral("day"), time.handedInAt.toString(QStringLiteral("MM-dd"))},
                                 {QStringLiteral("used"), qRound(time.usedSecond / 6.0) / 10.0},
                                 {QStringLiteral("allowed"), qRound(time.allowedSecond / 6.0) / 10.0}});
    QJsonArray book;
    for (const auto &size : figures.book)
        book.append(QJsonObject{{QStringLiteral("day"), size.at.toString(QStringLiteral("MM-dd"))},
                                {QStringLiteral("count"), size.count}});
    return QJsonObject{{QStringLiteral("scores"), scores},
                       {QStringLiteral("types"), accuracyJson(figures.byType)},
                       {QStringLiteral("chapters"), accuracyJson(figures.byChapter)},
                       {QStringLiteral("times"), times},
                       {QStringLiteral("book"), book}};
}

// The calendar strip: one column per week, Monday at the top.
QString calendarStrip(const StatisticsFigures &figures)
{
    static const QStringList weekdays{QStringLiteral("一"), QString(), QStringLiteral("三"), QString(),
                                      QStringLiteral("五"), QString(), QStringLiteral("日")};
    QString rows;
    for (int weekday = 0; weekday < 7; ++weekday) {
        rows += QStringLiteral("<tr><th>") + weekdays.at(weekday) + QStringLiteral("</th>");
        for (int i = weekday; i < figures.days.size() + 7; i += 7) {
            if (i >= figures.days.size()) {
                rows += QStringLiteral("<td class=\"future\"></td>");
                continue;
            }
            const auto &day = figures.days.at(i);
            rows += QStringLiteral("<td class=\"d%1\" title=\"%2：交卷%3次\"></td>")
                        .arg(qMin(day.handIns, 3))
                        .arg(day.date.toString(QStringLiteral("yyyy-MM-dd")))
                        .arg(day.handIns);
        }
        rows += QStringLiteral("</tr>");
    }
    return QStringLiteral("<table class=\"strip\">") + rows + QStringLiteral("</table>");
}

// A chart's place: the drawing area, or the line saying how to fill it.
QString chartBlock(const QString &title, const QString &id, bool hasData, const QString &emptyHint)
{
    return QStringLiteral("<h3>") + title + QStringLiteral("</h3>")
        + (hasData ? QStringLiteral("<div class=\"chart\" id=\"") + id + QStringLiteral("\"></div>")
                   : QStringLiteral("<p class=\"chart_empty\">") + emptyHint + QStringLiteral("</p>"));
}

// Draws every chart whose place is on the page, with legends of its own (the
// web views draw flot's own legend badly). Plain ES5 for the web views.
const QString chartScript = QStringLiteral(
    "var palette=['#2c7f8f','#d35400','#8e44ad','#27ae60','#c0392b','#f39c12','#7f8c8d'];"
    "var grid={borderWidth:1,borderColor:'#ccc',margin:{left:8,top:8,right:16}};"
    "function percent(v){return v+'%';}"
    "function ticksOf(list,key){var t=[];for(var i=0;i<list.length;i++){t.push([i,list[i][key]]);}return t;}"
    // One slot per entry, and room for at least six: one or two entries get a
    // labelled slot each rather than the whole width. The room is made by an
    // unseen series at both ends (fixed axis ends left the labels undrawn).
    "function slots(list,key){var t=ticksOf(list,key);for(var i=t.length;i<6;i++){t.push([i,' ']);}return {ticks:t};}"
    "function room(first,last){return {data:[[first,0],[last,0]],lines:{show:false},points:{show:false},bars:{show:false},color:'rgba(0,0,0,0)'};}"
    // Counts are whole numbers: no tick between two of them.
    "var countAxis={min:0,tickDecimals:0,minTickSize:1};"
    // Room for the longest label, measured in the chart's own font.
    "function labelRoom(id,labels){var m=$('<span></span>').css({position:'absolute',visibility:'hidden','white-space':'nowrap',"
    " font:$('#'+id).css('font')}).appendTo('body');var w=0;"
    " for(var i=0;i<labels.length;i++){m.text(labels[i]);w=Math.max(w,m.width());}m.remove();return Math.ceil(w)+12;}"
    "function legend(id,series){var h='';for(var i=0;i<series.length;i++){"
    " h+='<span class=\\'key\\'><i style=\\'background:'+series[i].color+'\\'></i>'+series[i].label+'</span>';}"
    " $('#'+id).after('<div class=\\'legend\\'>'+h+'</div>');}"
    "function drawAccuracy(id,groups){if(!$('#'+id).length)return;var d=[],t=[],names=[];"
    " for(var i=0;i<groups.length;i++){var y=groups.length-1-i;d.push([groups[i].percent,y]);"
    " var name=groups[i].name+' '+groups[i].right+'/'+groups[i].total;t.push([y,name]);names.push(name);}"
    " $('#'+id).css('height',Math.max(100,groups.length*28+40)+'px');"
    " $.plot('#'+id,[{data:d,color:'#7ebfcc'}],{series:{bars:{show:true,horizontal:true,barWidth:0.6,align:'center',fill:0.9}},"
    " xaxis:{min:0,max:100,autoScale:'none',tickFormatter:percent},"
    " yaxis:{ticks:t,autoScale:'none',min:-0.5,max:groups.length-0.5,labelWidth:labelRoom(id,names)},grid:grid});}"
    "$(function(){"
    "var f=figures;"
    "if($('#scores').length){var s=[],n=0;for(var i=0;i<f.scores.length;i++){var d=[];"
    " for(var k=0;k<f.scores[i].percents.length;k++){d.push([k+1,f.scores[i].percents[k]]);}"
    " n=Math.max(n,d.length);s.push({label:f.scores[i].name,data:d,color:palette[i%palette.length]});}"
    " var tries=[];for(var k=1;k<=Math.max(n,6);k++){tries.push([k,k<=n?'第'+k+'次':' ']);}"
    " $.plot('#scores',s.concat([room(0.5,Math.max(n,6)+0.5)]),{series:{lines:{show:true},points:{show:true}},legend:{show:false},"
    " yaxis:{min:0,max:100,autoScale:'none',tickFormatter:percent},"
    " xaxis:{ticks:tries},grid:grid});"
    " legend('scores',s);}"
    "drawAccuracy('types',f.types);drawAccuracy('chapters',f.chapters);"
    "if($('#times').length){var used=[],allowed=[];for(var i=0;i<f.times.length;i++){used.push([i,f.times[i].used]);allowed.push([i,f.times[i].allowed]);}"
    " var ts=[{label:'用时（分钟）',data:used,color:'#7ebfcc',bars:{show:true,barWidth:0.6,align:'center',fill:0.9}},"
    " {label:'规定时间（分钟）',data:allowed,color:'#d35400',lines:{show:true},points:{show:true}}];"
    " $.plot('#times',ts.concat([room(-0.5,Math.max(f.times.length,6)-0.5)]),{legend:{show:false},xaxis:slots(f.times,'day'),yaxis:{min:0},grid:grid});legend('times',ts);}"
    "if($('#book').length){var b=[];for(var i=0;i<f.book.length;i++){b.push([i,f.book[i].count]);}"
    " $.plot('#book',[{data:b,color:'#c0392b',lines:{show:true,fill:0.15},points:{show:true}},room(-0.5,Math.max(f.book.length,6)-0.5)],"
    " {xaxis:slots(f.book,'day'),yaxis:countAxis,grid:grid});}"
    "});");

} // namespace

QString ProgressPages::emptyText()
{
    return QStringLiteral("还没有成绩记录，先做一套试卷吧");
}

QString ProgressPages::historyPage(const QVector<HistoryRecord> &records)
{
    const QString title = QStringLiteral("成绩记录");
    if (records.isEmpty())
        return emptyPage(title);
    QString rows;
    for (const HistoryRecord &record : records)
        rows += historyRow(record);
    return head(QString()) + QStringLiteral("<h2>") + title + QStringLiteral("</h2><p class=\"summary\">共")
        + QString::number(records.size())
        + QStringLiteral("次交卷，点击一行查看当次的答案与评分。</p><table class=\"history\"><tr><th>交卷时间</th>"
                         "<th>试卷</th><th>得分 / 总分</th><th>用时</th><th>答对 / 答错 / 未答</th><th></th></tr>")
        + rows + QStringLiteral("</table></body></html>");
}

QString ProgressPages::statisticsPage(const StatisticsFigures &figures)
{
    const QString title = QStringLiteral("学习统计");
    if (figures.handIns == 0)
        return emptyPage(title);
    // The figures travel inside a script element: "</" must not end it.
    QString json = QString::fromUtf8(QJsonDocument(figuresJson(figures)).toJson(QJsonDocument::Compact));
    json.replace(QStringLiteral("</"), QStringLiteral("<\\/"));
    const QString scripts = QStringLiteral("<script type=\"text/javascript\" src=\"") + appFileUrlBase()
        + QStringLiteral("js/jquery.flot.js\"></script><script type=\"text/javascript\">var figures=") + json
        + QStringLiteral(";") + chartScript + QStringLiteral("</script>");
    const QString handInHint = QStringLiteral("交卷后这里会显示");
    return head(scripts) + QStringLiteral("<h2>") + title + QStringLiteral("</h2><p class=\"summary\">共交卷")
        + QString::number(figures.handIns) + QStringLiteral("次，练习") + QString::number(figures.daysPractised)
        + QStringLiteral("天。</p>")
        + chartBlock(QStringLiteral("各试卷得分率"), QStringLiteral("scores"), !figures.scores.isEmpty(), QString())
        + chartBlock(QStringLiteral("各题型正确率（由弱到强）"), QStringLiteral("types"), !figures.byType.isEmpty(),
                     handInHint + QStringLiteral("各题型的正确率"))
        + chartBlock(QStringLiteral("各章节正确率（由弱到强）"), QStringLiteral("chapters"),
                     !figures.byChapter.isEmpty(), handInHint + QStringLiteral("各章节的正确率"))
        + chartBlock(QStringLiteral("用时与规定时间"), QStringLiteral("times"), !figures.times.isEmpty(),
                     QStringLiteral("限时试卷交卷后这里会显示用时"))
        + chartBlock(QStringLiteral("错题本题数"), QStringLiteral("book"), !figures.book.isEmpty(),
                     handInHint + QStringLiteral("错题本的变化"))
        + QStringLiteral("<h3>练习日历（近%1周）</h3>").arg(StatisticsFigures::calendarWeeks)
        + calendarStrip(figures) + QStringLiteral("</body></html>");
}
