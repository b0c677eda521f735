#include "importpreview.h"

#include <QFileInfo>

namespace ImportPreview {

QString typeSummary(const ParsedBank &bank)
{
    const QVector<int> counts = bank.countsByType();
    QStringList parts;
    for (int type = BankQuestion::SingleChoice; type <= BankQuestion::CaseStudy; ++type) {
        if (counts.value(type) > 0)
            parts << BankQuestion::typeName(type) + QLatin1Char(' ') + QString::number(counts.value(type));
    }
    QString text = parts.isEmpty() ? QStringLiteral("没有可导入的题目") : parts.join(QStringLiteral(" · "));
    if (bank.refusedCount() > 0)
        text += QStringLiteral("；%1 道题题库不能保存，不导入").arg(bank.refusedCount());
    return text;
}

QStringList problemLines(const ParsedBank &bank)
{
    QStringList lines;
    for (const BankProblem &problem : bank.problems) {
        QString line = problem.line > 0 ? QStringLiteral("第 %1 行：").arg(problem.line) : QString();
        line += problem.reason;
        if (problem.severity == BankProblem::Note)
            line += QStringLiteral("（提示）");
        else if (problem.severity == BankProblem::Refused)
            line += QStringLiteral("（不能保存的题目）");
        lines << line;
    }
    return lines;
}

QString changeSummary(const ImportCounts &counts, const QString &paperName)
{
    if (!counts.refusal.isEmpty())
        return counts.refusal;
    if (counts.paperId.isEmpty())
        return QStringLiteral("新建试卷“%1”，%2 道题").arg(paperName.trimmed()).arg(counts.added);
    return QStringLiteral("更新试卷“%1”：").arg(paperName.trimmed()) + countsText(counts);
}

QString countsText(const ImportCounts &counts)
{
    return QStringLiteral("新增 %1，修改 %2，未变 %3，删除 %4")
        .arg(counts.added).arg(counts.changed).arg(counts.unchanged).arg(counts.gone);
}

QString paperNameOf(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}

QString fileFilter()
{
    return QStringLiteral("题库文件 (*.gift *.txt *.xml *.csv *.xlsx);;GIFT (*.gift *.txt);;Moodle XML (*.xml);;"
                          "表格 (*.csv *.xlsx);;所有文件 (*)");
}

} // namespace ImportPreview
