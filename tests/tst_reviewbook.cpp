// The wrong-question book driven by reviews, on a fresh database: mastery
// takes a question out, a lapse brings it back as it was, stubborn questions
// are counted apart, the day's due questions by date, and a failed write
// leaves everything as it was.
#include "testsupport.h"

#include "boundstatement.h"
#include "exampaper.h"
#include "papergrader.h"
#include "reviewstore.h"
#include "wrongbook.h"

#include <QApplication>

using TestSupport::FreshDatabase;

namespace {

const QDate start(2026, 3, 2);

using TestSupport::database;

// A marked one-section paper of single choices with reference "A".
std::unique_ptr<ExamPaper> marked(const QStringList &ids, const QString &answer)
{
    auto paper = std::make_unique<ExamPaper>();
    paper->subjectId = QStringLiteral("sub1");
    auto section = std::make_unique<PaperSection>();
    section->entryCount = section->quantity = ids.size();
    paper->addSection(std::move(section));
    for (const QString &id : ids) {
        auto question = std::make_unique<ExamQuestion>();
        question->id = id;
        question->type = ExamQuestion::SingleChoice;
        question->answer = QStringLiteral("A");
        question->userAnswer = answer;
        question->seq = paper->questions.size() + 1;
        question->fuleixingid = QStringLiteral("f1");
        paper->addQuestion(std::move(question));
    }
    PaperGrader::markPaper(*paper);
    return paper;
}

QDate dueOf(const QString &id)
{
    return ReviewStore::card(database(), id)->due;
}

} // namespace

class ReviewBookTest : public QObject
{
    Q_OBJECT

private slots:
    void bookFollowsReviews_data()
    {
        // Steps: "F1-" formal paper p1 wrong, "F2-" paper p2 wrong, "P+"/"P-"
        // wrong-question practice right/wrong, "V-" favourites practice wrong;
        // each step after the first falls on the question's due day.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("examInDays"); // 0: no exam date
        QTest::addColumn<QString>("book");   // examid of the book row, "" when out
        QTest::addColumn<bool>("mastered");
        QTest::addColumn<int>("lapses");
        QTest::newRow("a lapse enters") << QStringList{"F1-"} << 0 << "p1" << false << 1;
        QTest::newRow("a lucky right answer keeps it") << QStringList{"F1-", "P+"} << 0 << "p1" << false << 1;
        QTest::newRow("three right answers: due in 17 days, still in")
            << QStringList{"F1-", "P+", "P+", "P+"} << 0 << "p1" << false << 1;
        QTest::newRow("fourth: due in 44 days, mastered")
            << QStringList{"F1-", "P+", "P+", "P+", "P+"} << 0 << "" << true << 1;
        QTest::newRow("exam in 5 days: mastered once due after it")
            << QStringList{"F1-", "P+", "P+"} << 5 << "" << true << 1;
        QTest::newRow("a favourites lapse brings it back as it was")
            << QStringList{"F1-", "P+", "P+", "P+", "P+", "V-"} << 0 << "p1" << false << 2;
        QTest::newRow("a formal lapse files it under the new paper")
            << QStringList{"F1-", "P+", "P+", "P+", "P+", "F2-"} << 0 << "p2" << false << 2;
        QTest::newRow("a practice lapse of a question never in the book")
            << QStringList{"V-"} << 0 << "" << false << 1;
    }

    void bookFollowsReviews()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, examInDays);
        QFETCH(QString, book);
        QFETCH(bool, mastered);
        QFETCH(int, lapses);
        FreshDatabase db;
        const QString q = QStringLiteral("q1");
        const QDate exam = examInDays ? start.addDays(examInDays) : QDate();
        QDate day = start;
        for (const QString &step : steps) {
            if (step != steps.first())
                day = dueOf(q);
            const int status = step.startsWith(QLatin1Char('F')) ? 0 : step.startsWith(QLatin1Char('P')) ? 3 : 5;
            const QString paperId = step.startsWith(QLatin1String("F2")) ? QStringLiteral("p2") : QStringLiteral("p1");
            const QString answer = step.endsWith(QLatin1Char('+')) ? QStringLiteral("A") : QStringLiteral("B");
            QVERIFY(WrongBook::update(*marked({q}, answer), status, paperId, day, exam));
        }
        QCOMPARE(FreshDatabase::column(QStringLiteral("select examid from error_answer")),
                 book.isEmpty() ? QStringList() : QStringList{book});
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from mastered_question")), mastered ? 1 : 0);
        QCOMPARE(ReviewStore::card(database(), q)->lapses, lapses);
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from review_log")), steps.size());
    }

    void dueCountsByDate_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("due");
        QTest::newRow("day of the paper: the question without a card") << 0 << 1;
        QTest::newRow("next day: the three lapses too") << 1 << 4;
    }

    // Three lapses on day 0, a book row from before cards existed, and a
    // stubborn question, which is listed apart.
    void dueCountsByDate()
    {
        QFETCH(int, day);
        QFETCH(int, due);
        FreshDatabase db;
        QVERIFY(WrongBook::update(*marked({"a", "b", "c"}, QStringLiteral("B")), 0, QStringLiteral("p1"), start));
        QVERIFY(FreshDatabase::exec(QStringLiteral(
            "insert into error_answer(questionId,subjectId,examid) values('old','sub1','p0');\n"
            "insert into error_answer(questionId,subjectId,examid) values('stubborn','sub1','p0');\n"
            "insert into review_card(questionId,stability,difficulty,lastReview,due,reviews,lapses) "
            "values('stubborn',0.3,9.5,'2026-03-01','2026-03-02',12,8);\n")));
        const QStringList today = ReviewStore::todaysReviews(database(), start.addDays(day), QDate());
        QCOMPARE(today.size(), due);
        QCOMPARE(today.first(), QStringLiteral("old"));
        QCOMPARE(ReviewStore::stubbornQuestions(database()), QStringList{QStringLiteral("stubborn")});
        QCOMPARE(ReviewStore::todaysReviews(database(), start.addDays(day), QDate(), SubjectScope(QStringLiteral("other"))),
                 QStringList());
    }

    void failedReviewChangesNothing()
    {
        FreshDatabase db;
        QVERIFY(WrongBook::update(*marked({"a", "b"}, QStringLiteral("B")), 0, QStringLiteral("p1"), start));
        QVERIFY(FreshDatabase::exec(QStringLiteral(
            "CREATE TRIGGER refuse_b BEFORE INSERT ON review_log WHEN NEW.questionId='b' BEGIN SELECT RAISE(ABORT, 'refused'); END;")));
        QVERIFY(!WrongBook::update(*marked({"a", "b"}, QStringLiteral("B")), 0, QStringLiteral("p2"), start.addDays(1)));
        QCOMPARE(FreshDatabase::column(QStringLiteral("select examid from error_answer")),
                 (QStringList{QStringLiteral("p1"), QStringLiteral("p1")}));
        QCOMPARE(FreshDatabase::column(QStringLiteral("select lapses from review_card")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
    }

    // Stored days are read as written (yyyy-MM-dd); anything else is no day,
    // never a day guessed from it.
    void storedDaysAreReadStrictly_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QDate>("read");
        QTest::newRow("a day") << "2026-03-02" << QDate(2026, 3, 2);
        QTest::newRow("end of a leap February") << "2028-02-29" << QDate(2028, 2, 29);
        QTest::newRow("no such day") << "2026-02-30" << QDate();
        QTest::newRow("month 13") << "2026-13-01" << QDate();
        QTest::newRow("slashes") << "2026/03/02" << QDate();
        QTest::newRow("one-digit month") << "2026-3-02" << QDate();
        QTest::newRow("with a time") << "2026-03-02T08:00" << QDate();
        QTest::newRow("letters") << "2026-0a-02" << QDate();
        QTest::newRow("empty") << "" << QDate();
    }

    void storedDaysAreReadStrictly()
    {
        QFETCH(QString, stored);
        QFETCH(QDate, read);
        FreshDatabase db;
        QVERIFY(execBound(database(),
                          QStringLiteral("insert into review_card(questionId,stability,difficulty,lastReview,due,reviews,lapses) "
                                         "values('q',2.5,5,:day,:day,1,0)"),
                          {{QStringLiteral(":day"), stored}}));
        const std::optional<ReviewCard> card = ReviewStore::card(database(), QStringLiteral("q"));
        QVERIFY(card);
        QCOMPARE(card->lastReview, read);
        QCOMPARE(card->due, read);
    }
};

TESSERA_TEST_MAIN(ReviewBookTest)
#include "tst_reviewbook.moc"
