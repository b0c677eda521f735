#include "parsedbank.h"

int ParsedBank::errorCount() const
{
    int count = 0;
    for (const BankProblem &problem : problems)
        count += problem.severity == BankProblem::Error ? 1 : 0;
    return count;
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
