#include "historystore.h"

#include "answersheet.h"
#include "boundstatement.h"
#include "exampaper.h"
#include "storedtime.h"
#include "subjectscope.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace {

const QString listedColumns = QStringLiteral(
    "id, paperId, subjectid, paperName, handedInAt, score, totalCent, passCent, useSecond, allowedSecond, "
    "rightCount, wrongCount, unansweredCount, bookCount, chosenSections, sections");

QString sectionsJson(const ExamPaper &paper)
{
    QJsonArray sections;
    for (const auto &section : paper.sections) {
        if (section->entryCount < 1)
            continue;
        sections.append(QJsonObject{{QStringLiteral("id"), section->id},
                                    {QStringLiteral("name"), section->bname},
                                    {QStringLiteral("quantity"), section->quantity},
                                    {QStringLiteral("right"), section->rightCount},
                                    {QStringLiteral("wrong"), section->wrongCount},
                                    {QStringLiteral("unanswered"), section->unansweredCount},
                                    {QStringLiteral("score"), section->score},
                                    {QStringLiteral("mark"), section->mark}});
    }
    return QString::fromUtf8(QJsonDocument(sections).toJson(QJsonDocument::Compact));
}

HistoryRecord recordOf(const QSqlQuery &row)
{
    HistoryRecord record;
    record.id = row.value(QStringLiteral("id")).toLongLong();
    record.paperId = row.value(QStringLiteral("paperId")).toString();
    record.subjectId = row.value(QStringLiteral("subjectid")).toString();
    record.paperName = row.value(QStringLiteral("paperName")).toString();
    record.handedInAt = QDateTime::fromString(row.value(QStringLiteral("handedInAt")).toString(), storedTimeFormat());
    record.score = row.value(QStringLiteral("score")).toDouble();
    record.totalCent = row.value(QStringLiteral("totalCent")).toDouble();
    record.passCent = row.value(QStringLiteral("passCent")).toDouble();
    record.useSecond = row.value(QStringLiteral("useSecond")).toInt();
    record.allowedSecond = row.value(QStringLiteral("allowedSecond")).toInt();
    record.rightCount = row.value(QStringLiteral("rightCount")).toInt();
    record.wrongCount = row.value(QStringLiteral("wrongCount")).toInt();
    record.unansweredCount = row.value(QStringLiteral("unansweredCount")).toInt();
    const QVariant book = row.value(QStringLiteral("bookCount"));
    record.bookCount = book.isNull() ? -1 : book.toInt();
    for (const QJsonValue &id : QJsonDocument::fromJson(row.value(QStringLiteral("chosenSections")).toByteArray()).array())
        record.chosenSections << id.toString();
    record.sections = row.value(QStringLiteral("sections")).toString();
    if (row.record().contains(QStringLiteral("answers")))
        record.answers = row.value(QStringLiteral("answers")).toString();
    return record;
}

} // namespace

HistoryRecord HistoryRecord::ofPaper(const ExamPaper &paper, const QString &paperId, const QDateTime &handedInAt,
                                     int useSecond)
{
    HistoryRecord record;
    record.paperId = paperId;
    record.subjectId = paper.subjectId;
    record.paperName = paper.name;
    record.handedInAt = handedInAt;
    record.score = paper.score;
    record.totalCent = paper.totalCent;
    record.passCent = paper.passCent;
    record.useSecond = useSecond;
    record.allowedSecond = paper.allowedSeconds();
    record.rightCount = paper.rightCount;
    record.wrongCount = paper.wrongCount;
    record.unansweredCount = paper.unansweredCount;
    for (const auto &section : paper.sections) {
        if (section->chosen)
            record.chosenSections << section->id;
    }
    record.sections = sectionsJson(paper);
    record.answers = AnswerSheet::stored(paper.answerSheet);
    return record;
}

bool HistoryStore::add(QSqlDatabase db, const HistoryRecord &record)
{
    return execBound(
        db,
        QStringLiteral(
            "INSERT INTO exam_history(paperId, subjectid, paperName, handedInAt, score, totalCent, passCent, "
            "useSecond, allowedSecond, rightCount, wrongCount, unansweredCount, bookCount, chosenSections, "
            "sections, answers) VALUES(:paperId, :subjectid, :paperName, :handedInAt, :score, :totalCent, "
            ":passCent, :useSecond, :allowedSecond, :rightCount, :wrongCount, :unansweredCount, "
            "(SELECT count(*) FROM error_answer WHERE ifnull(subjectId,'') IN (ifnull(:subject,''), '')), "
            ":chosenSections, :sections, :answers)"),
        {{QStringLiteral(":paperId"), record.paperId},
         {QStringLiteral(":subjectid"), record.subjectId},
         {QStringLiteral(":subject"), record.subjectId},
         {QStringLiteral(":paperName"), record.paperName},
         {QStringLiteral(":handedInAt"), record.handedInAt.toString(storedTimeFormat())},
         {QStringLiteral(":score"), record.score},
         {QStringLiteral(":totalCent"), record.totalCent},
         {QStringLiteral(":passCent"), record.passCent},
         {QStringLiteral(":useSecond"), record.useSecond},
         {QStringLiteral(":allowedSecond"), record.allowedSecond},
         {QStringLiteral(":rightCount"), record.rightCount},
         {QStringLiteral(":wrongCount"), record.wrongCount},
         {QStringLiteral(":unansweredCount"), record.unansweredCount},
         {QStringLiteral(":chosenSections"),
          QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(record.chosenSections)).toJson(QJsonDocument::Compact))},
         {QStringLiteral(":sections"), record.sections},
         {QStringLiteral(":answers"), record.answers}});
}

QVector<HistoryRecord> HistoryStore::list(QSqlDatabase db, const SubjectScope &scope)
{
    QVector<HistoryRecord> records;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT ") + listedColumns + QStringLiteral(" FROM exam_history")
                       + scope.whereClause(QStringLiteral("subjectid"))
                       + QStringLiteral(" ORDER BY handedInAt DESC, id DESC")))
        return records;
    scope.bind(query);
    if (!query.exec())
        return records;
    while (query.next())
        records.append(recordOf(query));
    return records;
}

bool HistoryStore::find(QSqlDatabase db, qint64 id, HistoryRecord *out)
{
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("SELECT ") + listedColumns + QStringLiteral(", answers FROM exam_history WHERE id=:id")))
        return false;
    query.bindValue(QStringLiteral(":id"), id);
    if (!query.exec() || !query.next())
        return false;
    *out = recordOf(query);
    return true;
}
