#include "testsupport.h"
#include "seededfuzz.h"

#include "attemptcontroller.h"
#include "attemptstore.h"
#include "attemptwriter.h"
#include "dbconnection.h"
#include "debouncedsaver.h"
#include "examrenli.h"
#include "handinstore.h"
#include "historyreview.h"
#include "homepages.h"
#include "historystore.h"
#include "retrybackoff.h"
#include "papergrader.h"
#include "pageview.h"
#include "paperloader.h"
#include "progresspages.h"
#include "resultstore.h"
#include "schemamigration.h"
#include "sqltransaction.h"
#include "statisticsfigures.h"
#include "subjectscope.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <csignal>

namespace {

const QString bank = TestSupport::fixtureSql(QStringLiteral("examwindow_bank.sql"));

class SteppedClock : public ProgressClock
{
public:
    QDateTime now() const override { return QDateTime::fromMSecsSinceEpoch(ms); }
    qint64 ms = 1000000;
};

ExamQuestion *entry(ExamPaper &paper, const QString &id)
{
    for (const auto &question : paper.questions) {
        if (question->id == id)
            return question.get();
    }
    return nullptr;
}

std::unique_ptr<ExamPaper> loadPaperE()
{
    return PaperLoader(DbConnection::instance(QString(), true)->database(), 0, QString()).loadFormalPaper(QStringLiteral("E"));
}

// A snapshot in which every answer is the generation: a half-written one
// would mix generations or lose entries.
AttemptSnapshot generation(int n)
{
    AttemptSnapshot snapshot;
    snapshot.paperId = QStringLiteral("P");
    snapshot.startedAt = QDateTime(QDate(2026, 3, 1), QTime(9, 0));
    snapshot.elapsedSeconds = n;
    for (int seq = 1; seq <= 40; ++seq)
        snapshot.entries.append({seq, QStringLiteral("q%1").arg(seq), QString::number(n), true, seq % 7 == 0});
    return snapshot;
}

// The child of the kill test: saves generation after generation through the
// writer thread and hands in every fifth in one transaction, printing each
// generation once it is written, until it is killed.
int runAttemptWriterChild(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("child"));
    db.setDatabaseName(path);
    if (!db.open())
        return 2;
    AttemptWriter writer(path);
    QTextStream out(stdout);
    for (int n = 1;; ++n) {
        writer.write(generation(n), QDateTime::currentDateTime());
        writer.waitIdle();
        if (n % 5 == 0) {
            HistoryRecord record;
            record.paperId = QStringLiteral("P");
            record.handedInAt = QDateTime::currentDateTime();
            record.rightCount = n;
            record.answers = QStringLiteral("[{\"qid\":\"q1\",\"cent\":0,\"status\":1,\"answer\":\"%1\"}]").arg(n);
            SqlTransaction handIn(db);
            if (AttemptStore::remove(db, QStringLiteral("P"), 0) && HistoryStore::add(db, record))
                handIn.commit();
        }
        out << n << Qt::endl;
    }
}

// Answers the modals of a window run: clicks the button with the given text
// on the first message box that has one, closes everything else.
struct ModalAnswers
{
    explicit ModalAnswers(const QString &button)
        : closer([this, button](QWidget *modal) {
              if (auto *box = qobject_cast<QMessageBox *>(modal))
                  boxTexts << box->text();
              return TestSupport::clickMessageBoxButton(modal, button);
          })
    {
    }
    QStringList boxTexts;
    TestSupport::ModalCloser closer;
};

bool windowReady(ExamRenLi &window)
{
    return QTest::qWaitFor([&window]() {
        return window.paper && window.paper->startTime.isValid() && window.attempts->active()
            && !window.pagesLoading();
    }, 15000);
}

// Waits until the window has done what it was asked: a move or a close waits
// for the page's typed answers first.
bool windowSettled(ExamRenLi &window)
{
    return QTest::qWaitFor([&window]() { return !window.flushingTypedAnswers() && !window.pagesLoading(); }, 10000);
}

} // namespace

class AttemptsTest : public QObject
{
    Q_OBJECT

private slots:
    void snapshotComesBackIntoTheLoadedPaper_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");   // id=answer[*flag] of the filled entries
        QTest::addColumn<int>("current");
        QTest::newRow("answers, flags and position")
            << QStringLiteral("{\"format\":1,\"paperId\":\"E\",\"mode\":0,\"current\":4,\"entries\":["
                              "{\"seq\":1,\"qid\":\"a1\",\"answer\":\"B\",\"answered\":true},"
                              "{\"seq\":5,\"qid\":\"t1\",\"answer\":\"\",\"flagged\":true}]}")
            << QStringLiteral("a1=B t1=*") << 4;
        QTest::newRow("blanks with bars and quotes")
            << QStringLiteral("{\"format\":1,\"paperId\":\"E\",\"mode\":0,\"current\":3,\"entries\":["
                              "{\"seq\":4,\"qid\":\"f1\",\"answer\":\"a\\\\|b|\\\"c\\\"\",\"answered\":true}]}")
            << QStringLiteral("f1=a\\|b|\"c\"") << 3;
        QTest::newRow("entry moved in the bank is found by id")
            << QStringLiteral("{\"format\":1,\"paperId\":\"E\",\"mode\":0,\"current\":0,\"entries\":["
                              "{\"seq\":9,\"qid\":\"t1\",\"answer\":\"A\",\"answered\":true}]}")
            << QStringLiteral("t1=A") << 0;
        QTest::newRow("entries gone from the bank and stems are dropped, position kept inside")
            << QStringLiteral("{\"format\":1,\"paperId\":\"E\",\"mode\":0,\"current\":99,\"entries\":["
                              "{\"seq\":2,\"qid\":\"c1\",\"answer\":\"A\",\"answered\":true},"
                              "{\"seq\":6,\"qid\":\"gone\",\"answer\":\"A\",\"answered\":true}]}")
            << QString() << 4;
    }

    void snapshotComesBackIntoTheLoadedPaper()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QFETCH(int, current);
        TestSupport::FreshDatabase db(bank);
        QVERIFY(db.ok());
        AttemptSnapshot snapshot;
        QVERIFY(AttemptSnapshot::fromJson(stored.toUtf8(), &snapshot));
        // Through the store and back: what is read is what was written.
        QVERIFY(AttemptStore::save(DbConnection::instance(QString(), true)->database(), snapshot, QDateTime::currentDateTime()));
        QVERIFY(AttemptStore::load(DbConnection::instance(QString(), true)->database(), QStringLiteral("E"), 0, &snapshot));
        std::unique_ptr<ExamPaper> paper = loadPaperE();
        QVERIFY(paper);
        QCOMPARE(snapshot.applyTo(*paper), current);
        QStringList filled;
        int answered = 0;
        for (const auto &question : paper->questions) {
            if (question->answered || question->marked)
                filled << question->id + QLatin1Char('=') + question->userAnswer
                        + (question->marked ? QStringLiteral("*") : QString());
            answered += question->answered ? 1 : 0;
        }
        QCOMPARE(filled.join(QLatin1Char(' ')), expected);
        QCOMPARE(paper->answeredCount, answered);
        // A capture of the restored paper holds the same entries.
        QCOMPARE(AttemptSnapshot::capture(*paper, QStringLiteral("E"), 0, {}, 0, current).answeredCount(), answered);
    }

    // Text typed into an essay's boxes comes back, even with nothing else
    // answered; boxes that hold only blanks keep nothing.
    void essayTextsComeBack()
    {
        const auto essayPaper = [](const QStringList &texts) {
            auto paper = std::make_unique<ExamPaper>();
            auto essay = std::make_unique<ExamQuestion>();
            essay->type = ExamQuestion::Essay;
            essay->id = QStringLiteral("e1");
            essay->seq = 1;
            essay->essayTexts = texts;
            paper->addQuestion(std::move(essay));
            return paper;
        };
        const QStringList typed{QStringLiteral("第一问\n\"引号\""), QString()};
        AttemptSnapshot stored;
        QVERIFY(AttemptSnapshot::fromJson(
            AttemptSnapshot::capture(*essayPaper(typed), QStringLiteral("P"), 0, {}, 0, 0).toJson(), &stored));
        std::unique_ptr<ExamPaper> fresh = essayPaper({});
        stored.applyTo(*fresh);
        QCOMPARE(fresh->questions.front()->essayTexts, typed);
        QVERIFY(AttemptSnapshot::capture(*essayPaper({QStringLiteral("  ")}), QStringLiteral("P"), 0, {}, 0, 0)
                    .entries.isEmpty());
    }

    void oddStoredSnapshotsAreRefused_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("not JSON") << QStringLiteral("{\"format\":1,");
        QTest::newRow("an array") << QStringLiteral("[]");
        QTest::newRow("unknown format") << QStringLiteral("{\"format\":2,\"paperId\":\"E\",\"entries\":[]}");
        QTest::newRow("no entries") << QStringLiteral("{\"format\":1,\"paperId\":\"E\"}");
        QTest::newRow("another paper's row") << QStringLiteral("{\"format\":1,\"paperId\":\"K\",\"entries\":[]}");
    }

    void oddStoredSnapshotsAreRefused()
    {
        QFETCH(QString, stored);
        TestSupport::FreshDatabase db(bank);
        QVERIFY(db.ok());
        QSqlQuery insert(DbConnection::instance(QString(), true)->database());
        insert.prepare(QStringLiteral("INSERT INTO exam_attempt(paperId, mode, snapshot) VALUES('E', 0, :snapshot)"));
        insert.bindValue(QStringLiteral(":snapshot"), stored);
        QVERIFY(insert.exec());
        AttemptSnapshot snapshot;
        QVERIFY(!AttemptStore::load(DbConnection::instance(QString(), true)->database(), QStringLiteral("E"), 0, &snapshot));
    }

    void unfinishedPapersAreMarkedInTheLists()
    {
        TestSupport::FreshDatabase db(bank);
        QVERIFY(db.ok());
        AttemptSnapshot snapshot;
        snapshot.paperId = QStringLiteral("E");
        QVERIFY(AttemptStore::save(DbConnection::instance(QString(), true)->database(), snapshot, QDateTime::currentDateTime()));
        const QString list = HomePages::paperList();
        QCOMPARE(list.count(QStringLiteral("未完成")), 1);
        QVERIFY(list.indexOf(QStringLiteral("未完成")) > list.indexOf(QStringLiteral("Edge paper")));
        QVERIFY(list.indexOf(QStringLiteral("未完成")) < list.indexOf(QStringLiteral("Composite first")));
    }

    void saverWritesWithinOneSecondOfEveryChange_data()
    {
        QTest::addColumn<QStringList>("changes");   // "a<ms>" an answer, "t<ms>" a clock tick
        QTest::addColumn<QList<int>>("saves");      // ms of each save
        QTest::newRow("one answer") << QStringList{"a0"} << QList<int>{1000};
        QTest::newRow("a click every 300 ms is not put off") << QStringList{"a0", "a300", "a600", "a900", "a1200"}
                                                             << QList<int>{1000, 2200};
        QTest::newRow("clock ticks alone wait five seconds") << QStringList{"t0", "t500"} << QList<int>{5000};
        QTest::newRow("an answer after a tick comes first") << QStringList{"t0", "a200"} << QList<int>{1200};
    }

    void saverWritesWithinOneSecondOfEveryChange()
    {
        QFETCH(QStringList, changes);
        QFETCH(QList<int>, saves);
        SteppedClock clock;
        const qint64 start = clock.ms;
        QList<int> saved;
        DebouncedSaver saver([&]() { saved << int(clock.ms - start); }, &clock);
        for (int t = 0; t <= 6000; t += 100) {
            clock.ms = start + t;
            for (const QString &change : changes) {
                if (change.mid(1).toInt() == t)
                    saver.changed(change.startsWith(QLatin1Char('t')) ? AttemptController::clockDelayMs
                                                                      : AttemptController::changeDelayMs);
            }
            saver.poll();
        }
        QCOMPARE(saved, saves);
    }

    // The pauses between tries of a failing save, by the number of failures
    // in a row; a success starts again from the first.
    void failedSavesWaitLongerAndLonger_data()
    {
        QTest::addColumn<QString>("tries");     // "f" a failed try, "s" a save that worked
        QTest::addColumn<QList<int>>("pauses"); // ms before the next try, after each failure
        QTest::newRow("one failure") << "f" << QList<int>{1000};
        QTest::newRow("doubling while the disk stays full") << "ffff" << QList<int>{1000, 2000, 4000, 8000};
        QTest::newRow("never longer than sixteen seconds") << "fffffff"
                                                          << QList<int>{1000, 2000, 4000, 8000, 16000, 16000, 16000};
        QTest::newRow("a save that works starts again") << "ffsf" << QList<int>{1000, 2000, 1000};
    }

    void failedSavesWaitLongerAndLonger()
    {
        QFETCH(QString, tries);
        QFETCH(QList<int>, pauses);
        RetryBackoff backoff(AttemptController::firstRetryDelayMs, AttemptController::longestRetryDelayMs);
        QList<int> waited;
        for (const QChar &tried : tries) {
            if (tried == QLatin1Char('f'))
                waited << backoff.failed();
            else
                backoff.succeeded();
        }
        QCOMPARE(waited, pauses);
        QCOMPARE(backoff.failing(), tries.endsWith(QLatin1Char('f')));
    }

    // A disk that fills during a run: the controller says that the answers
    // cannot be saved, once, and keeps trying without any new answer; once
    // there is room again the next try saves the answers given meanwhile and
    // the warning goes.
    void savesFailingOnAFullDiskAreSaidAndRetried_data()
    {
        QTest::addColumn<int>("retries"); // tries on the full disk after the first failure
        QTest::newRow("room again before the first retry") << 0;
        QTest::newRow("full for one retry") << 1;
        QTest::newRow("full for two retries") << 2;
    }

    void savesFailingOnAFullDiskAreSaidAndRetried()
    {
        QFETCH(int, retries);
        TestSupport::SmallDisk disk(2 << 20);
        if (!disk.mounted())
            QSKIP("mounting a small disk is not permitted here");
        const QString path = disk.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(path));
        TestSupport::FileConnection file(path);
        QCOMPARE(SchemaMigration::migrate(file.database()).outcome, SchemaMigration::Outcome::Migrated);
        const auto storedGeneration = [&file]() {
            AttemptSnapshot stored;
            return AttemptStore::load(file.database(), QStringLiteral("P"), 0, &stored) ? stored.elapsedSeconds : 0;
        };

        SteppedClock clock;
        QStringList said;
        int answers = 1;
        int captures = 0;
        {
            AttemptController controller(file.database(), path, &clock);
            connect(&controller, &AttemptController::saveProblemChanged,
                    [&said](const QString &problem) { said << problem; });
            controller.begin(QStringLiteral("P"), 0, [&]() {
                ++captures;
                return generation(answers);
            });
            QTRY_COMPARE_WITH_TIMEOUT(storedGeneration(), 1, 10000);

            QVERIFY(disk.fill());
            answers = 2;
            controller.changed();
            clock.ms += AttemptController::changeDelayMs;
            QTRY_COMPARE_WITH_TIMEOUT(said.size(), 1, 10000);
            QVERIFY2(said.last().startsWith(QStringLiteral("答案暂时无法保存：磁盘空间不足")), qPrintable(said.last()));
            QCOMPARE(controller.saveProblem(), said.last());

            // Tried again after a pause, without a new answer; said once. The
            // clock runs on while the test waits for the saver's timer.
            for (int retry = 1; retry <= retries; ++retry) {
                QTRY_VERIFY_WITH_TIMEOUT((clock.ms += 100, captures >= 2 + retry), 10000);
                QTest::qWait(200);
                QCOMPARE(said.size(), 1);
                QCOMPARE(storedGeneration(), 1);
            }

            disk.release();
            QTRY_VERIFY_WITH_TIMEOUT((clock.ms += 100, said.size() == 2), 20000);
            QCOMPARE(said.last(), QString());
            QCOMPARE(controller.saveProblem(), QString());
            QCOMPARE(storedGeneration(), 2);
            controller.stop();
        }
    }

    // The exam window shows the controller's save problem, and only while
    // there is one.
    void examWindowShowsTheSaveProblem()
    {
        TestSupport::FreshDatabase db(bank);
        QVERIFY(db.ok());
        ExamRenLi window(0, 0, 1024, 740, 1);
        QVERIFY(!window.saveProblemLabel->isVisibleTo(&window));
        const QString problem = QStringLiteral("答案暂时无法保存：磁盘空间不足。程序会继续尝试。");
        emit window.attempts->saveProblemChanged(problem);
        QVERIFY(window.saveProblemLabel->isVisibleTo(&window));
        QCOMPARE(window.saveProblemLabel->text(), problem);
        emit window.attempts->saveProblemChanged(QString());
        QVERIFY(!window.saveProblemLabel->isVisibleTo(&window));
    }

    void runComesBackInAFreshWindow()
    {
        TestSupport::FreshDatabase db(bank);
        QVERIFY(db.ok());
        {
            ModalAnswers answers(QStringLiteral("保留，下次继续"));
            ExamRenLi window(0, 0, 1024, 740, 1);
            window.paperId = QStringLiteral("E");
            window.examStatus = 0;
            window.show();
            QVERIFY(windowReady(window));
            window.setAsQuestionJs(entry(*window.paper, QStringLiteral("a1"))->tname, QStringLiteral("B"));
            window.setAsQuestionJs(entry(*window.paper, QStringLiteral("f1"))->tname, QStringLiteral("x|"));
            window.setLocationJs(QString(), 5);
            QVERIFY(windowSettled(window));
            QVERIFY(window.shoucang(QStringLiteral("t1"), 1));
            window.close();
            QVERIFY(windowSettled(window));
            QVERIFY(!window.isVisible());
            QVERIFY(answers.boxTexts.last().contains(QStringLiteral("保留本次作答")));
        }
        // The time used so far, as a kill would leave it.
        QSqlDatabase connection = DbConnection::instance(QString(), true)->database();
        AttemptSnapshot stored;
        QVERIFY(AttemptStore::load(connection, QStringLiteral("E"), 0, &stored));
        stored.elapsedSeconds = 1234;
        QVERIFY(AttemptStore::save(connection, stored, QDateTime::currentDateTime()));

        ModalAnswers answers(QStringLiteral("继续上次作答"));
        ExamRenLi window(0, 0, 1024, 740, 1);
        window.paperId = QStringLiteral("E");
        window.examStatus = 0;
        QElapsedTimer sinceShown;
        sinceShown.start();
        window.show();
        QVERIFY(windowReady(window));
        QVERIFY(answers.boxTexts.first().contains(QStringLiteral("已答2题，剩余时间00:39:26")));
        QCOMPARE(entry(*window.paper, QStringLiteral("a1"))->userAnswer, QStringLiteral("B"));
        QCOMPARE(entry(*window.paper, QStringLiteral("f1"))->userAnswer, QStringLiteral("x|"));
        QVERIFY(entry(*window.paper, QStringLiteral("t1"))->marked);
        QCOMPARE(window.paper->answeredCount, 2);
        QCOMPARE(window.currentIndex, 4);
        // The clock goes on from the time used, not from the full time.
        // (plus the seconds the window has run since it was shown, however slow the engine)
        // A clock of the day: a run shown before midnight and read after it wraps.
        const int sinceStart = window.paper->startTime.secsTo(QTime::currentTime());
        const int used = sinceStart < 0 ? sinceStart + 24 * 3600 : sinceStart;
        const int shown = int(sinceShown.elapsed() / 1000);
        QVERIFY2(used >= 1234 && used <= 1236 + shown, qPrintable(QString::number(used)));
        window.countdownTimer->stop();
        window.attempts->stop();
    }

    void closingMidPaperAsks_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("keep for later") << QStringLiteral("保留，下次继续") << true << false;
        QTest::newRow("discard") << QStringLiteral("放弃本次作答") << false << false;
        QTest::newRow("go on answering") << QStringLiteral("继续作答") << true << true;
        // A run without an answer or flag goes without a question.
        QTest::newRow("nothing answered") << QString() << false << false;
    }

    void closingMidPaperAsks()
    {
        QFETCH(QString, button);
        QFETCH(bool, kept);
        QFETCH(bool, stillOpen);
        TestSupport::FreshDatabase db(bank);
        QVERIFY(db.ok());
        ModalAnswers answers(button);
        ExamRenLi window(0, 0, 1024, 740, 1);
        window.paperId = QStringLiteral("E");
        window.examStatus = 0;
        window.show();
        QVERIFY(windowReady(window));
        if (!button.isEmpty())
            window.shoucang(window.currentQuestion()->id, 1);
        window.close();
        QVERIFY(windowSettled(window));
        QCOMPARE(answers.boxTexts.filter(QStringLiteral("保留本次作答")).size(), button.isEmpty() ? 0 : 1);
        QCOMPARE(window.isVisible(), stillOpen);
        QCOMPARE(window.attempts->active(), stillOpen);
        QCOMPARE(window.countdownTimer->isActive(), stillOpen);
        window.attempts->stop();
        QCOMPARE(TestSupport::FreshDatabase::scalar(QStringLiteral("SELECT count(*) FROM exam_attempt")), kept ? 1 : 0);
        window.countdownTimer->stop();
    }

    void killedWriterLeavesWholeRecords()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(path));
        {
            TestSupport::FileConnection setup(path);
            QVERIFY(setup.isOpen());
            QCOMPARE(SchemaMigration::migrate(setup.database()).outcome, SchemaMigration::Outcome::Migrated);
        }

        TestSupport::SeededFuzz fuzz(50, 120000);
        while (fuzz.next()) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--attempt-writer"), path});
            QVERIFY(child.waitForStarted(10000));
            // Killed after a few writes, somewhere inside the next.
            const int writes = fuzz.number(1, 7);
            int seen = 0;
            while (seen < writes) {
                QVERIFY2(child.waitForReadyRead(10000), qPrintable(child.readAllStandardError()));
                while (child.canReadLine() && seen < writes) {
                    child.readLine();
                    ++seen;
                }
            }
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(10000));

            TestSupport::FileConnection file(path);
            QVERIFY(file.isOpen());
            QSqlQuery check(file.database());
            QVERIFY(check.exec(QStringLiteral("PRAGMA integrity_check")) && check.next());
            QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
            AttemptSnapshot snapshot;
            int open = 0;
            if (AttemptStore::load(file.database(), QStringLiteral("P"), 0, &snapshot)) {
                open = snapshot.elapsedSeconds;
                QCOMPARE(snapshot.entries.size(), 40);
                for (const auto &saved : snapshot.entries)
                    QCOMPARE(saved.answer, QString::number(open));
            }
            QVERIFY(check.exec(QStringLiteral("SELECT rightCount, json_extract(answers,'$[0].answer') FROM exam_history")));
            while (check.next()) {
                QCOMPARE(check.value(1).toString(), check.value(0).toString());
                // A handed-in run is closed in the same transaction.
                QVERIFY(check.value(0).toInt() != open);
            }
        }
    }

    void everyHandInIsKeptAndReviewable()
    {
        TestSupport::FreshDatabase db(bank);
        QVERIFY(db.ok());
        QSqlDatabase connection = DbConnection::instance(QString(), true)->database();
        const QStringList answersOfA1{QStringLiteral("A"), QStringLiteral("B")};
        for (int i = 0; i < answersOfA1.size(); ++i) {
            std::unique_ptr<ExamPaper> paper = loadPaperE();
            entry(*paper, QStringLiteral("a1"))->userAnswer = answersOfA1.at(i);
            PaperGrader::markPaper(*paper);
            QVERIFY(ResultStore::store(*paper, QStringLiteral("E"), QDate(2026, 3, 1 + i)));
            SqlTransaction handIn(connection);
            QVERIFY(HandInStore::recordRun(connection, *paper, QStringLiteral("E"), 0,
                                           QDateTime(QDate(2026, 3, 1 + i), QTime(10, 0))));
            QVERIFY(handIn.commit());
        }
        const QVector<HistoryRecord> records = HistoryStore::list(connection, SubjectScope());
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0).score, 1.0);    // newest first: a1 answered right
        QCOMPARE(records.at(1).score, 0.0);
        QCOMPARE(TestSupport::FreshDatabase::column(QStringLiteral("SELECT scoreCuont FROM exam_answer")),
                 QStringList{QStringLiteral("1")});

        HistoryRecord first;
        QVERIFY(HistoryStore::find(connection, records.at(1).id, &first));
        std::unique_ptr<ExamPaper> reviewed = HistoryReview::load(connection, first, QString());
        QVERIFY(reviewed && reviewed->handedIn);
        QCOMPARE(entry(*reviewed, QStringLiteral("a1"))->userAnswer, QStringLiteral("A"));
        QCOMPARE(entry(*reviewed, QStringLiteral("a1"))->status, 1);
        QCOMPARE(reviewed->score, first.score);
    }

    // The review of a recorded hand-in shows an essay's typed text again,
    // beside the self-assessment given.
    void essayTextInHistoryReview_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("text and 我不会") << QStringList{QStringLiteral("第一段\n第二段")} << QStringLiteral("B");
        QTest::newRow("text alone") << QStringList{QStringLiteral("只写了字")} << QString();
        QTest::newRow("nothing typed") << QStringList() << QStringLiteral("A");
    }

    void essayTextInHistoryReview()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, chosen);
        TestSupport::FreshDatabase db(bank);
        QVERIFY(db.ok());
        QSqlDatabase connection = DbConnection::instance(QString(), true)->database();
        std::unique_ptr<ExamPaper> paper =
            PaperLoader(connection, 0, QString()).loadFormalPaper(QStringLiteral("K"));
        QVERIFY(paper && entry(*paper, QStringLiteral("w1")));
        entry(*paper, QStringLiteral("w1"))->essayTexts = typed;
        entry(*paper, QStringLiteral("w1"))->userAnswer = chosen;
        PaperGrader::markPaper(*paper);
        SqlTransaction handIn(connection);
        QVERIFY(HandInStore::recordRun(connection, *paper, QStringLiteral("K"), 0,
                                       QDateTime(QDate(2026, 3, 1), QTime(10, 0))));
        QVERIFY(handIn.commit());
        const QVector<HistoryRecord> records = HistoryStore::list(connection, SubjectScope());
        QCOMPARE(records.size(), 1);
        HistoryRecord record;
        QVERIFY(HistoryStore::find(connection, records.first().id, &record));
        std::unique_ptr<ExamPaper> reviewed = HistoryReview::load(connection, record, QString());
        QVERIFY(reviewed);
        QCOMPARE(entry(*reviewed, QStringLiteral("w1"))->essayTexts, typed);
        QCOMPARE(entry(*reviewed, QStringLiteral("w1"))->userAnswer, chosen);
    }

    void oldResultsStartTheHistory()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(path, bank + QStringLiteral(
            "\nINSERT INTO exam_answer(id,subjectid,paperId,rightCount,worngCount,allCount,scoreCuont,score,anserDate,useSecond,answers)"
            " VALUES('r1','S1','E',3,1,5,7,10,'2025-12-01',1500,'not json');")));
        TestSupport::FileConnection file(path);
        QSqlDatabase db = file.database();
        QVERIFY(file.isOpen());
        QCOMPARE(SchemaMigration::migrate(db).outcome, SchemaMigration::Outcome::Migrated);
        const QVector<HistoryRecord> records = HistoryStore::list(db, SubjectScope());
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.at(0).handedInAt, QDateTime(QDate(2025, 12, 1), QTime(12, 0)));
        QCOMPARE(records.at(0).allowedSecond, 3600);
        QCOMPARE(records.at(0).unansweredCount, 1);
        QCOMPARE(records.at(0).bookCount, -1);
    }

    void statisticsFiguresOfFixedHandIns_data()
    {
        QTest::addColumn<QString>("figure");
        QTest::addColumn<QString>("expected");
        QTest::newRow("score over attempts per paper") << "scores" << "Edge paper:50,100 Keys:20";
        QTest::newRow("accuracy by type, weakest first") << "types" << "单项选择题 1/3,填空题 1/2,多项选择题 2/3,判断题 2/2";
        QTest::newRow("accuracy by category when no chapter") << "chapters" << "单项选择题 1/4,案例分析题 3/4,判断题 2/2";
        QTest::newRow("time used against allowed, timed only") << "times" << "1800/3600,3000/3600";
        QTest::newRow("book over time, unknown sizes left out") << "book" << "3,1";
        QTest::newRow("days practised in a strip to today") << "days" << "2 days, 81 cells, 2026-03-02:1 2026-03-04:2";
    }

    void statisticsFiguresOfFixedHandIns()
    {
        QFETCH(QString, figure);
        QFETCH(QString, expected);
        const auto sheet = [](const QString &statuses) {
            const QStringList ids{QStringLiteral("a1"), QStringLiteral("c1"), QStringLiteral("m1"), QStringLiteral("f1"),
                                  QStringLiteral("t1"), QStringLiteral("d1")};
            QStringList entries;
            for (int i = 0; i < statuses.size(); ++i) {
                if (statuses.at(i) != QLatin1Char('-'))
                    entries << QStringLiteral("{\"qid\":\"%1\",\"cent\":0,\"status\":%2,\"answer\":\"\"}").arg(ids.at(i), statuses.at(i));
            }
            return QLatin1Char('[') + entries.join(QLatin1Char(',')) + QLatin1Char(']');
        };
        TestSupport::FreshDatabase db(
            bank + QStringLiteral("\nINSERT INTO exam_history(paperId,subjectid,paperName,handedInAt,score,totalCent,useSecond,allowedSecond,bookCount,answers) VALUES"
                                  "('E','S1','Edge paper','2026-03-02T10:00:00',5,10,1800,3600,3,'%1'),"
                                  "('E','S1','Edge paper','2026-03-04T10:00:00',10,10,3000,3600,1,'%2'),"
                                  "('K','S1','Keys','2026-03-04T15:00:00',2,10,300,0,NULL,'%3');")
                       .arg(sheet(QStringLiteral("12020-")), sheet(QStringLiteral("02000-")), sheet(QStringLiteral("1----1"))));
        QVERIFY(db.ok());
        const StatisticsFigures figures = StatisticsFigures::compute(DbConnection::instance(QString(), true)->database(),
                                                                     SubjectScope(), QDate(2026, 3, 5));
        QStringList parts;
        if (figure == QLatin1String("scores")) {
            for (const auto &series : figures.scores) {
                QStringList percents;
                for (double percent : series.percents)
                    percents << QString::number(percent);
                parts << series.paperName + QLatin1Char(':') + percents.join(QLatin1Char(','));
            }
        }
        for (const auto &group : figure == QLatin1String("types") ? figures.byType
                                 : figure == QLatin1String("chapters") ? figures.byChapter
                                                                       : QVector<StatisticsFigures::Accuracy>())
            parts << QStringLiteral("%1 %2/%3").arg(group.name).arg(group.right).arg(group.total);
        if (figure == QLatin1String("times")) {
            for (const auto &time : figures.times)
                parts << QStringLiteral("%1/%2").arg(time.usedSecond).arg(time.allowedSecond);
        }
        if (figure == QLatin1String("book")) {
            for (const auto &size : figures.book)
                parts << QString::number(size.count);
        }
        if (figure == QLatin1String("days")) {
            QStringList busy;
            for (const auto &day : figures.days) {
                if (day.handIns > 0)
                    busy << day.date.toString(Qt::ISODate) + QLatin1Char(':') + QString::number(day.handIns);
            }
            parts << QStringLiteral("%1 days, %2 cells, %3").arg(figures.daysPractised).arg(figures.days.size()).arg(busy.join(QLatin1Char(' ')));
        }
        const QString separator = figure == QLatin1String("scores") ? QStringLiteral(" ") : QStringLiteral(",");
        QCOMPARE(parts.join(separator), expected);
        QCOMPARE(figures.days.first().date.dayOfWeek(), 1);
        QCOMPARE(figures.days.last().date, QDate(2026, 3, 5));

        // The page draws its charts with flot in a web view, without script errors.
        PageView view;
        TestSupport::ScriptErrorLog log(&view);
        QVERIFY(TestSupport::loadPage(&view, ProgressPages::statisticsPage(figures)));
        QTRY_COMPARE_WITH_TIMEOUT(
            TestSupport::pageValue(&view, QStringLiteral("$('div.chart canvas.flot-base').length")).toInt(), 5, 10000);
        QVERIFY2(log.scriptErrors.isEmpty(), qPrintable(log.scriptErrors.join(QLatin1Char('\n'))));
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--attempt-writer") {
        QCoreApplication app(argc, argv);
        return runAttemptWriterChild(QString::fromLocal8Bit(argv[2]));
    }
    TestSupport::prepareTestProcess();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    AttemptsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_attempts.moc"
