#include "paperfloors.h"

#include "answergrade.h"
#include "exampaper.h"
#include "historystore.h"
#include "masteryrule.h"
#include "papergrader.h"
#include "reviewcard.h"
#include "reviewstore.h"
#include "sqltransaction.h"
#include "storedtime.h"

#include <QDate>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace {

const char *const floorPaperId = "bench-floor";

// The floor's own id for a question's rows: never one of the bank's.
QString floorQuestionId(const QString &questionId)
{
    return QLatin1String(floorPaperId) + QLatin1Char(':') + questionId;
}

QString jsonList(const QStringList &texts)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

// Ids of the paper's entries in paper order, composites followed by their parts.
QStringList paperQuestionIds(QSqlDatabase db, const QString &paperId)
{
    QStringList ids;
    QSqlQuery sections(db);
    sections.prepare(QStringLiteral("select questionIds from exam_paper_static where paperId=:id order by sequence"));
    sections.bindValue(QStringLiteral(":id"), paperId);
    sections.exec();
    while (sections.next()) {
        const QJsonArray entries = QJsonDocument::fromJson(sections.value(0).toString().toUtf8()).array();
        for (const QJsonValue &entry : entries) {
            ids << entry.toObject().value(QStringLiteral("qid")).toString();
            for (const QJsonValue &leaf : entry.toObject().value(QStringLiteral("leaf")).toArray())
                ids << leaf.toObject().value(QStringLiteral("qid")).toString();
        }
    }
    return ids;
}

// Reads every column of the current row, as a loader must.
int touchRow(const QSqlQuery &query)
{
    const QSqlRecord row = query.record();
    int characters = 0;
    for (int column = 0; column < row.count(); ++column)
        characters += row.value(column).toString().size();
    return characters;
}

} // namespace

PaperFloors::PaperFloors(const BenchContext &context)
    : m_context(context), m_questionIds(paperQuestionIds(context.db, context.paperId))
{
}

double PaperFloors::fetchPaperRows()
{
    QElapsedTimer timer;
    timer.start();
    int characters = 0;
    QSqlQuery paper(m_context.db);
    paper.setForwardOnly(true);
    paper.prepare(QStringLiteral("select a.*,b.answers from exam_paper a LEFT JOIN exam_answer b on a.id=b.paperId where a.id=:id"));
    paper.bindValue(QStringLiteral(":id"), m_context.paperId);
    paper.exec();
    while (paper.next())
        characters += touchRow(paper);
    QSqlQuery sections(m_context.db);
    sections.setForwardOnly(true);
    sections.prepare(QStringLiteral("select a.*,b.name as bname from exam_paper_static a, exam_dic_fuleixing b "
                                    "where a.fuleixingid=b.id AND a.paperId=:id order by a.sequence"));
    sections.bindValue(QStringLiteral(":id"), m_context.paperId);
    sections.exec();
    while (sections.next())
        characters += touchRow(sections);
    QSqlQuery question(m_context.db);
    question.setForwardOnly(true);
    question.prepare(QStringLiteral("select * from exam_question where id=:id"));
    for (const QString &id : m_questionIds) {
        question.bindValue(QStringLiteral(":id"), id);
        question.exec();
        while (question.next())
            characters += touchRow(question);
    }
    const double ms = elapsedMs(timer);
    return characters > 0 ? ms : -1;
}

double PaperFloors::writeHandInRows(const ExamPaper &paper)
{
    QSqlDatabase db = m_context.db;
    // Set up untimed: the texts the program builds before it writes.
    const QDateTime handedInAt = QDateTime::currentDateTime();
    const QDate today = handedInAt.date();
    const QDate examDate = ReviewStore::examDate();
    const HistoryRecord history =
        HistoryRecord::ofPaper(paper, QLatin1String(floorPaperId), handedInAt, PaperGrader::secondsUsed(paper));
    QStringList marked;
    for (const auto &question : paper.questions)
        marked << floorQuestionId(question->id);

    QElapsedTimer timer;
    timer.start();
    bool ok = db.transaction();
    // The cards of the paper's questions, read in one statement.
    QHash<QString, ReviewCard> cards;
    QSqlQuery read(db);
    read.setForwardOnly(true);
    read.prepare(QStringLiteral("select questionId,stability,difficulty,lastReview,due,reviews,lapses from review_card "
                                "where questionId in (select value from json_each(:ids))"));
    read.bindValue(QStringLiteral(":ids"), jsonList(marked));
    ok = read.exec() && ok;
    while (read.next()) {
        ReviewCard card;
        card.questionId = read.value(0).toString();
        card.memory = {read.value(1).toDouble(), read.value(2).toDouble()};
        card.lastReview = QDate::fromString(read.value(3).toString(), Qt::ISODate);
        card.due = QDate::fromString(read.value(4).toString(), Qt::ISODate);
        card.reviews = read.value(5).toInt();
        card.lapses = read.value(6).toInt();
        cards.insert(card.questionId, card);
    }
    QSqlQuery saveCard(db), logReview(db);
    saveCard.prepare(QStringLiteral("insert or replace into review_card(questionId,stability,difficulty,lastReview,due,reviews,lapses)"
                                    "values(?,?,?,?,?,?,?)"));
    logReview.prepare(QStringLiteral("insert into review_log(questionId,reviewDate,grade,elapsedDays,stability,difficulty,due)"
                                     "values(?,?,?,?,?,?,?)"));
    // The same decisions as the program's book: a wrong answer enters (or
    // moves) the question, a right one that is now mastered takes it out.
    const MemoryModel model;
    QStringList mastered, leaving;
    QHash<QString, const ExamQuestion *> entering;
    for (const auto &question : paper.questions) {
        const std::optional<ReviewGrade> grade = AnswerGrade::of(*question);
        if (!grade)
            continue;
        const QString id = floorQuestionId(question->id);
        ReviewCard card = cards.value(id);
        card.questionId = id;
        const int elapsed = card.isNew() ? 0 : int(qMax<qint64>(0, card.lastReview.daysTo(today)));
        card.review(model, *grade, today);
        cards.insert(id, card);
        const QString day = card.lastReview.toString(Qt::ISODate), due = card.due.toString(Qt::ISODate);
        for (const QVariant &value : {QVariant(id), QVariant(card.memory.stability), QVariant(card.memory.difficulty),
                                      QVariant(day), QVariant(due), QVariant(card.reviews), QVariant(card.lapses)})
            saveCard.addBindValue(value);
        for (const QVariant &value : {QVariant(id), QVariant(day), QVariant(static_cast<int>(*grade)), QVariant(elapsed),
                                      QVariant(card.memory.stability), QVariant(card.memory.difficulty), QVariant(due)})
            logReview.addBindValue(value);
        ok = saveCard.exec() && logReview.exec() && ok;
        if (*grade == ReviewGrade::Again) {
            entering.insert(id, question.get());
            leaving << id;
        } else if (MasteryRule::isMastered(card, today, examDate)) {
            entering.remove(id);
            mastered << id;
            leaving << id;
        }
    }
    QSqlQuery keep(db);
    keep.prepare(QStringLiteral("insert or replace into mastered_question(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid,masteredOn) "
                                "select questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid,? "
                                "from error_answer where questionId=? limit 1"));
    for (const QString &id : qAsConst(mastered)) {
        keep.addBindValue(today.toString(Qt::ISODate));
        keep.addBindValue(id);
        ok = keep.exec() && ok;
    }
    QSqlQuery leave(db);
    leave.prepare(QStringLiteral("delete from error_answer where questionId in (select value from json_each(?))"));
    leave.addBindValue(jsonList(leaving));
    ok = leave.exec() && ok;
    QSqlQuery book(db), forget(db);
    book.prepare(QStringLiteral("insert into error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid)values(?,?,?,?,?,?,?)"));
    forget.prepare(QStringLiteral("delete from mastered_question where questionId=?"));
    for (const auto &question : paper.questions) {
        const QString id = floorQuestionId(question->id);
        if (entering.value(id) != question.get())
            continue;
        for (const QVariant &value : {QVariant(id), QVariant(paper.subjectId), QVariant(question->chapterId),
                                      QVariant(question->parentId), QVariant(QLatin1String(floorPaperId)),
                                      QVariant(question->seq), QVariant(question->fuleixingid)})
            book.addBindValue(value);
        forget.addBindValue(id);
        ok = book.exec() && forget.exec() && ok;
    }
    QSqlQuery dropResult(db);
    dropResult.prepare(QStringLiteral("delete from exam_answer where paperid=?"));
    dropResult.addBindValue(QLatin1String(floorPaperId));
    ok = dropResult.exec() && ok;
    QSqlQuery answer(db);
    answer.prepare(QStringLiteral("insert into exam_answer(id,subjectid,paperId,rightCount,worngCount,scoreCuont,allCount,anserDate,score,useSecond,answers)values(?,?,?,?,?,?,?,?,?,?,?)"));
    for (const QVariant &value : {QVariant(QUuid::createUuid().toString(QUuid::WithoutBraces)), QVariant(paper.subjectId),
                                  QVariant(QLatin1String(floorPaperId)), QVariant(paper.rightCount),
                                  QVariant(paper.wrongCount), QVariant(paper.score), QVariant(paper.allCount),
                                  QVariant(today), QVariant(paper.totalCent), QVariant(history.useSecond),
                                  QVariant(history.answers)})
        answer.addBindValue(value);
    ok = answer.exec() && ok;
    QSqlQuery closeRun(db);
    closeRun.prepare(QStringLiteral("delete from exam_attempt where paperId=? and mode=0"));
    closeRun.addBindValue(QLatin1String(floorPaperId));
    ok = closeRun.exec() && ok;
    QSqlQuery addHistory(db);
    addHistory.prepare(QStringLiteral(
        "insert into exam_history(paperId,subjectid,paperName,handedInAt,score,totalCent,passCent,useSecond,allowedSecond,"
        "rightCount,wrongCount,unansweredCount,bookCount,chosenSections,sections,answers) values(?,?,?,?,?,?,?,?,?,?,?,?,"
        "(select count(*) from error_answer where ifnull(subjectId,'') in (ifnull(?,''),'')),?,?,?)"));
    for (const QVariant &value :
         {QVariant(history.paperId), QVariant(history.subjectId), QVariant(history.paperName),
          QVariant(history.handedInAt.toString(storedTimeFormat())), QVariant(history.score), QVariant(history.totalCent),
          QVariant(history.passCent), QVariant(history.useSecond), QVariant(history.allowedSecond),
          QVariant(history.rightCount), QVariant(history.wrongCount), QVariant(history.unansweredCount),
          QVariant(history.subjectId), QVariant(jsonList(history.chosenSections)), QVariant(history.sections),
          QVariant(history.answers)})
        addHistory.addBindValue(value);
    ok = addHistory.exec() && ok;
    ok = db.commit() && ok;
    const double ms = elapsedMs(timer);
    if (!ok)
        db.rollback();
    return ok ? ms : -1;
}

bool PaperFloors::removeHandInRows()
{
    SqlTransaction group(m_context.db);
    const QString ownIds = QLatin1String(floorPaperId) + QStringLiteral(":%");
    for (const QString &table : {QStringLiteral("review_card"), QStringLiteral("review_log"),
                                 QStringLiteral("error_answer"), QStringLiteral("mastered_question")})
        group.exec(QStringLiteral("delete from %1 where questionId like :ids").arg(table), {{QStringLiteral(":ids"), ownIds}});
    for (const QString &table : {QStringLiteral("exam_answer"), QStringLiteral("exam_history")})
        group.exec(QStringLiteral("delete from %1 where paperId=:paperId").arg(table),
                   {{QStringLiteral(":paperId"), QLatin1String(floorPaperId)}});
    return group.finish().saved();
}
