#include "paperfloors.h"

#include "answersheet.h"
#include "exampaper.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace {

const char *const floorPaperId = "bench-floor";

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
    const QString sheet = AnswerSheet::stored(paper.answerSheet);
    QVector<const ExamQuestion *> wrong;
    for (const auto &question : paper.questions)
        if (question->type != ExamQuestion::Composite && question->status == 1)
            wrong << question.get();

    QElapsedTimer timer;
    timer.start();
    bool ok = db.transaction();
    QSqlQuery answer(db);
    answer.prepare(QStringLiteral("insert into exam_answer(id,subjectid,paperId,rightCount,worngCount,scoreCuont,allCount,anserDate,score,useSecond,answers)values(:id,:subjectid,:paperId,:rightCount,:worngCount,:scoreCuont,:allCount,:anserDate,:score,:useSecond,:answers)"));
    answer.bindValue(QStringLiteral(":id"), QUuid::createUuid().toString(QUuid::WithoutBraces));
    answer.bindValue(QStringLiteral(":subjectid"), paper.subjectId);
    answer.bindValue(QStringLiteral(":paperId"), QLatin1String(floorPaperId));
    answer.bindValue(QStringLiteral(":rightCount"), paper.rightCount);
    answer.bindValue(QStringLiteral(":worngCount"), paper.wrongCount);
    answer.bindValue(QStringLiteral(":scoreCuont"), paper.score);
    answer.bindValue(QStringLiteral(":allCount"), paper.allCount);
    answer.bindValue(QStringLiteral(":anserDate"), QDate::currentDate());
    answer.bindValue(QStringLiteral(":score"), paper.totalCent);
    answer.bindValue(QStringLiteral(":useSecond"), 1800);
    answer.bindValue(QStringLiteral(":answers"), sheet);
    ok = answer.exec() && ok;
    QSqlQuery book(db);
    book.prepare(QStringLiteral("insert into error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid)values(:questionId,:subjectId,:chapterId,:parentId,:examid,:sequence,:fuleixingid)"));
    for (const ExamQuestion *question : wrong) {
        book.bindValue(QStringLiteral(":questionId"), question->id);
        book.bindValue(QStringLiteral(":subjectId"), paper.subjectId);
        book.bindValue(QStringLiteral(":chapterId"), question->chapterId);
        book.bindValue(QStringLiteral(":parentId"), question->parentId);
        book.bindValue(QStringLiteral(":examid"), QLatin1String(floorPaperId));
        book.bindValue(QStringLiteral(":sequence"), question->seq);
        book.bindValue(QStringLiteral(":fuleixingid"), question->fuleixingid);
        ok = book.exec() && ok;
    }
    ok = db.commit() && ok;
    const double ms = elapsedMs(timer);
    QSqlQuery cleanUp(db);
    cleanUp.exec(QStringLiteral("delete from exam_answer where paperId='bench-floor'"));
    cleanUp.exec(QStringLiteral("delete from error_answer where examid='bench-floor'"));
    return ok ? ms : -1;
}
