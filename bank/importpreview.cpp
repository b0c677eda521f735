#include "importpreview.h"

#include "banktext.h"

#include <QFileInfo>

namespace {

QString answerText(const BankQuestion &q)
{
    switch (q.type) {
    case BankQuestion::SingleChoice:
    case BankQuestion::MultipleChoice:
        return q.answerLetters;
    case BankQuestion::TrueFalse:
        return q.answerLetters == QLatin1String("A") ? QStringLiteral("正确") : QStringLiteral("错误");
    case BankQuestion::FillIn: {
        QStringList blanks;
        for (const QStringList &blank : q.blanks)
            blanks << blank.join(QStringLiteral(" 或 "));
        return blanks.join(QStringLiteral("；"));
    }
    default:
        return q.explanationHtml.isEmpty() ? QStringLiteral("（无）") : QStringLiteral("（见解析）");
    }
}

QString questionLine(const BankQuestion &q, const QString &indent)
{
    QString stem = BankText::htmlToPlain(q.stemHtml).simplified();
    if (stem.size() > 40)
        stem = stem.left(40) + QStringLiteral("…");
    QString line = indent + (q.line > 0 ? QStringLiteral("第 %1 行 ").arg(q.line) : QString())
        + QStringLiteral("［%1］").arg(BankQuestion::typeName(q.type)) + stem;
    if (q.type != BankQuestion::CaseStudy)
        line += QStringLiteral("　答案：") + answerText(q);
    return line;
}

} // namespace

namespace ImportPreview {

QStringList questionLines(const ParsedBank &bank)
{
    QStringList lines;
    for (const BankQuestion &q : bank.questions) {
        lines << questionLine(q, QString());
        for (const BankQuestion &part : q.parts)
            lines << questionLine(part, QStringLiteral("　　"));
    }
    return lines;
}

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
    // "questions.aiken.txt" is the paper "questions": every format suffix at
    // the end goes, other dots stay ("2023.v2.gift" is "2023.v2").
    static const QStringList formatSuffixes{QStringLiteral("txt"),  QStringLiteral("gift"), QStringLiteral("aiken"),
                                            QStringLiteral("xml"),  QStringLiteral("moodle"), QStringLiteral("csv"),
                                            QStringLiteral("tsv"),  QStringLiteral("xlsx"), QStringLiteral("docx"),
                                            QStringLiteral("doc"),  QStringLiteral("wps"),  QStringLiteral("pdf")};
    QString name = QFileInfo(path).fileName();
    for (int dot = name.lastIndexOf(QLatin1Char('.')); dot > 0 && formatSuffixes.contains(name.mid(dot + 1).toLower());
         dot = name.lastIndexOf(QLatin1Char('.')))
        name.truncate(dot);
    return name;
}

QString fileFilter()
{
    return QStringLiteral("题库文件 (*.gift *.txt *.xml *.csv *.xlsx *.docx *.doc *.wps *.pdf);;"
                          "Word、WPS 题本 (*.docx *.doc *.wps);;PDF 题本 (*.pdf);;文本 (*.txt *.gift);;"
                          "Moodle XML (*.xml);;表格 (*.csv *.xlsx);;所有文件 (*)");
}

} // namespace ImportPreview
