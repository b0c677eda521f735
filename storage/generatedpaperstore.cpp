#include "generatedpaperstore.h"

#include "boundstatement.h"
#include "questionidlist.h"
#include "sqltransaction.h"

#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <cmath>

namespace {

const QString paperType = QStringLiteral("generated");

int answerableItems(const DrawCandidate &question)
{
    return question.caseStudy ? question.partIds.size() : 1;
}

double sectionMarks(const DrawnSection &section)
{
    double marks = 0;
    for (const DrawCandidate &question : section.questions)
        marks += question.marks;
    return marks;
}

int sectionItems(const DrawnSection &section)
{
    int items = 0;
    for (const DrawCandidate &question : section.questions)
        items += answerableItems(question);
    return items;
}

int nextNumber(QSqlDatabase db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("select ifnull(max(rowid),0)+1 from generated_paper"))
        || !query.next())
        return 1;
    return query.value(0).toInt();
}

bool writeSection(QSqlDatabase db, const QString &paperId, const QString &subjectId, int sequence,
                  const DrawnSection &section)
{
    QVector<QuestionIdEntry> entries;
    for (const DrawCandidate &question : section.questions)
        entries << QuestionIdEntry{question.id, question.partIds};
    return execBound(db, QStringLiteral("insert into exam_paper_static(id,paperId,subjectid,sequence,captionName,questionTypeid,fuleixingid,questionIds,quantity,mark,isselect)"
                                        "values(:id,:paperId,:subjectid,:sequence,:captionName,:questionTypeid,:fuleixingid,:questionIds,:quantity,:mark,0)"),
                     {{QStringLiteral(":id"), paperId + QStringLiteral("-s") + QString::number(sequence)},
                      {QStringLiteral(":paperId"), paperId},
                      {QStringLiteral(":subjectid"), subjectId},
                      {QStringLiteral(":sequence"), sequence},
                      {QStringLiteral(":captionName"), GeneratedPaperStore::caption(section)},
                      {QStringLiteral(":questionTypeid"), section.section.questionType},
                      {QStringLiteral(":fuleixingid"), section.section.categoryId},
                      {QStringLiteral(":questionIds"), QuestionIdList::write(entries)},
                      {QStringLiteral(":quantity"), sectionItems(section)},
                      {QStringLiteral(":mark"), sectionMarks(section)}});
}

// A shipped paper of the row's subject whose sections list the question (as a
// question or as a case-study part), for the book rows of a deleted paper.
const QString shippedPaperListing = QStringLiteral(
    "(select s.paperId from exam_paper_static s, "
    "json_each(case when json_valid(s.questionIds) then s.questionIds else '[]' end) j "
    "where s.paperId<>:paperId and s.paperId not in (select paperId from generated_paper) "
    "and (json_extract(j.value,'$.qid')=%1.questionId or exists (select 1 from "
    "json_each(case when json_type(j.value,'$.leaf')='array' then json_extract(j.value,'$.leaf') else '[]' end) l "
    "where json_extract(l.value,'$.qid')=%1.questionId)) order by s.paperId limit 1)");

bool refileRows(QSqlDatabase db, const QString &table, const QString &paperId)
{
    const QString listing = shippedPaperListing.arg(table);
    return execBound(db, QStringLiteral("update %1 set examid=ifnull(%2, examid) where examid=:paperId").arg(table, listing),
                     {{QStringLiteral(":paperId"), paperId}});
}

} // namespace

QString GeneratedPaperStore::caption(const DrawnSection &section)
{
    const int items = sectionItems(section);
    const double total = sectionMarks(section);
    const double each = items > 0 ? total / items : 0;
    bool even = true;
    for (const DrawCandidate &question : section.questions)
        even = even && std::abs(question.marks - each * answerableItems(question)) < 1e-9;
    QString text = section.section.categoryName + QStringLiteral("（共") + QString::number(items) + QStringLiteral("题，");
    if (even && items > 0)
        text += QStringLiteral("每题") + QString::number(each) + QStringLiteral("分，");
    return text + QStringLiteral("共") + QString::number(total) + QStringLiteral("分）");
}

QString GeneratedPaperStore::create(QSqlDatabase db, const Paper &paper)
{
    if (paper.sections.isEmpty())
        return QString();
    SqlTransaction transaction(db);
    if (!transaction.started())
        return QString();
    const QString paperId = QStringLiteral("gen-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const int number = nextNumber(db);
    double total = 0;
    for (const DrawnSection &section : paper.sections)
        total += sectionMarks(section);
    bool ok = execBound(db, QStringLiteral("insert or ignore into t_dic_data(id,dtype,typekey,name) values(:id,0,'sjlx','随机组卷')"),
                        {{QStringLiteral(":id"), paperType}})
        && execBound(db, QStringLiteral("insert into exam_paper(id,name,asname,subjectId,totalCent,passCent,examTime,xzremark,xzcount,paperTypeid,sortNo)"
                                        "values(:id,:name,:asname,:subjectId,:totalCent,:passCent,:examTime,'',0,:paperTypeid,:sortNo)"),
                     {{QStringLiteral(":id"), paperId},
                      {QStringLiteral(":name"), QStringLiteral("随机组卷（第%1套）").arg(number)},
                      {QStringLiteral(":asname"), QStringLiteral("随机组卷")},
                      {QStringLiteral(":subjectId"), paper.subjectId},
                      {QStringLiteral(":totalCent"), total},
                      {QStringLiteral(":passCent"), std::round(total * paper.passRatio)},
                      {QStringLiteral(":examTime"), paper.examMinutes},
                      {QStringLiteral(":paperTypeid"), paperType},
                      {QStringLiteral(":sortNo"), 100000 + number}})
        && execBound(db, QStringLiteral("insert into generated_paper(paperId,createdOn,seed) values(:id,:day,:seed)"),
                     {{QStringLiteral(":id"), paperId},
                      {QStringLiteral(":day"), paper.createdOn.toString(Qt::ISODate)},
                      {QStringLiteral(":seed"), qint64(paper.seed)}});
    for (int i = 0; ok && i < paper.sections.size(); ++i)
        ok = writeSection(db, paperId, paper.subjectId, i + 1, paper.sections.at(i));
    return ok && transaction.commit() ? paperId : QString();
}

bool GeneratedPaperStore::remove(QSqlDatabase db, const QString &paperId)
{
    SqlTransaction transaction(db);
    if (!transaction.started())
        return false;
    QSqlQuery drawn(db);
    drawn.prepare(QStringLiteral("select count(*) from generated_paper where paperId=:id"));
    drawn.bindValue(QStringLiteral(":id"), paperId);
    if (!drawn.exec() || !drawn.next() || drawn.value(0).toInt() != 1)
        return false;
    const QVariantMap id{{QStringLiteral(":paperId"), paperId}};
    return refileRows(db, QStringLiteral("error_answer"), paperId)
        && refileRows(db, QStringLiteral("mastered_question"), paperId)
        && execBound(db, QStringLiteral("delete from exam_answer where paperId=:paperId"), id)
        && execBound(db, QStringLiteral("delete from exam_paper_static where paperId=:paperId"), id)
        && execBound(db, QStringLiteral("delete from exam_paper where id=:paperId"), id)
        && execBound(db, QStringLiteral("delete from generated_paper where paperId=:paperId"), id)
        && transaction.commit();
}

int GeneratedPaperStore::count(QSqlDatabase db, const QString &subjectId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select count(*) from generated_paper g join exam_paper p on p.id=g.paperId "
                                 "where ifnull(:all,'')='' or p.subjectId=:subject"));
    query.bindValue(QStringLiteral(":all"), subjectId);
    query.bindValue(QStringLiteral(":subject"), subjectId);
    return query.exec() && query.next() ? query.value(0).toInt() : 0;
}
