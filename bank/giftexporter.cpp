#include "giftexporter.h"

#include "banktext.h"

namespace {

QString escaped(const QString &text)
{
    QString result;
    result.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (QStringLiteral("~=#{}:\\").contains(c))
            result += QLatin1Char('\\');
        if (c == QLatin1Char('\n'))
            result += QLatin1String("\\n");
        else
            result += c;
    }
    return result;
}

QString number(double value)
{
    return QString::number(value, 'g', 12);
}

QString answerPart(const BankQuestion &q)
{
    QStringList items;
    switch (q.type) {
    case BankQuestion::SingleChoice:
        for (int i = 0; i < q.optionsHtml.size(); ++i)
            items << (q.answerLetters.contains(QChar('A' + i)) ? QLatin1String("=") : QLatin1String("~"))
                    + escaped(q.optionsHtml.at(i));
        break;
    case BankQuestion::MultipleChoice: {
        const QString weight = number(100.0 / qMax(1, q.answerLetters.size()));
        for (int i = 0; i < q.optionsHtml.size(); ++i)
            items << (q.answerLetters.contains(QChar('A' + i)) ? QLatin1String("~%") + weight + QLatin1String("%")
                                                                : QStringLiteral("~%-100%"))
                    + escaped(q.optionsHtml.at(i));
        break;
    }
    case BankQuestion::TrueFalse:
        items << (q.answerLetters == QLatin1String("A") ? QStringLiteral("T") : QStringLiteral("F"));
        break;
    case BankQuestion::FillIn:
        for (const QString &answer : BankText::wholeAnswers(q.blanks))
            items << QLatin1Char('=') + escaped(answer);
        break;
    default:
        break;
    }
    QString part = items.join(QLatin1Char(' '));
    if (!q.explanationHtml.isEmpty())
        part += QLatin1String(" ####") + escaped(q.explanationHtml);
    return QLatin1Char('{') + part + QLatin1Char('}');
}

void writeQuestion(QString &out, const BankQuestion &q, const QString &title)
{
    // The candidate's note as comment lines, which an import skips.
    if (!q.note.trimmed().isEmpty()) {
        for (const QString &line : q.note.split(QLatin1Char('\n')))
            out += QStringLiteral("// 笔记: ") + QString(line).remove(QLatin1Char('\r')) + QLatin1Char('\n');
    }
    if (q.marks != 1 && q.type != BankQuestion::CaseStudy)
        out += QStringLiteral("// 分值: ") + number(q.marks) + QLatin1Char('\n');
    if (!title.isEmpty())
        out += QLatin1String("::") + escaped(title) + QLatin1String("::");
    out += QLatin1String("[html]") + escaped(q.stemHtml);
    if (q.type != BankQuestion::CaseStudy)
        out += QLatin1Char(' ') + answerPart(q);
    out += QLatin1String("\n\n");
}

} // namespace

QString GiftExporter::write(const QVector<BankQuestion> &questions)
{
    QString out = QStringLiteral("// 题库导出（GIFT）。\n\n");
    QString chapter;
    int caseNumber = 0;
    for (const BankQuestion &q : questions) {
        if (q.chapterName() != chapter) {
            chapter = q.chapterName();
            out += QStringLiteral("$CATEGORY: $course$/top/") + BankQuestion::categoryOfChapter(chapter)
                + QLatin1String("\n\n");
        }
        QString title = q.key;
        if (q.type == BankQuestion::CaseStudy && title.isEmpty())
            title = QStringLiteral("case%1").arg(++caseNumber);
        writeQuestion(out, q, title);
        for (int i = 0; i < q.parts.size(); ++i) {
            const BankQuestion &part = q.parts.at(i);
            writeQuestion(out, part, title + QLatin1Char('/') + (part.key.isEmpty() ? QString::number(i + 1) : part.key));
        }
    }
    return out;
}
