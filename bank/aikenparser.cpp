#include "aikenparser.h"

#include "banktext.h"

#include <QRegularExpression>

namespace {

// 1 for a true word, 0 for a false one, -1 for anything else.
int truthOf(const QString &option)
{
    static const QStringList truths = {QStringLiteral("true"), QStringLiteral("对"), QStringLiteral("正确")};
    static const QStringList falsehoods = {QStringLiteral("false"), QStringLiteral("错"), QStringLiteral("错误")};
    const QString word = option.trimmed().toLower();
    return truths.contains(word) ? 1 : falsehoods.contains(word) ? 0 : -1;
}

struct Pending
{
    int line = 0;
    QStringList stem;
    QStringList options;
};

void finish(ParsedBank &bank, const Pending &pending, const QString &letters, int answerLine)
{
    BankQuestion question;
    question.line = pending.line;
    question.stemHtml = BankText::plainToHtml(pending.stem.join(QLatin1Char('\n')));
    if (pending.options.size() < 2) {
        bank.addError(answerLine, QStringLiteral("“ANSWER:”之前至少要有两个选项"));
        return;
    }
    if (pending.options.size() > 5) {
        bank.addError(pending.line, QStringLiteral("题目有%1个选项，题库每题最多五个（A–E）").arg(pending.options.size()));
        return;
    }
    for (const QChar letter : letters) {
        if (letter.unicode() < 'A' || letter.unicode() >= 'A' + pending.options.size()) {
            bank.addError(answerLine, QStringLiteral("答案“%1”不是这道题的选项").arg(letter));
            return;
        }
    }
    const int first = truthOf(pending.options.at(0));
    if (pending.options.size() == 2 && letters.size() == 1 && first >= 0
        && truthOf(pending.options.at(1)) == 1 - first) {
        question.type = BankQuestion::TrueFalse;
        const bool chosenTrue = (letters == QLatin1String("A")) == (first == 1);
        question.answerLetters = chosenTrue ? QStringLiteral("A") : QStringLiteral("B");
    } else {
        question.type = letters.size() == 1 ? BankQuestion::SingleChoice : BankQuestion::MultipleChoice;
        question.answerLetters = letters;
        for (const QString &option : pending.options)
            question.optionsHtml << BankText::plainToHtml(option);
    }
    bank.questions.append(question);
}

} // namespace

ParsedBank AikenParser::parse(const QString &text)
{
    static const QRegularExpression option(QStringLiteral("^([A-Z])\\s*[.)．、）]\\s*(.*)$"));
    static const QRegularExpression answer(QStringLiteral("^(?:ANSWER|答案)\\s*[:：]\\s*(.*)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression separators(QStringLiteral("[\\s,，、/;；]"));
    static const QRegularExpression notLetter(QStringLiteral("[^A-Z]"));
    ParsedBank bank;
    bank.format = QStringLiteral("aiken");
    Pending pending;
    bool open = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch answerMatch = answer.match(line);
        if (answerMatch.hasMatch()) {
            if (!open) {
                bank.addError(lineNo, QStringLiteral("“ANSWER:”之前没有题目"));
                continue;
            }
            QString letters = answerMatch.captured(1).toUpper();
            letters.remove(separators);
            if (letters.isEmpty() || letters.contains(notLetter))
                bank.addError(lineNo, QStringLiteral("答案应是选项字母，却是“%1”").arg(answerMatch.captured(1)));
            else
                finish(bank, pending, letters, lineNo);
            open = false;
            pending = Pending();
            continue;
        }
        const QRegularExpressionMatch optionMatch = option.match(line);
        if (optionMatch.hasMatch() && open && !pending.stem.isEmpty()) {
            const QChar letter = optionMatch.captured(1).at(0);
            if (letter.unicode() == 'A' + pending.options.size()) {
                pending.options << optionMatch.captured(2);
                continue;
            }
            if (!pending.options.isEmpty()) {
                bank.addError(lineNo, QStringLiteral("选项“%1”不按顺序（应是“%2”）")
                                          .arg(letter).arg(QChar('A' + pending.options.size())));
                open = false;
                pending = Pending();
                continue;
            }
        }
        if (open && !pending.options.isEmpty()) {
            // A new text after options: the previous question never got its answer.
            bank.addError(pending.line, QStringLiteral("题目没有写完：选项之后缺少“ANSWER:”"));
            open = false;
            pending = Pending();
        }
        if (!open) {
            open = true;
            pending.line = lineNo;
        }
        pending.stem << line;
    }
    if (open)
        bank.addError(pending.line, QStringLiteral("题目没有写完：文件在“ANSWER:”之前结束"));
    return bank;
}
