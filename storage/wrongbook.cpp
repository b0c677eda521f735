#include "wrongbook.h"

#include "answergrade.h"
#include "dbconnection.h"
#include "exampaper.h"
#include "masteryrule.h"
#include "reviewstore.h"
#include "sqltransaction.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

const int formalPaper = 0;

QSqlDatabase database()
{
    return DbConnection::instance(QStringLiteral("data.db"), true)->database();
}

QVariantMap idOnly(const QString &questionId)
{
    return {{QStringLiteral(":questionId"), questionId}};
}

bool insertQuestion(SqlTransaction &group, const ExamQuestion &question, const QString &subjectId,
                    const QString &paperId)
{
    return group.exec(QStringLiteral("insert into error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid)values(:questionId,:subjectId,:chapterId,:parentId,:examid,:sequence,:fuleixingid)"),
                      {{QStringLiteral(":questionId"), question.id},
                       {QStringLiteral(":subjectId"), subjectId},
                       {QStringLiteral(":chapterId"), question.chapterId},
                       {QStringLiteral(":parentId"), question.parentId},
                       {QStringLiteral(":examid"), paperId},
                       {QStringLiteral(":sequence"), question.seq},
                       {QStringLiteral(":fuleixingid"), question.fuleixingid}});
}

bool forgetMastered(SqlTransaction &group, const QString &questionId)
{
    return group.exec(QStringLiteral("delete from mastered_question where questionId=:questionId"),
                      idOnly(questionId));
}

// Keeps the question's book row aside; nothing when it is not in the book.
bool keepMastered(SqlTransaction &group, const QString &questionId, const QDate &today)
{
    return group.exec(QStringLiteral("insert or replace into mastered_question(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid,masteredOn) "
                                     "select questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid,:day "
                                     "from error_answer where questionId=:questionId limit 1"),
                      {{QStringLiteral(":questionId"), questionId}, {QStringLiteral(":day"), today.toString(Qt::ISODate)}});
}

// Puts a mastered question's kept row back into the book.
bool returnToBook(SqlTransaction &group, const QString &questionId)
{
    return group.exec(QStringLiteral("insert into error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid) "
                                     "select questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid "
                                     "from mastered_question where questionId=:questionId"),
                      idOnly(questionId))
        && forgetMastered(group, questionId);
}

// A paper other than the row's own whose sections list the question (as a
// question or as a case-study part); with shippedOnly, not a drawn one.
const QString listingPaper = QStringLiteral(
    "(select s.paperId from exam_paper_static s, "
    "json_each(case when json_valid(s.questionIds) then s.questionIds else '[]' end) j "
    "where s.paperId<>:paperId and (:shippedOnly=0 or s.paperId not in (select paperId from generated_paper)) "
    "and (json_extract(j.value,'$.qid')=%1.questionId or exists (select 1 from "
    "json_each(case when json_type(j.value,'$.leaf')='array' then json_extract(j.value,'$.leaf') else '[]' end) l "
    "where json_extract(l.value,'$.qid')=%1.questionId)) order by s.paperId limit 1)");

} // namespace

bool WrongBook::removeQuestions(SqlTransaction &group, const QStringList &questionIds)
{
    // Past the question index, in one pass over the book: a damaged index must
    // not leave a row behind.
    return questionIds.isEmpty()
        || group.exec(QStringLiteral("delete from error_answer not indexed "
                                     "where questionId in (select value from json_each(:ids))"),
                      {{QStringLiteral(":ids"), QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(questionIds))
                                                                      .toJson(QJsonDocument::Compact))}});
}

bool WrongBook::moveRows(SqlTransaction &group, const QString &paperId, bool shippedOnly)
{
    for (const QString table : {QStringLiteral("error_answer"), QStringLiteral("mastered_question")}) {
        if (!group.exec(QStringLiteral("update %1 set examid=ifnull(%2, examid) where examid=:paperId")
                            .arg(table, listingPaper.arg(table)),
                        {{QStringLiteral(":paperId"), paperId}, {QStringLiteral(":shippedOnly"), shippedOnly ? 1 : 0}}))
            return false;
    }
    return true;
}

bool WrongBook::apply(SqlTransaction &group, const ExamPaper &paper, int examStatus, const QString &paperId,
                      const QDate &today, const QDate &examDate)
{
    const MemoryModel model;
    const bool formal = examStatus == formalPaper;
    // Book rows are found past the index, which reads the whole book: the rows
    // of every question that leaves or moves go in one pass, not one each.
    QStringList mastered, leaving;
    QHash<QString, const ExamQuestion *> entering; // its last wrong answer in the paper
    for (const auto &question : paper.questions) {
        const std::optional<ReviewGrade> grade = AnswerGrade::of(*question);
        if (!grade)
            continue;
        std::optional<ReviewCard> card = ReviewStore::card(group, question->id);
        if (!card)
            return false;
        const int elapsed = card->isNew() ? 0 : int(qMax<qint64>(0, card->lastReview.daysTo(today)));
        card->review(model, *grade, today);
        if (!ReviewStore::saveReview(group, *card, *grade, elapsed))
            return false;
        if (*grade == ReviewGrade::Again) {
            if (formal) {
                entering.insert(question->id, question.get());
                leaving << question->id;
            } else if (!returnToBook(group, question->id)) {
                return false;
            }
        } else if (MasteryRule::isMastered(*card, today, examDate)) {
            entering.remove(question->id);
            mastered << question->id;
            leaving << question->id;
        }
    }
    for (const QString &questionId : qAsConst(mastered))
        if (!keepMastered(group, questionId, today))
            return false;
    if (!removeQuestions(group, leaving))
        return false;
    for (const auto &question : paper.questions) {
        if (entering.value(question->id) != question.get())
            continue;
        if (!insertQuestion(group, *question, paper.subjectId, paperId) || !forgetMastered(group, question->id))
            return false;
    }
    return true;
}

WriteOutcome WrongBook::update(const ExamPaper &paper, int examStatus, const QString &paperId, const QDate &today,
                               const QDate &examDate)
{
    SqlTransaction group(database());
    if (group.started())
        apply(group, paper, examStatus, paperId, today, examDate);
    return group.finish();
}

WriteOutcome WrongBook::remove(const QString &questionId)
{
    SqlTransaction group(database());
    removeQuestions(group, {questionId});
    return group.finish();
}
