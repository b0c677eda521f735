#include "attemptsnapshot.h"

#include "exampaper.h"
#include "storedtime.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

QJsonObject entryObject(const AttemptSnapshot::Entry &entry)
{
    QJsonObject object{{QStringLiteral("seq"), entry.seq},
                       {QStringLiteral("qid"), entry.qid},
                       {QStringLiteral("answer"), entry.answer},
                       {QStringLiteral("answered"), entry.answered},
                       {QStringLiteral("flagged"), entry.flagged}};
    if (!entry.essay.isEmpty())
        object.insert(QStringLiteral("essay"), QJsonArray::fromStringList(entry.essay));
    return object;
}

// The entry of paper for a stored one: same position and id, else the first
// entry with the id that nothing claimed yet; null when the paper lacks it.
ExamQuestion *findEntry(ExamPaper &paper, const AttemptSnapshot::Entry &entry, QSet<ExamQuestion *> &claimed)
{
    const int index = entry.seq - 1;
    if (index >= 0 && index < int(paper.questions.size())) {
        ExamQuestion *question = paper.questions[size_t(index)].get();
        if (question->id == entry.qid && !claimed.contains(question))
            return question;
    }
    for (const auto &question : paper.questions) {
        if (question->id == entry.qid && !claimed.contains(question.get()))
            return question.get();
    }
    return nullptr;
}

} // namespace

AttemptSnapshot AttemptSnapshot::capture(const ExamPaper &paper, const QString &paperId, int mode,
                                         const QDateTime &startedAt, int elapsedSeconds, int currentIndex)
{
    AttemptSnapshot snapshot;
    snapshot.paperId = paperId;
    snapshot.mode = mode;
    snapshot.subjectId = paper.subjectId;
    snapshot.startedAt = startedAt;
    snapshot.elapsedSeconds = qMax(0, elapsedSeconds);
    snapshot.currentIndex = currentIndex;
    for (const auto &section : paper.sections) {
        if (section->chosen)
            snapshot.chosenSections << section->id;
    }
    for (const auto &question : paper.questions) {
        const QStringList essay = question->hasTypedEssay() ? question->essayTexts : QStringList();
        if (question->answered || question->marked || !question->userAnswer.isEmpty() || !essay.isEmpty())
            snapshot.entries.append({question->seq, question->id, question->userAnswer, question->answered,
                                     question->marked, essay});
    }
    return snapshot;
}

QByteArray AttemptSnapshot::toJson() const
{
    QJsonArray entryArray;
    for (const Entry &entry : entries)
        entryArray.append(entryObject(entry));
    const QJsonObject object{{QStringLiteral("format"), format},
                             {QStringLiteral("paperId"), paperId},
                             {QStringLiteral("mode"), mode},
                             {QStringLiteral("subjectId"), subjectId},
                             {QStringLiteral("startedAt"), startedAt.toString(storedTimeFormat())},
                             {QStringLiteral("elapsed"), elapsedSeconds},
                             {QStringLiteral("current"), currentIndex},
                             {QStringLiteral("chosen"), QJsonArray::fromStringList(chosenSections)},
                             {QStringLiteral("entries"), entryArray}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool AttemptSnapshot::fromJson(const QByteArray &json, AttemptSnapshot *out, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject())
        return fail(QStringLiteral("不是作答记录：") + parseError.errorString());
    const QJsonObject object = document.object();
    if (object.value(QStringLiteral("format")).toInt() != format)
        return fail(QStringLiteral("作答记录的格式未知"));
    if (!object.value(QStringLiteral("paperId")).isString() || !object.value(QStringLiteral("entries")).isArray())
        return fail(QStringLiteral("作答记录缺少试卷或答案"));

    AttemptSnapshot snapshot;
    snapshot.paperId = object.value(QStringLiteral("paperId")).toString();
    snapshot.mode = object.value(QStringLiteral("mode")).toInt();
    snapshot.subjectId = object.value(QStringLiteral("subjectId")).toString();
    snapshot.startedAt = QDateTime::fromString(object.value(QStringLiteral("startedAt")).toString(), storedTimeFormat());
    snapshot.elapsedSeconds = qMax(0, object.value(QStringLiteral("elapsed")).toInt());
    snapshot.currentIndex = qMax(0, object.value(QStringLiteral("current")).toInt());
    for (const QJsonValue &id : object.value(QStringLiteral("chosen")).toArray())
        snapshot.chosenSections << id.toString();
    for (const QJsonValue &value : object.value(QStringLiteral("entries")).toArray()) {
        const QJsonObject entry = value.toObject();
        if (!entry.value(QStringLiteral("qid")).isString())
            continue;
        QStringList essay;
        for (const QJsonValue &text : entry.value(QStringLiteral("essay")).toArray())
            essay << text.toString();
        snapshot.entries.append({entry.value(QStringLiteral("seq")).toInt(),
                                 entry.value(QStringLiteral("qid")).toString(),
                                 entry.value(QStringLiteral("answer")).toString(),
                                 entry.value(QStringLiteral("answered")).toBool(),
                                 entry.value(QStringLiteral("flagged")).toBool(), essay});
    }
    *out = snapshot;
    return true;
}

int AttemptSnapshot::applyTo(ExamPaper &paper) const
{
    QSet<ExamQuestion *> claimed;
    for (const Entry &entry : entries) {
        ExamQuestion *question = findEntry(paper, entry, claimed);
        if (!question || question->type == ExamQuestion::Composite)
            continue;
        claimed.insert(question);
        question->userAnswer = entry.answer;
        question->answered = entry.answered;
        question->marked = entry.flagged;
        question->essayTexts = entry.essay;
    }
    paper.answeredCount = 0;
    for (const auto &question : paper.questions) {
        if (question->answered)
            paper.answeredCount += 1;
    }
    for (const auto &section : paper.sections)
        section->chosen = section->isselect > 0 && chosenSections.contains(section->id);
    if (paper.questions.empty())
        return 0;
    return qBound(0, currentIndex, int(paper.questions.size()) - 1);
}

int AttemptSnapshot::answeredCount() const
{
    int count = 0;
    for (const Entry &entry : entries) {
        if (entry.answered)
            count += 1;
    }
    return count;
}
