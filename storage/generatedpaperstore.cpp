#include "generatedpaperstore.h"

#include "boundstatement.h"
#include "markedpapers.h"
#include "questionidlist.h"
#include "resultstore.h"
#include "sqltransaction.h"
#include "wrongbook.h"

#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <cmath>

namespace {

const QString paperType = QStringLiteral("generated");
const QString markerTable = QStringLiteral("generated_paper");

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

WriteOutcome GeneratedPaperStore::remove(QSqlDatabase db, const QString &paperId)
{
    if (!MarkedPapers::marks(db, markerTable, paperId))
        return WriteOutcome::failed(QStringLiteral("这套试卷不是随机组成的"));
    SqlTransaction group(db);
    const QVariantMap id{{QStringLiteral(":paperId"), paperId}};
    if (WrongBook::moveRows(group, paperId, true) && ResultStore::remove(group, paperId)) {
        group.exec(QStringLiteral("delete from exam_paper_static where paperId=:paperId"), id);
        group.exec(QStringLiteral("delete from exam_paper where id=:paperId"), id);
        group.exec(QStringLiteral("delete from generated_paper where paperId=:paperId"), id);
    }
    return group.finish();
}

int GeneratedPaperStore::count(QSqlDatabase db, const QString &subjectId)
{
    return MarkedPapers::count(db, markerTable, subjectId);
}
