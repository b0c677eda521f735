// The memory model, the mastery rule and the day's review plan, without a
// database: states and intervals against a worked history, same-day reviews,
// when a question is mastered, the order of the day's list and the spreading
// of the book before an exam date.
#include "answergrade.h"
#include "answerrecorder.h"
#include "exampaper.h"
#include "masteryrule.h"
#include "papergrader.h"
#include "memorymodel.h"
#include "reviewcard.h"
#include "reviewplanner.h"
#include "testsupport.h"

#include <QApplication>

namespace {

struct HistoryRow
{
    int elapsedDays;
    int grade;
    double stability;
    double difficulty;
    int interval;
};

// Defaults, retention 0.9, no fuzz.
const HistoryRow history[] = {
    {0, 3, 2.3065, 2.118104, 2},      {3, 3, 13.826904, 2.111214, 14},  {9, 1, 1.649648, 7.392238, 2},
    {1, 3, 3.671730, 7.380074, 4},    {4, 4, 15.145110, 6.489846, 15},  {20, 2, 32.201177, 7.655024, 32},
    {30, 3, 63.125122, 7.642598, 63}, {60, 3, 118.312298, 7.630183, 118}, {120, 1, 3.890188, 9.206286, 4},
    {2, 3, 5.690356, 9.192308, 6},
};

struct ReferenceStep
{
    int elapsedDays;
    int grade;
    double stability;
    double difficulty;
    int interval;
};

// Histories through same-day reviews of every grade. The expected values were
// computed once by a separate python3 script that implements the published
// formulas of the model (default weights, retention 0.9, no fuzz) on its own,
// and were pasted here; they are not read back from this program.
const std::vector<ReferenceStep> hardSameDayAfterLongInterval{
    {0, 4, 8.295600, 1.000000, 8},       {15, 3, 54.860918, 1.000000, 55},   {60, 3, 216.447444, 1.000000, 216},
    {0, 2, 216.447444, 4.010609, 216},   {147, 3, 465.796063, 4.001827, 466},
};
const std::vector<ReferenceStep> hardTwiceAfterFirst{
    {0, 3, 2.306500, 2.118104, 2}, {0, 2, 2.306500, 4.752858, 2},
    {0, 2, 2.306500, 6.501931, 2}, {2, 3, 6.691096, 6.490658, 7},
};
const std::vector<ReferenceStep> hardAgainHardSameDay{
    {0, 3, 2.306500, 2.118104, 2},  {5, 3, 18.167850, 2.111214, 18}, {0, 2, 18.167850, 4.748285, 18},
    {0, 1, 5.329899, 8.259025, 5},  {0, 2, 5.329899, 8.829488, 5},   {1, 3, 6.506375, 8.815887, 7},
};
const std::vector<ReferenceStep> goodAndEasySameDay{
    {0, 2, 1.293100, 5.112171, 1}, {0, 3, 1.335900, 5.102287, 1},
    {0, 4, 2.369135, 3.450928, 2}, {4, 2, 9.499364, 5.637649, 9},
};

ReviewCard cardReviewed(const QString &id, const QDate &last, double stability, int lapses = 0)
{
    ReviewCard card;
    card.questionId = id;
    card.memory = {stability, 5};
    card.lastReview = last;
    card.due = last.addDays(MemoryModel().intervalDays(stability));
    card.reviews = 1 + lapses;
    card.lapses = lapses;
    return card;
}

} // namespace

using ReferenceHistory = const std::vector<ReferenceStep> *;
Q_DECLARE_METATYPE(ReferenceHistory)

class ReviewTest : public QObject
{
    Q_OBJECT

private slots:
    void followsHistory_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(history)); ++i) {
            const QByteArray name = QByteArray::number(i + 1) + ": after " + QByteArray::number(history[i].elapsedDays)
                + " days, grade " + QByteArray::number(history[i].grade);
            QTest::newRow(name.constData()) << i;
        }
    }

    // Each row replays the history up to itself through a card, as the book does.
    void followsHistory()
    {
        QFETCH(int, row);
        const MemoryModel model;
        ReviewCard card;
        QDate day(2025, 1, 1);
        int interval = 0;
        for (int i = 0; i <= row; ++i) {
            day = day.addDays(history[i].elapsedDays);
            interval = card.review(model, ReviewGrade(history[i].grade), day);
        }
        QVERIFY(qAbs(card.memory.stability - history[row].stability) < 1e-5);
        QVERIFY(qAbs(card.memory.difficulty - history[row].difficulty) < 1e-5);
        QCOMPARE(interval, history[row].interval);
        QCOMPARE(card.due, day.addDays(history[row].interval));
        QCOMPARE(card.reviews, row + 1);
    }

    void followsReference_data()
    {
        QTest::addColumn<ReferenceHistory>("steps");
        QTest::newRow("hard the same day after a long interval keeps 216 days") << &hardSameDayAfterLongInterval;
        QTest::newRow("hard twice the same day as the first review") << &hardTwiceAfterFirst;
        QTest::newRow("hard, again, hard on one day") << &hardAgainHardSameDay;
        QTest::newRow("hard first, then good and easy the same day") << &goodAndEasySameDay;
    }

    // Every step of a history: stability, difficulty and interval after it.
    void followsReference()
    {
        QFETCH(ReferenceHistory, steps);
        const MemoryModel model;
        ReviewCard card;
        QDate day(2025, 1, 1);
        for (size_t i = 0; i < steps->size(); ++i) {
            const ReferenceStep &step = (*steps)[i];
            day = day.addDays(step.elapsedDays);
            const int interval = card.review(model, ReviewGrade(step.grade), day);
            const QByteArray where = "after review " + QByteArray::number(int(i) + 1) + ": S "
                + QByteArray::number(card.memory.stability, 'f', 6) + ", D "
                + QByteArray::number(card.memory.difficulty, 'f', 6);
            QVERIFY2(qAbs(card.memory.stability - step.stability) < 1e-5, where.constData());
            QVERIFY2(qAbs(card.memory.difficulty - step.difficulty) < 1e-5, where.constData());
            QCOMPARE(interval, step.interval);
        }
    }

    void sameDay_data()
    {
        QTest::addColumn<int>("grade");
        QTest::addColumn<double>("stability");
        QTest::addColumn<double>("difficulty");
        QTest::newRow("again shrinks stability") << 1 << 0.775084 << 7.394503;
        QTest::newRow("hard keeps it") << 2 << 2.3065 << 4.752858;
        QTest::newRow("good never lowers it") << 3 << 2.3065 << 2.111214;
        QTest::newRow("easy grows it, difficulty at its floor") << 4 << 3.946054 << 1.0;
    }

    void sameDay()
    {
        QFETCH(int, grade);
        QFETCH(double, stability);
        QFETCH(double, difficulty);
        const MemoryModel model;
        const MemoryState after = model.next(model.initial(ReviewGrade::Good), 0, ReviewGrade(grade));
        QVERIFY(qAbs(after.stability - stability) < 1e-5);
        QVERIFY(qAbs(after.difficulty - difficulty) < 1e-5);
    }

    void recallAndInterval_data()
    {
        QTest::addColumn<double>("retention");
        QTest::addColumn<double>("stability");
        QTest::addColumn<int>("interval");
        QTest::newRow("at least one day") << 0.9 << 0.0005 << 1;
        QTest::newRow("at most 36500 days") << 0.9 << 40000.0 << 36500;
        QTest::newRow("lower retention, longer wait") << 0.8 << 2.3065 << 8;
    }

    void recallAndInterval()
    {
        QFETCH(double, retention);
        QFETCH(double, stability);
        QFETCH(int, interval);
        const MemoryModel model(retention);
        QCOMPARE(model.intervalDays(stability), interval);
        // Stability is the day recall falls to 90%.
        QVERIFY(qAbs(model.retrievability(10, 10) - 0.9) < 1e-9);
    }

    void oddStoredState_data()
    {
        QTest::addColumn<double>("stability");
        QTest::addColumn<double>("difficulty");
        QTest::newRow("zero") << 0.0 << 0.0;
        QTest::newRow("negative") << -3.0 << 5.0;
        QTest::newRow("not a number") << qQNaN() << 5.0;
    }

    // A broken stored state counts as none: the review starts afresh.
    void oddStoredState()
    {
        QFETCH(double, stability);
        QFETCH(double, difficulty);
        const MemoryModel model;
        const MemoryState after = model.next({stability, difficulty}, 5, ReviewGrade::Good);
        QCOMPARE(after.stability, model.initial(ReviewGrade::Good).stability);
        QCOMPARE(after.difficulty, model.initial(ReviewGrade::Good).difficulty);
    }

    void gradeOfAnswer_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("answers"); // as the page reports them, in order
        QTest::addColumn<QString>("reference");
        QTest::addColumn<int>("grade");           // 0: no review
        QTest::newRow("right at once") << 1 << QStringList{"B"} << "B" << 3;
        QTest::newRow("right after changing the choice") << 1 << QStringList{"A", "B"} << "B" << 2;
        QTest::newRow("same choice reported again") << 1 << QStringList{"B", "B"} << "B" << 3;
        QTest::newRow("wrong") << 3 << QStringList{"A"} << "B" << 1;
        QTest::newRow("wrong after changing") << 3 << QStringList{"B", "A"} << "B" << 1;
        QTest::newRow("multiple choice built step by step") << 2 << QStringList{"A", "AB", "B", "BD"} << "BD" << 3;
        QTest::newRow("fill-in typed over") << 4 << QStringList{"x|", "xy|z"} << "xy|z" << 3;
        QTest::newRow("essay judged no, then yes") << 5 << QStringList{"B", "A"} << "A" << 2;
        QTest::newRow("unanswered") << 1 << QStringList() << "B" << 0;
        QTest::newRow("no reference, no answer") << 1 << QStringList() << "" << 0;
        QTest::newRow("composite stem") << 6 << QStringList() << "" << 0;
    }

    void gradeOfAnswer()
    {
        QFETCH(int, type);
        QFETCH(QStringList, answers);
        QFETCH(QString, reference);
        QFETCH(int, grade);
        ExamPaper paper;
        auto question = std::make_unique<ExamQuestion>();
        question->type = type;
        question->tname = QStringLiteral("t1");
        question->answer = reference;
        ExamQuestion *recorded = paper.addQuestion(std::move(question));
        for (const QString &answer : answers)
            AnswerRecorder::record(paper, QStringLiteral("t1"), answer);
        if (type != ExamQuestion::Composite)
            PaperGrader::markQuestion(*recorded);
        const std::optional<ReviewGrade> found = AnswerGrade::of(*recorded);
        QCOMPARE(found ? int(*found) : 0, grade);
    }

    void mastery_data()
    {
        QTest::addColumn<int>("dueInDays");
        QTest::addColumn<int>("examInDays"); // 0 for no exam date
        QTest::addColumn<bool>("mastered");
        QTest::newRow("no exam date, due in 30 days") << 30 << 0 << false;
        QTest::newRow("no exam date, due in 31 days") << 31 << 0 << true;
        QTest::newRow("due the day of the exam") << 10 << 10 << false;
        QTest::newRow("due after the exam") << 11 << 10 << true;
        QTest::newRow("exam passed: 30 days again") << 20 << -5 << false;
        QTest::newRow("exam far away, due in 40 days") << 40 << 100 << false;
    }

    void mastery()
    {
        QFETCH(int, dueInDays);
        QFETCH(int, examInDays);
        QFETCH(bool, mastered);
        const QDate today(2025, 3, 1);
        ReviewCard card = cardReviewed(QStringLiteral("q"), today, 5);
        card.due = today.addDays(dueInDays);
        const QDate exam = examInDays == 0 ? QDate() : today.addDays(examInDays);
        QCOMPARE(MasteryRule::isMastered(card, today, exam), mastered);
    }

    // Good answers from a lapse: mastered only after a few, never at the first.
    void masteredAfterSeveralRightAnswers()
    {
        const MemoryModel model;
        ReviewCard card;
        QDate day(2025, 1, 1);
        card.review(model, ReviewGrade::Again, day);
        int rightAnswers = 0;
        while (!MasteryRule::isMastered(card, day, QDate()) && rightAnswers < 20) {
            day = card.due;
            card.review(model, ReviewGrade::Good, day);
            ++rightAnswers;
        }
        QVERIFY2(rightAnswers >= 3 && rightAnswers < 20, qPrintable(QString::number(rightAnswers)));
        QCOMPARE(MasteryRule::isStubborn(card), false);
        card.lapses = MasteryRule::stubbornLapses;
        QVERIFY(MasteryRule::isStubborn(card));
    }

    void dueCountByDate_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("due");
        QTest::newRow("before anything is due") << 0 << 1; // only the never-reviewed one
        QTest::newRow("first due day") << 2 << 2;
        QTest::newRow("second due day") << 14 << 3;
        QTest::newRow("long after") << 400 << 4;
    }

    void dueCountByDate()
    {
        QFETCH(int, day);
        QFETCH(int, due);
        const QDate start(2025, 1, 1);
        const MemoryModel model;
        ReviewCard fresh;
        fresh.questionId = QStringLiteral("new");
        const QVector<ReviewCard> book{fresh, cardReviewed(QStringLiteral("a"), start, 2.3065),
                                       cardReviewed(QStringLiteral("b"), start, 13.826904),
                                       cardReviewed(QStringLiteral("c"), start, 118.312298)};
        QCOMPARE(ReviewPlanner(model, start.addDays(day), QDate()).todaysReviews(book).size(), due);
    }

    void order()
    {
        const QDate today(2025, 6, 1);
        const MemoryModel model;
        ReviewCard fresh;
        fresh.questionId = QStringLiteral("never reviewed");
        const QVector<ReviewCard> book{
            cardReviewed(QStringLiteral("slightly overdue"), today.addDays(-3), 2.3065),
            cardReviewed(QStringLiteral("long overdue"), today.addDays(-40), 2.3065),
            cardReviewed(QStringLiteral("same recall, more lapses"), today.addDays(-40), 2.3065, 3),
            cardReviewed(QStringLiteral("not due"), today.addDays(-1), 10),
            fresh};
        const QStringList expected{QStringLiteral("never reviewed"), QStringLiteral("same recall, more lapses"),
                                   QStringLiteral("long overdue"), QStringLiteral("slightly overdue")};
        QCOMPARE(ReviewPlanner(model, today, QDate()).todaysReviews(book), expected);
    }

    void examDate_data()
    {
        QTest::addColumn<int>("bookSize");
        QTest::addColumn<int>("dueNow");
        QTest::addColumn<int>("examInDays");
        QTest::addColumn<int>("today");
        QTest::newRow("30 questions, 10 days") << 30 << 0 << 10 << 3;
        QTest::newRow("uneven share rounds up") << 31 << 0 << 10 << 4;
        QTest::newRow("due questions are never held back") << 20 << 12 << 10 << 12;
        QTest::newRow("exam tomorrow: the whole book") << 7 << 0 << 1 << 7;
        QTest::newRow("exam today: only what is due") << 7 << 2 << 0 << 2;
    }

    void examDate()
    {
        QFETCH(int, bookSize);
        QFETCH(int, dueNow);
        QFETCH(int, examInDays);
        QFETCH(int, today);
        const QDate day(2025, 5, 1);
        QVector<ReviewCard> book;
        for (int i = 0; i < bookSize; ++i)
            // Reviewed yesterday, not today: a question reviewed today is not listed again that day.
            book << cardReviewed(QString::number(i), day.addDays(i < dueNow ? -30 : -1), i < dueNow ? 2 : 60);
        const ReviewPlanner planner(MemoryModel(), day, day.addDays(examInDays));
        QCOMPARE(planner.daysLeft(), examInDays);
        QCOMPARE(planner.todaysReviews(book).size(), today);
    }

    // Day by day with the planned reviews answered right: every question of
    // the book is seen before the exam.
    void bookWorkedThroughBeforeExam()
    {
        const MemoryModel model;
        const QDate start(2025, 5, 1);
        const QDate exam = start.addDays(12);
        QVector<ReviewCard> book;
        for (int i = 0; i < 40; ++i)
            book << cardReviewed(QStringLiteral("q%1").arg(i, 2, 10, QLatin1Char('0')), start, 30);
        QSet<QString> seen;
        for (QDate day = start; day < exam; day = day.addDays(1)) {
            const QStringList plan = ReviewPlanner(model, day, exam).todaysReviews(book);
            for (ReviewCard &card : book) {
                if (plan.contains(card.questionId)) {
                    card.review(model, ReviewGrade::Good, day);
                    seen.insert(card.questionId);
                }
            }
        }
        QCOMPARE(seen.size(), book.size());
    }
};

TESSERA_TEST_MAIN(ReviewTest)
#include "tst_review.moc"
