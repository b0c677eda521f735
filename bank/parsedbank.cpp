#include "parsedbank.h"

#include "banktext.h"

int ParsedBank::errorCount() const
{
    int count = 0;
    for (const BankProblem &problem : problems)
        count += problem.severity == BankProblem::Error ? 1 : 0;
    return count;
}

int ParsedBank::refusedCount() const
{
    int count = 0;
    for (const BankProblem &problem : problems)
        count += problem.severity == BankProblem::Refused ? 1 : 0;
    return count;
}

void ParsedBank::addRefusal(int line, const QString &reason)
{
    problems.append({line, reason, BankProblem::Refused});
}

void ParsedBank::addError(int line, const QString &reason)
{
    problems.append({line, reason, BankProblem::Error});
}

void ParsedBank::addNote(int line, const QString &reason)
{
    problems.append({line, reason, BankProblem::Note});
}

QVector<int> ParsedBank::countsByType() const
{
    QVector<int> counts(BankQuestion::CaseStudy + 1, 0);
    for (const BankQuestion &question : questions) {
        if (question.type > 0 && question.type < counts.size())
            ++counts[question.type];
        for (const BankQuestion &part : question.parts) {
            if (part.type > 0 && part.type < counts.size())
                ++counts[part.type];
        }
    }
    return counts;
}

namespace {

// The line of the first text of a question (or of one of its parts) that
// holds a control character; 0 when none does.
int controlCharacterLine(const BankQuestion &question)
{
    QStringList texts{question.stemHtml, question.explanationHtml, question.answerLetters, question.key,
                      question.chapter, question.category};
    texts << question.optionsHtml;
    for (const QStringList &blank : question.blanks)
        texts << blank;
    for (const QString &text : qAsConst(texts)) {
        if (BankText::hasControlCharacter(text))
            return qMax(1, question.line);
    }
    for (const BankQuestion &part : question.parts) {
        const int line = controlCharacterLine(part);
        if (line > 0)
            return line;
    }
    return 0;
}

} // namespace

void ParsedBank::refuseControlCharacters()
{
    for (int i = 0; i < questions.size(); ++i) {
        const int line = controlCharacterLine(questions.at(i));
        if (line > 0) {
            addError(line, QStringLiteral("题目中有控制字符（如 NUL），不能保存：请删去后再导入"));
            questions.remove(i--);
        }
    }
}

QString ParsedBank::tooManyOptions(const QString &opening, int options)
{
    return QStringLiteral("题目“%1”有%2个选项，题库每题最多五个（A–E），未导入").arg(opening).arg(options);
}

QString ParsedBank::openingOf(const QString &text)
{
    const QString line = BankText::htmlToPlain(text).section(QLatin1Char('\n'), 0, 0).trimmed();
    return line.size() > 30 ? line.left(30) + QStringLiteral("…") : line;
}
