#pragma once

#include "reviewcard.h"
#include "subjectscope.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class SqlTransaction;

// The stored review cards (review_card) and the review log (review_log).
class ReviewStore
{
public:
    // The question's card; a new card when it has none; nothing when the
    // table cannot be read.
    static std::optional<ReviewCard> card(QSqlDatabase db, const QString &questionId);
    static std::optional<ReviewCard> card(SqlTransaction &group, const QString &questionId);
    // Stores a card after a review and logs the review, in the group.
    static bool saveReview(SqlTransaction &group, const ReviewCard &card, ReviewGrade grade, int elapsedDays);

    // The cards of the questions in the wrong-question book, a new card for a
    // question that has none (it entered the book before it had one); only
    // the rows the scope keeps.
    static QVector<ReviewCard> bookCards(QSqlDatabase db, const SubjectScope &scope = SubjectScope());

    // The questions of the book to review on day today, in the planner's
    // order (ReviewPlanner); stubborn questions are listed apart, not here.
    static QStringList todaysReviews(QSqlDatabase db, const QDate &today, const QDate &examDate,
                                     const SubjectScope &scope = SubjectScope());
    // The same from the book's cards already read.
    static QStringList todaysReviews(QVector<ReviewCard> book, const QDate &today, const QDate &examDate);
    // The book's stubborn questions (MasteryRule), most lapses first.
    static QStringList stubbornQuestions(QSqlDatabase db, const SubjectScope &scope = SubjectScope());
    // Their cards, from the book's cards already read.
    static QVector<ReviewCard> stubbornCards(QVector<ReviewCard> book);

    // The mastered questions, the latest first.
    static QStringList masteredQuestions(QSqlDatabase db, const SubjectScope &scope = SubjectScope());

    // The exam date the candidate set (setting "exam_date", yyyy-MM-dd); null
    // when none is set. Setting a null date removes it.
    static QDate examDate();
    static bool setExamDate(const QDate &date);
};
