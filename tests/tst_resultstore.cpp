#include "testsupport.h"

#include "exampaper.h"
#include "dbconnection.h"
#include "favouritestore.h"
#include "handinstore.h"
#include "papergrader.h"
#include "resultstore.h"
#include "wrongbook.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

using TestSupport::FreshDatabase;

namespace {

const QDate day(2026, 1, 2);

const QString bankSql = QStringLiteral(
    "insert into exam_question(id,questionTypeid,answer,cent,chapterId,parentId,fuleixingid,isCollect) values('q1',1,'A',1,'c1','',  'f1',0);\n"
    "insert into exam_question(id,questionTypeid,answer,cent,chapterId,parentId,fuleixingid,isCollect) values('q2',1,'B',1,'c1','',  'f1',0);\n"
    "insert into exam_question(id,questionTypeid,answer,cent,chapterId,parentId,fuleixingid,isCollect) values('q3',4,'x|y',2,'c2','','f2',0);\n");

// A one-section paper of single choices q1.. with the given answers ("" for
// none), answers "A" being right.
std::unique_ptr<ExamPaper> markedPaper(const QStringList &answers, const QString &subject = QStringLiteral("sub1"))
{
    auto paper = std::make_unique<ExamPaper>();
    paper->subjectId = subject;
    paper->totalCent = answers.size();
    paper->startTime = QTime(10, 0, 0);
    paper->endTime = QTime(10, 1, 40);
    auto section = std::make_unique<PaperSection>();
    section->quantity = answers.size();
    section->entryCount = answers.size();
    paper->addSection(std::move(section));
    for (int i = 0; i < answers.size(); ++i) {
        auto q = std::make_unique<ExamQuestion>();
        q->id = QStringLiteral("q%1").arg(i + 1);
        q->type = ExamQuestion::SingleChoice;
        q->answer = QStringLiteral("A");
        q->userAnswer = answers.at(i);
        q->cent = 1;
        q->seq = i + 1;
        q->chapterId = QStringLiteral("c1");
        q->fuleixingid = QStringLiteral("f1");
        paper->addQuestion(std::move(q));
    }
    PaperGrader::markPaper(*paper);
    return paper;
}

QStringList bookRows()
{
    return FreshDatabase::column(QStringLiteral(
        "select questionId||'/'||examid||'/'||sequence||'/'||subjectId||'/'||chapterId||'/'||fuleixingid"
        " from error_answer order by questionId, examid"));
}

} // namespace

class ResultStoreTest : public QObject
{
    Q_OBJECT
private slots:
    void secondHandInReplacesTheRow()
    {
        FreshDatabase db;
        QVERIFY(db.ok());
        QVERIFY(ResultStore::store(*markedPaper({"A", "B", ""}), QStringLiteral("p1"), QDate(2026, 1, 2)));
        QVERIFY(ResultStore::store(*markedPaper({"A", "A", "A"}), QStringLiteral("p1"), QDate(2026, 1, 3)));
        QVERIFY(ResultStore::store(*markedPaper({"B"}), QStringLiteral("p2"), QDate(2026, 1, 3)));
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_answer where paperId='p1'")), 1);
        QCOMPARE(FreshDatabase::column(QStringLiteral(
                     "select subjectid||'/'||rightCount||'/'||worngCount||'/'||scoreCuont||'/'||allCount||'/'||anserDate||'/'||score||'/'||useSecond"
                     " from exam_answer where paperId='p1'")),
                 QStringList{QStringLiteral("sub1/3/0/3.0/3/2026-01-03/3.0/100")});
        const QString id = FreshDatabase::column(QStringLiteral("select id from exam_answer where paperId='p1'")).value(0);
        QCOMPARE(id.size(), 36);
        QVERIFY(!id.contains(QLatin1Char('{')));
    }

    void storedSheetParsesBack()
    {
        FreshDatabase db;
        std::unique_ptr<ExamPaper> paper = markedPaper({"A", "B"});
        paper->questions[1]->type = ExamQuestion::FillIn;
        paper->questions[1]->userAnswer = QStringLiteral("he said \"no\"|C:\\dir");
        paper->handedIn = false;
        PaperGrader::markPaper(*paper);
        QVERIFY(ResultStore::store(*paper, QStringLiteral("p1"), QDate::currentDate()));

        const QString sheet = FreshDatabase::column(QStringLiteral("select answers from exam_answer")).value(0);
        QJsonParseError error;
        const QJsonArray entries = QJsonDocument::fromJson(sheet.toUtf8(), &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(entries.size(), 2);
        const QJsonObject first = entries.at(0).toObject();
        QCOMPARE(first.keys().size(), 4);
        QCOMPARE(first.value(QStringLiteral("qid")).toString(), QStringLiteral("q1"));
        QCOMPARE(first.value(QStringLiteral("status")).toInt(), 0);
        QCOMPARE(entries.at(1).toObject().value(QStringLiteral("answer")).toString(),
                 QStringLiteral("he said \"no\"|C:\\dir"));
    }

    void failedInsertKeepsThePreviousResult()
    {
        FreshDatabase db;
        QVERIFY(ResultStore::store(*markedPaper({"A", "B"}), QStringLiteral("p1"), QDate(2026, 1, 2)));
        QVERIFY(FreshDatabase::exec(QStringLiteral(
            "CREATE TRIGGER refuse_result BEFORE INSERT ON exam_answer BEGIN SELECT RAISE(ABORT, 'refused'); END;")));
        QVERIFY(!ResultStore::store(*markedPaper({"A", "A"}), QStringLiteral("p1"), QDate(2026, 1, 3)));
        QCOMPARE(FreshDatabase::column(QStringLiteral("select rightCount||'/'||anserDate from exam_answer where paperId='p1'")),
                 QStringList{QStringLiteral("1/2026-01-02")});
    }

    void formalPaperEntersWrongAnswers()
    {
        FreshDatabase db;
        // q1 wrong, q2 right, q3 unanswered
        QVERIFY(WrongBook::update(*markedPaper({"B", "A", ""}), 0, QStringLiteral("p1"), day));
        QCOMPARE(bookRows(), QStringList{QStringLiteral("q1/p1/1/sub1/c1/f1")});
    }

    void laterPaperMovesTheBookRow()
    {
        FreshDatabase db;
        QVERIFY(WrongBook::update(*markedPaper({"B"}), 0, QStringLiteral("p1"), day));
        QVERIFY(WrongBook::update(*markedPaper({"C"}), 0, QStringLiteral("p2"), day));
        QCOMPARE(bookRows(), QStringList{QStringLiteral("q1/p2/1/sub1/c1/f1")});
    }

    // A question twice in a paper keeps one book row, of its last wrong
    // answer; the rows of questions not in the paper stay.
    void repeatedQuestionKeepsOneRow()
    {
        FreshDatabase db;
        QVERIFY(FreshDatabase::exec(QStringLiteral(
            "insert into error_answer(questionId,examid,sequence,subjectId,chapterId,fuleixingid) values('q9','p0',9,'sub1','c1','f1')")));
        auto paper = markedPaper({"B", "C"});
        paper->questions[1]->id = QStringLiteral("q1");
        QVERIFY(WrongBook::update(*paper, 0, QStringLiteral("p1"), day));
        QCOMPARE(bookRows(), (QStringList{QStringLiteral("q1/p1/2/sub1/c1/f1"), QStringLiteral("q9/p0/9/sub1/c1/f1")}));
    }

    void practicesUpdateTheBook_data()
    {
        QTest::addColumn<int>("examStatus");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("book");
        const QStringList full{QStringLiteral("q1/p1/1/sub1/c1/f1"), QStringLiteral("q2/p1/2/sub1/c1/f1")};
        // One right answer after a lapse is not mastery.
        QTest::newRow("wrong practice, right answer keeps") << 3 << QStringList{"A", ""} << full;
        QTest::newRow("wrong practice, wrong again keeps") << 3 << QStringList{"B", "C"} << full;
        QTest::newRow("favourites practice changes nothing") << 5 << QStringList{"A", "B"} << full;
    }

    void practicesUpdateTheBook()
    {
        QFETCH(int, examStatus);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, book);
        FreshDatabase db;
        QVERIFY(WrongBook::update(*markedPaper({"B", "B"}), 0, QStringLiteral("p1"), day));
        // A practice is not a paper: its rows must not be moved to its id.
        QVERIFY(WrongBook::update(*markedPaper(answers, QStringLiteral("other")), examStatus, QStringLiteral("p1"), day));
        QCOMPARE(bookRows(), book);
    }

    void failedBookUpdateKeepsThePreviousBook()
    {
        FreshDatabase db;
        QVERIFY(WrongBook::update(*markedPaper({"B", "B", "B"}), 0, QStringLiteral("p1"), day));
        const QStringList before = bookRows();
        QVERIFY(FreshDatabase::exec(QStringLiteral(
            "CREATE TRIGGER refuse_q3 BEFORE INSERT ON error_answer WHEN NEW.questionId='q3' BEGIN SELECT RAISE(ABORT, 'refused'); END;")));
        QVERIFY(!WrongBook::update(*markedPaper({"C", "C", "C"}), 0, QStringLiteral("p2"), day));
        QCOMPARE(bookRows(), before);
    }

    // A hand-in that cannot be stored leaves the previous result and book as
    // they were, every part of it, and names the reason in the user's words.
    void failedHandInKeepsWhatWasStored_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("result refused after the book") << "refuse" << "数据库写入失败（refused）";
        QTest::newRow("history refused after the result") << "refuse history" << "数据库写入失败（refused）";
        QTest::newRow("full disk") << "full" << "磁盘空间不足";
        QTest::newRow("read-only file") << "read-only" << "数据文件是只读的";
        QTest::newRow("damaged file") << "damaged" << "数据文件已损坏";
    }

    void failedHandInKeepsWhatWasStored()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        FreshDatabase file;
        QVERIFY(HandInStore::save(*markedPaper({"B", "A"}), 0, QStringLiteral("p1"), QDateTime(QDate(2026, 1, 2), QTime(9, 0))));
        const auto stored = []() {
            return FreshDatabase::column(QStringLiteral("select paperId||rightCount||anserDate from exam_answer"))
                + bookRows()
                + FreshDatabase::column(QStringLiteral("select paperId||score from exam_history order by id"));
        };
        const QStringList before = stored();
        QSqlDatabase db = DbConnection::instance(QString(), true)->database();
        if (damage.startsWith(QLatin1String("refuse"))) {
            const QString table = damage.endsWith(QLatin1String("history")) ? QStringLiteral("exam_history")
                                                                             : QStringLiteral("exam_answer");
            QVERIFY(FreshDatabase::exec(QStringLiteral(
                "CREATE TRIGGER refuse_write BEFORE INSERT ON %1 BEGIN SELECT RAISE(ABORT, 'refused'); END;").arg(table)));
        } else if (damage == QLatin1String("full")) {
            QVERIFY(FreshDatabase::exec(QStringLiteral("PRAGMA max_page_count = 1")));
        } else if (damage == QLatin1String("read-only")) {
            db.close();
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
            QVERIFY(db.open());
            db.setConnectOptions();
        } else {
            db.close();
            QVERIFY(TestSupport::damageTable(file.path(), QStringLiteral("exam_answer")));
            QVERIFY(db.open());
        }

        // The new hand-in moves q1 and q2 to p2 and needs new pages for its sheet.
        std::unique_ptr<ExamPaper> later = markedPaper({"C", "C"});
        later->answerSheet += QString(20000, QLatin1Char('x'));
        const WriteOutcome outcome = HandInStore::save(*later, 0, QStringLiteral("p1"), QDateTime(QDate(2026, 1, 3), QTime(9, 0)));
        QVERIFY(!outcome.saved());
        QCOMPARE(outcome.reason(), reason);
        if (damage != QLatin1String("damaged"))
            QCOMPARE(stored(), before);
    }

    // A paper index that no longer matches its table never leads to a second
    // result of the paper: the hand-in is refused and says why.
    void damagedIndexLeavesOneResult()
    {
        FreshDatabase file;
        QVERIFY(ResultStore::store(*markedPaper({"A"}), QStringLiteral("p1"), QDate(2026, 1, 2)));
        QSqlDatabase db = DbConnection::instance(QString(), true)->database();
        db.close();
        QVERIFY(TestSupport::misdirectResultIndex(file.path()));
        QVERIFY(db.open());
        // The row is found past the index; removing it shows the damage.
        const WriteOutcome outcome = ResultStore::store(*markedPaper({"B"}), QStringLiteral("p1"), QDate(2026, 1, 3));
        QCOMPARE(outcome.reason(), QStringLiteral("数据文件已损坏"));
        QCOMPARE(FreshDatabase::column(QStringLiteral("select anserDate from exam_answer not indexed where paperId='p1'")),
                 QStringList{QStringLiteral("2026-01-02")});
    }

    void favouriteToggle_data()
    {
        QTest::addColumn<QList<bool>>("presses");
        QTest::addColumn<int>("isCollect");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("set") << QList<bool>{true} << 1 << QStringList{QStringLiteral("q1/f1")};
        QTest::newRow("set twice keeps one row") << QList<bool>{true, true} << 1 << QStringList{QStringLiteral("q1/f1")};
        QTest::newRow("set and clear") << QList<bool>{true, false} << 0 << QStringList{};
    }

    void favouriteToggle()
    {
        QFETCH(QList<bool>, presses);
        QFETCH(int, isCollect);
        QFETCH(QStringList, rows);
        FreshDatabase db(bankSql);
        for (bool on : presses)
            QVERIFY(FavouriteStore::setFavourite(QStringLiteral("q1"), QStringLiteral("f1"), on));
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select isCollect from exam_question where id='q1'")), isCollect);
        QCOMPARE(FreshDatabase::column(QStringLiteral("select questionid||'/'||fuleixingid from exam_Collect")), rows);
    }
};

TESSERA_TEST_MAIN(ResultStoreTest)
#include "tst_resultstore.moc"
