#include "importreport.h"

#include "importpreview.h"

namespace ImportReport {

QString openButtonText()
{
    return QStringLiteral("打开这套试卷");
}

QString message(const ImportOutcome &outcome, const ParsedBank &bank, const QString &paperName,
                const QString &subjectName)
{
    const ImportCounts &counts = outcome.counts;
    const int questions = counts.added + counts.changed + counts.unchanged;
    QString text = QStringLiteral("已导入试卷“%1”，共 %2 道题：%3。").arg(paperName).arg(questions).arg(
        ImportPreview::typeSummary(bank));
    // A paper imported before under this name was updated in place.
    if (!counts.paperId.isEmpty())
        text += QStringLiteral("\n这套试卷以前导入过，本次%1。").arg(ImportPreview::countsText(counts));
    text += QStringLiteral("\n科目：%1").arg(subjectName);
    text += QStringLiteral("\n以后可在首页的“模拟试卷”列表和“导入记录”中找到它。");
    return text;
}

} // namespace ImportReport
