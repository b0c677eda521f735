#include "pagecalls.h"

#include "examquestion.h"
#include "pagetext.h"

namespace {

const QString optionLetters = QStringLiteral("ABCDEFGHIJ");

// Choice buttons drawn per type: six for single and multiple choice, three
// for true/false (the renderer lists ids beyond them that name no button).
int drawnChoices(const ExamQuestion &question)
{
    const int limit = question.type == 3 ? 3 : 6;
    return qMin(question.optionLength, limit);
}

QString choiceFunction(int type)
{
    switch (type) {
    case 1: return QStringLiteral("setdanxuan");
    case 2: return QStringLiteral("setduoxuan");
    case 3: return QStringLiteral("setpanduan");
    default: return QString();
    }
}

QString hiddenFieldPrefix(int type)
{
    switch (type) {
    case 1: return QStringLiteral("hdan_");
    case 2: return QStringLiteral("hduo_");
    case 3: return QStringLiteral("hpan_");
    default: return QString();
    }
}

} // namespace

QString PageCalls::call(const QString &function, const QStringList &arguments)
{
    QString script = function + QLatin1Char('(');
    for (int i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            script += QLatin1Char(',');
        script += QLatin1Char('\'') + jsEscape(arguments.at(i)) + QLatin1Char('\'');
    }
    return script + QLatin1Char(')');
}

QString PageCalls::favouriteAnswer(const QString &questionId, int n, bool stored)
{
    return call(QStringLiteral("scAnswered"), {questionId, QString::number(n), stored ? QStringLiteral("1") : QString()});
}

QString PageCalls::sequence(const QStringList &calls)
{
    return calls.join(QLatin1Char(';'));
}

QStringList PageCalls::replay(const ExamQuestion &question)
{
    QStringList calls;
    const QString &answer = question.userAnswer;
    switch (question.type) {
    case 1:
    case 2:
    case 3: {
        const int count = qMin(question.optionIds.size(), optionLetters.size());
        for (int i = 0; i < count; ++i) {
            const QString letter = optionLetters.mid(i, 1);
            if (!answer.contains(letter))
                continue;
            calls << call(choiceFunction(question.type),
                          {question.optionIds.at(i), question.tname, letter});
            if (question.type != 2)
                break;
        }
        break;
    }
    case 4:
        // The page reports the blanks' texts in the joined form; each part
        // goes back into its blank.
        if (!answer.isEmpty())
            calls << call(QStringLiteral("setTiankongAnswer"), {question.tname, answer});
        break;
    case 5:
        if (question.optionIds.isEmpty())
            break;
        // The boxes are drawn empty; the typed texts go back into them.
        for (int box = 0; box < question.essayTexts.size(); ++box) {
            if (!question.essayTexts.at(box).isEmpty())
                calls << call(QStringLiteral("setWendaText"),
                              {question.tname, QString::number(box), question.essayTexts.at(box)});
        }
        if (answer.contains(QLatin1Char('A')))
            calls << call(QStringLiteral("setwenda"),
                          {question.optionIds.first() + QLatin1Char('1'), question.tname,
                           QStringLiteral("A")});
        else if (answer.contains(QLatin1Char('B')))
            calls << call(QStringLiteral("setwenda"),
                          {question.optionIds.first() + QLatin1Char('2'), question.tname,
                           QStringLiteral("B")});
        break;
    default:
        break;
    }
    return calls;
}

QString PageCalls::keyAnswer(const ExamQuestion &question, int letterIndex)
{
    const QString function = choiceFunction(question.type);
    if (function.isEmpty() || letterIndex < 0 || letterIndex >= drawnChoices(question))
        return QString();
    const QString seq = QString::number(question.seq);
    const QString optionId = QStringLiteral("ti") + QString::number(question.type)
        + QLatin1Char('_') + seq + QLatin1Char('_') + QString::number(letterIndex);
    return call(function, {optionId, hiddenFieldPrefix(question.type) + seq,
                           QString(QChar(QLatin1Char('A').unicode() + letterIndex))});
}

QString PageCalls::cardAnswered(const ExamQuestion &question)
{
    return call(QStringLiteral("setSubject"), {question.cardId});
}

QString PageCalls::cardFlag(const ExamQuestion &question, bool flagged)
{
    return QStringLiteral("setSubject_biaoji('") + jsEscape(question.cardId) + QStringLiteral("',")
        + (flagged ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char(',')
        + (question.answered ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char(')');
}

QString PageCalls::cardCurrent(const ExamQuestion &question)
{
    return call(QStringLiteral("setCurrQuestionHS"), {question.cardId});
}

QString PageCalls::cardLeft(const ExamQuestion &question)
{
    return call(question.answered ? QStringLiteral("setCurrQuestionAnswerHS")
                                  : QStringLiteral("setCurrQuestionNoAnswerHS"),
                {question.cardId});
}

QString PageCalls::cardResult(const ExamQuestion &question)
{
    return call(QStringLiteral("showCent"), {question.cardId, QString::number(question.status)});
}

QStringList PageCalls::pageResult(const ExamQuestion &question)
{
    return {call(QStringLiteral("showJieXi_idToname"), {question.explainId}),
            call(QStringLiteral("p_wrong_right"),
                 {question.resultId, QString::number(question.status)})};
}
