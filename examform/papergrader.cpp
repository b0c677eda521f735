#include "papergrader.h"

#include "answersheet.h"
#include "blankanswer.h"
#include "exampaper.h"

#include <QStringList>

const QChar PaperGrader::alternativeSeparator(0x00A6);

namespace {

// A typed blank is right when it equals one of the blank's accepted texts.
bool blankMatches(const QString &given, const QString &reference)
{
    const QStringList accepted = reference.split(PaperGrader::alternativeSeparator);
    for (const QString &text : accepted) {
        if (given.trimmed().compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Fill-in answers list their blanks in order, in the joined form.
bool blanksMatch(const QString &given, const QString &reference)
{
    const QStringList givenBlanks = BlankAnswer::split(given);
    const QStringList referenceBlanks = BlankAnswer::split(reference);
    if (givenBlanks.size() != referenceBlanks.size())
        return false;
    for (int i = 0; i < givenBlanks.size(); ++i) {
        if (!blankMatches(givenBlanks.at(i), referenceBlanks.at(i)))
            return false;
    }
    return true;
}

// Same number of letters, each of them among the reference letters: the order
// of clicking does not matter.
bool lettersMatch(const QString &given, const QString &reference)
{
    if (given.size() != reference.size())
        return false;
    for (const QChar letter : given) {
        if (!reference.contains(letter, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

} // namespace

bool PaperGrader::isRightAnswer(int type, const QString &given, const QString &reference)
{
    switch (type) {
    case ExamQuestion::SingleChoice:
        return given.trimmed().compare(reference.trimmed(), Qt::CaseInsensitive) == 0;
    case ExamQuestion::MultipleChoice:
        return lettersMatch(given, reference);
    case ExamQuestion::TrueFalse:
        return given.compare(reference, Qt::CaseInsensitive) == 0;
    case ExamQuestion::FillIn:
        return blanksMatch(given, reference);
    case ExamQuestion::Essay:
        return given == QLatin1String("A");
    default:
        return false;
    }
}

bool PaperGrader::blanksAllEmpty(const QString &given)
{
    const QStringList blanks = BlankAnswer::split(given);
    for (const QString &blank : blanks) {
        if (!blank.trimmed().isEmpty())
            return false;
    }
    return true;
}

void PaperGrader::markQuestion(ExamQuestion &question)
{
    if (question.type == ExamQuestion::SingleChoice) {
        question.userAnswer = question.userAnswer.trimmed();
        question.answer = question.answer.trimmed();
    }
    question.isRight = isRightAnswer(question.type, question.userAnswer, question.answer);
    question.score = question.isRight ? question.cent : 0.0;
    // A fill-in whose blanks were typed and then cleared again counts as not
    // answered, like one that was never touched; an essay with text but no
    // self-assessment is answered, and not right.
    const bool unanswered = question.type == ExamQuestion::FillIn ? blanksAllEmpty(question.userAnswer)
        : question.type == ExamQuestion::Essay                    ? question.userAnswer.isEmpty() && !question.hasTypedEssay()
                                                                  : question.userAnswer.isEmpty();
    if (question.isRight)
        question.status = 0;
    else
        question.status = unanswered ? 2 : 1;
}

void PaperGrader::markPaper(ExamPaper &paper)
{
    if (paper.handedIn)
        return;
    paper.score = 0.0;
    paper.rightCount = paper.wrongCount = paper.unansweredCount = 0;
    paper.allCount = 0;
    QStringList sheet;

    std::size_t entry = 0;
    for (const auto &section : paper.sections) {
        section->score = 0.0;
        section->rightCount = section->wrongCount = section->unansweredCount = 0;
        const bool counts = section->isselect < 1 || section->chosen;
        const std::size_t end = section->entryCount < 1
            ? entry
            : std::min(paper.questions.size(), entry + std::size_t(section->entryCount));
        for (; entry < end; ++entry) {
            ExamQuestion &question = *paper.questions[entry];
            if (question.type != ExamQuestion::Composite) {
                markQuestion(question);
                if (counts)
                    paper.score += question.score;
                switch (question.status) {
                case 0:
                    ++paper.rightCount;
                    if (counts)
                        ++section->rightCount;
                    break;
                case 1:
                    ++paper.wrongCount;
                    if (counts)
                        ++section->wrongCount;
                    break;
                default:
                    ++paper.unansweredCount;
                    if (counts)
                        ++section->unansweredCount;
                    break;
                }
                if (counts && question.status != 2)
                    section->score += question.score;
            }
            sheet << AnswerSheet::entry(question);
        }
        paper.allCount += section->quantity;
    }
    paper.answerSheet = sheet.join(QLatin1Char(','));
    paper.handedIn = true;
}

namespace {

// Card labels ("3", "17.2"), joined by ",", of the answerable entries that
// pass the test.
template <class Test>
QString cardLabels(const ExamPaper &paper, Test test)
{
    QStringList labels;
    for (const auto &question : paper.questions) {
        if (question->type != ExamQuestion::Composite && test(*question))
            labels << question->cardLabel();
    }
    // "、" lets a long list wrap between labels; "1,2,3" would read as one
    // number and break inside a label.
    return labels.join(QStringLiteral("、"));
}

} // namespace

QString PaperGrader::unansweredLabels(const ExamPaper &paper)
{
    return cardLabels(paper, [](const ExamQuestion &question) { return !question.answered; });
}

QString PaperGrader::flaggedLabels(const ExamPaper &paper)
{
    return cardLabels(paper, [](const ExamQuestion &question) { return question.marked; });
}

QString PaperGrader::handInReminder(const ExamPaper &paper)
{
    const QString unanswered = unansweredLabels(paper);
    const QString flagged = flaggedLabels(paper);
    QString text;
    if (!unanswered.isEmpty())
        text = QStringLiteral("<p align='center'><h1>你还存在未答完试题<h1></p><p ><h3>") + unanswered
            + QStringLiteral("<h3></p>");
    else if (!flagged.isEmpty())
        text = QStringLiteral("<p align='center'><h1>你还有标记待查的试题</h1></p>");
    if (!flagged.isEmpty())
        text += QStringLiteral("<p ><h3>已标记：") + flagged + QStringLiteral("</h3></p>");
    return text;
}

int PaperGrader::secondsUsed(const ExamPaper &paper)
{
    if (!paper.startTime.isValid() || !paper.endTime.isValid())
        return 0;
    const int seconds = paper.startTime.secsTo(paper.endTime);
    return seconds < 0 ? seconds + 24 * 3600 : seconds; // handed in after midnight
}
