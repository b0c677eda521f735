#include "testsupport.h"

#include "dbconnection.h"
#include "exampaper.h"
#include "handinstore.h"
#include "paperanswers.h"
#include "paperfloors.h"
#include "papergrader.h"
#include "paperloader.h"
#include "reviewstore.h"

#include <QSqlQuery>

using TestSupport::FreshDatabase;

namespace {

// The tables a hand-in writes.
const QStringList handInTables{QStringLiteral("review_card"), QStringLiteral("review_log"),
                               QStringLiteral("error_answer"), QStringLiteral("mastered_question"),
                               QStringLiteral("exam_answer"), QStringLiteral("exam_attempt"),
                               QStringLiteral("exam_history")};

const QString paperId = QStringLiteral("km1p1");

// Counts every row written to the hand-in's tables, by table and kind, in a
// table of the connection's own (temp.row_writes).
bool countRowWrites()
{
    QSqlQuery query(TestSupport::database());
    if (!query.exec(QStringLiteral("CREATE TEMP TABLE row_writes(tableName TEXT, kind TEXT)")))
        return false;
    for (const QString &table : handInTables) {
        for (const QString kind : {QStringLiteral("INSERT"), QStringLiteral("UPDATE"), QStringLiteral("DELETE")}) {
            if (!query.exec(QStringLiteral("CREATE TEMP TRIGGER count_%1_%2 AFTER %2 ON main.%1 BEGIN "
                                           "INSERT INTO row_writes VALUES('%1','%2'); END")
                                .arg(table, kind)))
                return false;
        }
    }
    return true;
}

// The rows written by the last hand-in of several, as "table kind count".
QStringList rowsWritten(const std::function<bool()> &handIn, int handIns)
{
    for (int run = 1; run <= handIns; ++run) {
        if (run == handIns)
            FreshDatabase::exec(QStringLiteral("DELETE FROM temp.row_writes"));
        if (!handIn())
            return {QStringLiteral("failed")};
    }
    return FreshDatabase::column(QStringLiteral(
        "SELECT tableName||' '||kind||' '||count(*) FROM temp.row_writes GROUP BY tableName, kind ORDER BY 1"));
}

QString tableSizes()
{
    QStringList sizes;
    for (const QString &table : handInTables)
        sizes << QString::number(FreshDatabase::scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)));
    return sizes.join(QLatin1Char('/'));
}

std::unique_ptr<ExamPaper> markedPaper(bool answered)
{
    std::unique_ptr<ExamPaper> paper =
        PaperLoader(TestSupport::database(), ExamQuestion::FormalPaper, QString()).load(paperId);
    if (!paper)
        return paper;
    if (answered)
        PaperAnswers::answerAll(*paper);
    PaperGrader::markPaper(*paper);
    return paper;
}

} // namespace

// The benchmark's floor of the hand-in is the least the same writes cost: it
// must write the rows the program writes, or the ratio means nothing.
class TestBenchFloors : public QObject
{
    Q_OBJECT

private slots:
    void handInFloorWritesTheProgramsRows_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::addColumn<int>("handIns");
        QTest::newRow("first hand-in, one answer in three wrong") << true << 1;
        QTest::newRow("third hand-in: cards replaced, book rows moved") << true << 3;
        QTest::newRow("nothing answered") << false << 1;
    }

    void handInFloorWritesTheProgramsRows()
    {
        QFETCH(bool, answered);
        QFETCH(int, handIns);
        FreshDatabase db(TestSupport::sampleBankSql());
        QVERIFY(db.ok());
        QVERIFY(countRowWrites());
        std::unique_ptr<ExamPaper> paper = markedPaper(answered);
        QVERIFY(paper && !paper->questions.empty());
        const QString before = tableSizes();

        BenchContext context;
        context.db = TestSupport::database();
        context.paperId = paperId;
        PaperFloors floors(context);
        const QStringList floorRows = rowsWritten([&] { return floors.writeHandInRows(*paper) >= 0; }, handIns);
        QVERIFY(floors.removeHandInRows());
        QCOMPARE(tableSizes(), before);

        const QStringList programRows = rowsWritten(
            [&] {
                return HandInStore::save(*paper, ExamQuestion::FormalPaper, paperId, QDateTime::currentDateTime(),
                                         ReviewStore::examDate())
                    .saved();
            },
            handIns);
        QVERIFY(programRows.contains(QStringLiteral("exam_history INSERT 1")));
        QCOMPARE(floorRows, programRows);
    }
};

TESSERA_TEST_MAIN(TestBenchFloors)
#include "tst_benchfloors.moc"
