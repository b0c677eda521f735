#include "reviewstore.h"

#include "boundstatement.h"
#include "masteryrule.h"
#include "reviewplanner.h"
#include "settingsstore.h"
#include "sqltransaction.h"

#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace {

const QString examDateKey = QStringLiteral("exam_date");

// Days are stored as yyyy-MM-dd. Read by hand: a parse through a format
// string costs tens of microseconds, and a hand-in or the start page reads
// two days for each of thousands of cards.
QString dayText(const QDate &day)
{
    return day.isValid() ? day.toString(Qt::ISODate) : QString();
}

QDate dayOf(const QVariant &value)
{
    const QString text = value.toString();
    if (text.size() != 10 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-'))
        return QDate();
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int part = 0; part < 3; ++part) {
        for (int at = starts[part]; at < starts[part] + lengths[part]; ++at) {
            const QChar digit = text.at(at);
            if (digit < QLatin1Char('0') || digit > QLatin1Char('9'))
                return QDate();
            parts[part] = parts[part] * 10 + (digit.unicode() - '0');
        }
    }
    return QDate(parts[0], parts[1], parts[2]);
}

// Columns: questionId, stability, difficulty, lastReview, due, reviews, lapses.
ReviewCard cardFrom(const QSqlQuery &row)
{
    ReviewCard card;
    card.questionId = row.value(0).toString();
    if (row.value(1).isNull())
        return card;
    card.memory = {row.value(1).toDouble(), row.value(2).toDouble()};
    card.lastReview = dayOf(row.value(3));
    card.due = dayOf(row.value(4));
    card.reviews = row.value(5).toInt();
    card.lapses = row.value(6).toInt();
    return card;
}

ReviewCard newCard(const QString &questionId)
{
    ReviewCard fresh;
    fresh.questionId = questionId;
    return fresh;
}

const char *const cardSql = "select questionId, stability, difficulty, lastReview, due, reviews, lapses "
                            "from review_card where questionId=:id";

} // namespace

std::optional<ReviewCard> ReviewStore::card(QSqlDatabase db, const QString &questionId)
{
    QSqlQuery query(db);
    if (!query.prepare(QLatin1String(cardSql)))
        return std::nullopt;
    query.bindValue(QStringLiteral(":id"), questionId);
    if (!query.exec())
        return std::nullopt;
    return query.next() ? cardFrom(query) : newCard(questionId);
}

std::optional<ReviewCard> ReviewStore::card(SqlTransaction &group, const QString &questionId)
{
    QSqlQuery *query = group.run(QLatin1String(cardSql), {{QStringLiteral(":id"), questionId}});
    if (!query)
        return std::nullopt;
    const ReviewCard card = query->next() ? cardFrom(*query) : newCard(questionId);
    query->finish();
    return card;
}

bool ReviewStore::saveReview(SqlTransaction &group, const ReviewCard &card, ReviewGrade grade, int elapsedDays)
{
    return group.exec(QStringLiteral("insert or replace into review_card(questionId,stability,difficulty,lastReview,due,reviews,lapses)"
                                     "values(:id,:stability,:difficulty,:lastReview,:due,:reviews,:lapses)"),
                      {{QStringLiteral(":id"), card.questionId},
                       {QStringLiteral(":stability"), card.memory.stability},
                       {QStringLiteral(":difficulty"), card.memory.difficulty},
                       {QStringLiteral(":lastReview"), dayText(card.lastReview)},
                       {QStringLiteral(":due"), dayText(card.due)},
                       {QStringLiteral(":reviews"), card.reviews},
                       {QStringLiteral(":lapses"), card.lapses}})
        && group.exec(QStringLiteral("insert into review_log(questionId,reviewDate,grade,elapsedDays,stability,difficulty,due)"
                                     "values(:id,:day,:grade,:elapsed,:stability,:difficulty,:due)"),
                      {{QStringLiteral(":id"), card.questionId},
                       {QStringLiteral(":day"), dayText(card.lastReview)},
                       {QStringLiteral(":grade"), static_cast<int>(grade)},
                       {QStringLiteral(":elapsed"), elapsedDays},
                       {QStringLiteral(":stability"), card.memory.stability},
                       {QStringLiteral(":difficulty"), card.memory.difficulty},
                       {QStringLiteral(":due"), dayText(card.due)}});
}

QVector<ReviewCard> ReviewStore::bookCards(QSqlDatabase db, const SubjectScope &scope)
{
    QVector<ReviewCard> cards;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral(
            "select b.questionId, c.stability, c.difficulty, c.lastReview, c.due, c.reviews, c.lapses "
            "from (select distinct questionId from error_answer") + scope.whereClause(QStringLiteral("subjectId"))
                       + QStringLiteral(") b left join review_card c on c.questionId=b.questionId order by b.questionId")))
        return cards;
    scope.bind(query);
    if (!query.exec())
        return cards;
    while (query.next())
        cards << cardFrom(query);
    return cards;
}

QStringList ReviewStore::todaysReviews(QSqlDatabase db, const QDate &today, const QDate &examDate,
                                       const SubjectScope &scope)
{
    return todaysReviews(bookCards(db, scope), today, examDate);
}

QStringList ReviewStore::todaysReviews(QVector<ReviewCard> book, const QDate &today, const QDate &examDate)
{
    book.erase(std::remove_if(book.begin(), book.end(), &MasteryRule::isStubborn), book.end());
    const MemoryModel model;
    return ReviewPlanner(model, today, examDate).todaysReviews(book);
}

QStringList ReviewStore::stubbornQuestions(QSqlDatabase db, const SubjectScope &scope)
{
    QStringList ids;
    for (const ReviewCard &card : stubbornCards(bookCards(db, scope)))
        ids << card.questionId;
    return ids;
}

QVector<ReviewCard> ReviewStore::stubbornCards(QVector<ReviewCard> book)
{
    book.erase(std::remove_if(book.begin(), book.end(),
                              [](const ReviewCard &card) { return !MasteryRule::isStubborn(card); }),
               book.end());
    std::stable_sort(book.begin(), book.end(),
                     [](const ReviewCard &a, const ReviewCard &b) { return a.lapses > b.lapses; });
    return book;
}

QStringList ReviewStore::masteredQuestions(QSqlDatabase db, const SubjectScope &scope)
{
    QStringList ids;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("select questionId from mastered_question") + scope.whereClause(QStringLiteral("subjectId"))
                       + QStringLiteral(" order by masteredOn desc, questionId")))
        return ids;
    scope.bind(query);
    if (!query.exec())
        return ids;
    while (query.next())
        ids << query.value(0).toString();
    return ids;
}

QDate ReviewStore::examDate()
{
    return dayOf(SettingsStore::value(examDateKey));
}

bool ReviewStore::setExamDate(const QDate &date)
{
    return date.isValid() ? SettingsStore::setValue(examDateKey, dayText(date)) : SettingsStore::remove(examDateKey);
}
