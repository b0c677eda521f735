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
#include <initializer_list>

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


// Binds values in order to the prepared statement and runs it.
bool execWith(QSqlQuery &query, std::initializer_list<QVariant> values)
{
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
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
        ok = execWith(saveCard, {id, card.memory.stability, card.memory.difficulty, day, due, card.reviews, card.lapses})
            && execWith(logReview, {id, day, static_cast<int>(*grade), elapsed, card.memory.stability,
                                    card.memory.difficulty, due})
            && ok;
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
    for (const QString &id : qAsConst(mastered))
        ok = execWith(keep, {today.toString(Qt::ISODate), id}) && ok;
    QSqlQuery leave(db);
    leave.prepare(QStringLiteral("delete from error_answer where questionId in (select value from json_each(?))"));
    ok = execWith(leave, {jsonList(leaving)}) && ok;
    QSqlQuery book(db), forget(db);
    book.prepare(QStringLiteral("insert into error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid)values(?,?,?,?,?,?,?)"));
    forget.prepare(QStringLiteral("delete from mastered_question where questionId=?"));
    for (const auto &question : paper.questions) {
        const QString id = floorQuestionId(question->id);
        if (entering.value(id) != question.get())
            continue;
        ok = execWith(book, {id, paper.subjectId, question->chapterId, question->parentId, QLatin1String(floorPaperId),
                             question->seq, question->fuleixingid})
            && execWith(forget, {id}) && ok;
    }
    QSqlQuery dropResult(db);
    dropResult.prepare(QStringLiteral("delete from exam_answer where paperid=?"));
    ok = execWith(dropResult, {QLatin1String(floorPaperId)}) && ok;
    QSqlQuery answer(db);
    answer.prepare(QStringLiteral("insert into exam_answer(id,subjectid,paperId,rightCount,worngCount,scoreCuont,allCount,anserDate,score,useSecond,answers)values(?,?,?,?,?,?,?,?,?,?,?)"));
    ok = execWith(answer, {QUuid::createUuid().toString(QUuid::WithoutBraces), paper.subjectId, QLatin1String(floorPaperId),
                           paper.rightCount, paper.wrongCount, paper.score, paper.allCount, today, paper.totalCent,
                           history.useSecond, history.answers})
        && ok;
    QSqlQuery closeRun(db);
    closeRun.prepare(QStringLiteral("delete from exam_attempt where paperId=? and mode=0"));
    ok = execWith(closeRun, {QLatin1String(floorPaperId)}) && ok;
    QSqlQuery addHistory(db);
    addHistory.prepare(QStringLiteral(
        "insert into exam_history(paperId,subjectid,paperName,handedInAt,score,totalCent,passCent,useSecond,allowedSecond,"
        "rightCount,wrongCount,unansweredCount,bookCount,chosenSections,sections,answers) values(?,?,?,?,?,?,?,?,?,?,?,?,"
        "(select count(*) from error_answer where ifnull(subjectId,'') in (ifnull(?,''),'')),?,?,?)"));
    ok = execWith(addHistory, {history.paperId, history.subjectId, history.paperName,
                               history.handedInAt.toString(storedTimeFormat()), history.score, history.totalCent,
                               history.passCent, history.useSecond, history.allowedSecond, history.rightCount,
                               history.wrongCount, history.unansweredCount, history.subjectId,
                               jsonList(history.chosenSections), history.sections, history.answers})
        && ok;
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
