#include "statisticsfigures.h"

#include "bankquestion.h"
#include "storedtime.h"
#include "subjectscope.h"

#include <QHash>
#include <QMap>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace {

// Runs a statement of the figures with the scope's value bound; false when it
// fails (the figure stays empty).
bool run(QSqlQuery &query, const QString &sql, const SubjectScope &scope)
{
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return false;
    scope.bind(query);
    return query.exec();
}

// The hand-ins, oldest first: scores, times, book sizes, and the hand-ins of
// each day.
QMap<QDate, int> readHandIns(StatisticsFigures &figures, QSqlDatabase db, const SubjectScope &scope)
{
    QMap<QDate, int> perDay;
    QSqlQuery query(db);
    if (!run(query,
             QStringLiteral("SELECT paperId, paperName, handedInAt, score, totalCent, useSecond, allowedSecond, "
                            "bookCount FROM exam_history")
                 + scope.whereClause(QStringLiteral("subjectid")) + QStringLiteral(" ORDER BY handedInAt, id"),
             scope))
        return perDay;
    QHash<QString, int> seriesOfPaper;
    while (query.next()) {
        figures.handIns += 1;
        const QString paperId = query.value(0).toString();
        const QString name = query.value(1).toString();
        const QDateTime at = QDateTime::fromString(query.value(2).toString(), storedTimeFormat());
        const double total = query.value(4).toDouble();
        if (!seriesOfPaper.contains(paperId)) {
            seriesOfPaper.insert(paperId, figures.scores.size());
            figures.scores.append({paperId, name, {}});
        }
        figures.scores[seriesOfPaper.value(paperId)].percents.append(
            total > 0 ? 100.0 * query.value(3).toDouble() / total : 0.0);
        if (query.value(6).toInt() > 0)
            figures.times.append({at, name, query.value(5).toInt(), query.value(6).toInt()});
        if (!query.value(7).isNull())
            figures.book.append({at, query.value(7).toInt()});
        if (at.isValid())
            perDay[at.date()] += 1;
    }
    if (figures.times.size() > StatisticsFigures::timedHandIns)
        figures.times = figures.times.mid(figures.times.size() - StatisticsFigures::timedHandIns);
    figures.daysPractised = perDay.size();
    return perDay;
}

void fillStrip(StatisticsFigures &figures, const QMap<QDate, int> &perDay, const QDate &today)
{
    const QDate first = today.addDays(-(today.dayOfWeek() - 1) - 7 * (StatisticsFigures::calendarWeeks - 1));
    for (QDate day = first; day <= today; day = day.addDays(1))
        figures.days.append({day, perDay.value(day)});
}

QVector<StatisticsFigures::Accuracy> weakestFirst(const QMap<QString, StatisticsFigures::Accuracy> &groups)
{
    QVector<StatisticsFigures::Accuracy> list = groups.values().toVector();
    std::stable_sort(list.begin(), list.end(), [](const auto &a, const auto &b) {
        if (a.percent() != b.percent())
            return a.percent() < b.percent();
        return a.total > b.total;
    });
    return list;
}

// Every answer of every sheet, by the question's type and chapter (or its
// category when it names no chapter). Composite stems hold no answer.
void readAccuracy(StatisticsFigures &figures, QSqlDatabase db, const SubjectScope &scope)
{
    QSqlQuery query(db);
    if (!run(query,
             QStringLiteral(
                 "SELECT q.questionTypeid, coalesce(nullif(c.name,''), nullif(f.name,''), '未分章节'), "
                 "json_extract(j.value,'$.status') = 0, count(*) FROM exam_history h, "
                 "json_each(CASE WHEN json_valid(h.answers) THEN h.answers ELSE '[]' END) j "
                 "JOIN exam_question q ON q.id = json_extract(j.value,'$.qid') "
                 "LEFT JOIN exam_chapter c ON c.id = q.chapterId "
                 "LEFT JOIN exam_dic_fuleixing f ON f.id = q.fuleixingid "
                 "WHERE q.questionTypeid <> 6")
                 + scope.andClause(QStringLiteral("h.subjectid")) + QStringLiteral(" GROUP BY 1, 2, 3"),
             scope))
        return;
    QMap<QString, StatisticsFigures::Accuracy> types;
    QMap<QString, StatisticsFigures::Accuracy> chapters;
    while (query.next()) {
        const QString type = BankQuestion::typeTitle(query.value(0).toInt());
        const QString chapter = query.value(1).toString();
        const int count = query.value(3).toInt();
        const int right = query.value(2).toInt() == 1 ? count : 0;
        for (auto *group : {&types[type], &chapters[chapter]}) {
            group->right += right;
            group->total += count;
        }
        types[type].name = type;
        chapters[chapter].name = chapter;
    }
    figures.byType = weakestFirst(types);
    figures.byChapter = weakestFirst(chapters);
}

} // namespace

StatisticsFigures StatisticsFigures::compute(QSqlDatabase db, const SubjectScope &scope, const QDate &today)
{
    StatisticsFigures figures;
    const QMap<QDate, int> perDay = readHandIns(figures, db, scope);
    readAccuracy(figures, db, scope);
    fillStrip(figures, perDay, today);
    return figures;
}

