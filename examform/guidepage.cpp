#include "guidepage.h"

#include <QStringList>

namespace {

// A numbered mark on the picture, at the top left corner of the part it
// names (as a share of the picture's width and height, so it stays put
// whatever the page's width), and what that part does.
struct Mark
{
    double left;
    double top;
    const char *title;
    const char *text;
};

const Mark marks[] = {
    {0.012, 0.148, "考生信息", "核对考场、场次、姓名和准考证号。"},
    {0.028, 0.276, "试题区", "一次显示一道题：点击选项作答，填空题直接输入，简答题写在框内。"},
    {0.728, 0.205, "时间与进度", "剩余时间、总题数、已答和剩余题数，进度条随作答增长；时间用完自动交卷。"},
    {0.72, 0.376, "标记与答题卡", "勾选“标记本题”标出要再检查的题，答题卡上该题号带红角；每个题号一个方块：已答、在答、未答颜色不同，点击题号直接跳到该题。"},
    {0.173, 0.935, "上一题 / 下一题", "按顺序切换试题，也可按键盘的 ← 和 →。"},
    {0.395, 0.935, "计算器", "打开系统计算器，考试中可随时使用。"},
    {0.507, 0.935, "收藏", "把这道题加入“我的收藏”，以后可在首页分类练习。"},
    {0.618, 0.935, "帮助", "查看操作说明和各题型的答题方法。"},
    {0.884, 0.935, "交卷", "确认后交卷：未答和标记的题会先列出来，交卷后显示成绩，可查看答案或重新答题。"},
};

const QStringList keys{
    QStringLiteral("<b>A</b>–<b>Z</b>：选择对应字母的选项，再按一次取消多选题的该项"),
    QStringLiteral("<b>→</b> 下一题，<b>←</b> 上一题"),
    QStringLiteral("<b>2</b> 计算器，<b>3</b> 帮助，<b>4</b> 交卷"),
};

QString percent(double share)
{
    return QString::number(share * 100.0, 'f', 1) + QLatin1Char('%');
}

} // namespace

QString GuidePage::html(const QString &fileBase)
{
    QString picture = QStringLiteral("<div class='shot'><img src='") + fileBase
        + QStringLiteral("images/guide/exam_window.png' alt='考试界面'/>");
    QString steps = QStringLiteral("<ol>");
    int number = 1;
    for (const Mark &mark : marks) {
        picture += QStringLiteral("<span class='mark' style='left:%1;top:%2'>%3</span>")
                       .arg(percent(mark.left), percent(mark.top))
                       .arg(number++);
        steps += QStringLiteral("<li><b>") + QString::fromUtf8(mark.title) + QStringLiteral("</b>：")
            + QString::fromUtf8(mark.text) + QStringLiteral("</li>");
    }
    picture += QStringLiteral("</div>");
    steps += QStringLiteral("</ol>");

    return QStringLiteral(
               "<html><head><meta http-equiv='Content-Type' content='text/html; charset=utf-8'/><style>"
               "body{margin:0;padding:18px 24px;background:#eaf6f9;color:#21414a;"
               "font-family:'Noto Sans CJK SC',sans-serif;font-size:15px;}"
               "h2{margin:0 0 12px;color:#1f6272;font-size:22px;}"
               "h3{margin:18px 0 6px;color:#1f6272;font-size:17px;}"
               ".shot{position:relative;max-width:1024px;}"
               ".shot img{display:block;width:100%;border:1px solid #c5dfe6;border-radius:6px;}"
               ".mark{position:absolute;width:26px;height:26px;margin:-13px 0 0 -13px;border-radius:13px;"
               "background:#f39c12;color:#fff;font-weight:bold;line-height:26px;text-align:center;"
               "box-shadow:0 0 0 3px rgba(255,255,255,.85);}"
               "ol,ul{margin:6px 0;padding-left:26px;}li{margin:5px 0;line-height:1.6;}"
               "</style></head><body><h2>操作演示：考试界面</h2>")
        + picture + QStringLiteral("<h3>各部分的用法</h3>") + steps
        + QStringLiteral("<h3>键盘操作</h3><ul><li>") + keys.join(QStringLiteral("</li><li>"))
        + QStringLiteral("</li></ul></body></html>");
}
