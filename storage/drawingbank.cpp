#include "drawingbank.h"

#include "questionidlist.h"

#include <QHash>
#include <QSqlQuery>
#include <QVariant>

namespace {

// Runs sql with :subject bound; false when it fails.
bool select(QSqlQuery &query, const QString &sql, const QString &subjectId)
{
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return false;
    query.bindValue(QStringLiteral(":subject"), subjectId);
    return query.exec();
}

QString text(const QSqlQuery &row, int column)
{
    return row.value(column).toString();
}

struct Seen
{
    int lapses = 0;
    QDate lastSeen;
};

// What the candidate did with each question so far, from its review card.
QHash<QString, Seen> seenQuestions(QSqlDatabase db)
{
    QHash<QString, Seen> seen;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select questionId, lapses, lastReview from review_card")))
        return seen;
    while (query.next())
        seen.insert(text(query, 0), {query.value(1).toInt(), QDate::fromString(text(query, 2), Qt::ISODate)});
    return seen;
}

void addSeen(DrawCandidate &candidate, const Seen &seen)
{
    candidate.lapses = qMax(candidate.lapses, seen.lapses);
    if (seen.lastSeen.isValid() && (!candidate.lastSeen.isValid() || seen.lastSeen > candidate.lastSeen))
        candidate.lastSeen = seen.lastSeen;
}

} // namespace

QVector<BlueprintSource> DrawingBank::blueprintSources(QSqlDatabase db, const QString &subjectId)
{
    QVector<BlueprintSource> sources;
    QSqlQuery query(db);
    if (!select(query, QStringLiteral(
                    "select p.id, ifnull(p.sortNo,0), exists(select 1 from t_dic_data d where d.id=p.paperTypeid and d.dtype=1), "
                    "p.examTime, p.totalCent, p.passCent, s.sequence, s.fuleixingid, ifnull(f.name,''), "
                    "ifnull(f.questionTypeId, s.questionTypeid), s.questionIds, ifnull(s.isselect,0) "
                    "from exam_paper p join exam_paper_static s on s.paperId=p.id "
                    "left join exam_dic_fuleixing f on f.id=s.fuleixingid "
                    "where p.subjectId=:subject and p.id not in (select paperId from generated_paper)"),
                subjectId))
        return sources;
    while (query.next()) {
        BlueprintSource source;
        source.paperId = text(query, 0);
        source.paperSortNo = query.value(1).toInt();
        source.mockPaper = query.value(2).toBool();
        source.examMinutes = query.value(3).toInt();
        source.totalCent = query.value(4).toDouble();
        source.passCent = query.value(5).toDouble();
        source.sequence = query.value(6).toInt();
        source.categoryId = text(query, 7);
        source.categoryName = text(query, 8);
        source.questionType = query.value(9).toInt();
        source.topLevelCount = QuestionIdList::parse(text(query, 10)).size();
        source.optional = query.value(11).toInt() > 0;
        sources << source;
    }
    return sources;
}

QVector<DrawCandidate> DrawingBank::candidates(QSqlDatabase db, const QString &subjectId)
{
    QVector<DrawCandidate> result;
    const QHash<QString, Seen> seen = seenQuestions(db);
    QSqlQuery query(db);
    if (!select(query, QStringLiteral(
                    "select q.id, q.fuleixingid, ifnull(q.chapterId,''), q.questionTypeid, ifnull(q.cent,0) "
                    "from exam_question q where ifnull(q.relationship,'')='' "
                    "and q.fuleixingid in (select id from exam_dic_fuleixing where subjectid=:subject) "
                    "order by q.id"),
                subjectId))
        return result;
    QHash<QString, int> caseStudies;
    while (query.next()) {
        DrawCandidate candidate;
        candidate.id = text(query, 0);
        candidate.categoryId = text(query, 1);
        candidate.chapterId = text(query, 2);
        candidate.caseStudy = query.value(3).toInt() == 6;
        candidate.marks = candidate.caseStudy ? 0 : query.value(4).toDouble();
        addSeen(candidate, seen.value(candidate.id));
        if (candidate.caseStudy)
            caseStudies.insert(candidate.id, result.size());
        result << candidate;
    }

    QSqlQuery parts(db);
    if (!select(parts, QStringLiteral(
                    "select q.id, q.relationship, ifnull(q.cent,0) from exam_question q "
                    "where ifnull(q.relationship,'')<>'' and q.relationship in (select id from exam_question "
                    "where fuleixingid in (select id from exam_dic_fuleixing where subjectid=:subject)) "
                    "order by q.relationship, q.sortNo, q.id"),
                subjectId))
        return result;
    while (parts.next()) {
        const int index = caseStudies.value(text(parts, 1), -1);
        if (index < 0)
            continue;
        DrawCandidate &caseStudy = result[index];
        caseStudy.partIds << text(parts, 0);
        caseStudy.marks += parts.value(2).toDouble();
        addSeen(caseStudy, seen.value(text(parts, 0)));
    }
    return result;
}

QVector<DrawingBank::Category> DrawingBank::categories(QSqlDatabase db, const QString &subjectId)
{
    QVector<Category> result;
    QSqlQuery query(db);
    if (!select(query, QStringLiteral("select id, name, ifnull(questionTypeId,0) from exam_dic_fuleixing "
                                      "where subjectid=:subject order by questionType, id"),
                subjectId))
        return result;
    while (query.next())
        result << Category{text(query, 0), text(query, 1), query.value(2).toInt()};
    return result;
}

QVector<QPair<QString, QString>> DrawingBank::chapters(QSqlDatabase db, const QString &subjectId)
{
    QVector<QPair<QString, QString>> result;
    QSqlQuery query(db);
    if (!select(query, QStringLiteral("select id, name from exam_chapter where subjectid=:subject order by sortNo, id"),
                subjectId))
        return result;
    while (query.next())
        result << qMakePair(text(query, 0), text(query, 1));
    return result;
}
