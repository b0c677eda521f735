#include "testsupport.h"

#include "answersheet.h"
#include "dbconnection.h"
#include "exampaper.h"
#include "handinstore.h"
#include "papergrader.h"
#include "paperloader.h"

#include <QApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <csignal>
#include <iostream>
#include <random>

namespace {

const char childFlag[] = "--hand-in-loop";

// Papers P1 and P2 hold the same six single choices (answer "A"); a hand-in
// of either moves the book rows of its wrong answers to itself.
QString bankSql()
{
    QString sql = QStringLiteral(
        "INSERT INTO exam_subject(id,name) VALUES('S1','科目');\n"
        "INSERT INTO exam_dic_fuleixing(id,name,questionTypeId,subjectid) VALUES('F1','单项选择题',1,'S1');\n"
        "INSERT INTO exam_paper(id,name,asname,subjectId,totalCent,passCent,examTime) VALUES('P1','一','一','S1',6,4,60);\n"
        "INSERT INTO exam_paper(id,name,asname,subjectId,totalCent,passCent,examTime) VALUES('P2','二','二','S1',6,4,60);\n");
    QStringList ids;
    for (int i = 1; i <= 6; ++i) {
        sql += QStringLiteral("INSERT INTO exam_question(id,questionTypeid,title,option1,option2,optionLength,answer,cent,parentId,fuleixingid)"
                              " VALUES('q%1',1,'题%1','甲','乙',2,'A',1,'','F1');\n").arg(i);
        ids << QStringLiteral("{\"qid\":\"q%1\"}").arg(i);
    }
    for (const QString paper : {QStringLiteral("P1"), QStringLiteral("P2")})
        sql += QStringLiteral("INSERT INTO exam_paper_static(id,paperId,subjectid,sequence,captionName,questionTypeid,fuleixingid,questionIds,quantity,mark)"
                              " VALUES('%1-s','%1','S1',1,'单项选择题',1,'F1','[%2]',6,6);\n").arg(paper, ids.join(QLatin1Char(',')));
    return sql;
}

// The child: hands in P1 and P2 in turn, each question answered right or
// wrong at random, and reports every stored hand-in, until it is killed.
int handInLoop(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    DbConnection *connection = DbConnection::instance(QString::fromLocal8Bit(argv[2]) + QLatin1Char('/'), true);
    std::mt19937 random(QByteArray(argv[3]).toUInt());
    PaperLoader loader(connection->database(), ExamQuestion::FormalPaper, QString());
    std::unique_ptr<ExamPaper> papers[] = {loader.load(QStringLiteral("P1")), loader.load(QStringLiteral("P2"))};
    if (!connection->opened || !papers[0] || !papers[1])
        return 2;
    std::cout << "ready" << std::endl;
    for (int round = 0;; ++round) {
        ExamPaper &paper = *papers[round % 2];
        paper.handedIn = false;
        for (const auto &question : paper.questions)
            question->userAnswer = random() % 2 ? QStringLiteral("A") : QStringLiteral("B");
        PaperGrader::markPaper(paper);
        if (!HandInStore::save(paper, ExamQuestion::FormalPaper, paper.id, QDateTime::currentDateTime()))
            return 3;
        std::cout << "stored" << std::endl;
    }
}

} // namespace

class KilledHandInTest : public QObject
{
    Q_OBJECT

private:
    // The file is sound, holds one result per paper, and the newest result and
    // the book are of one hand-in: every question the newest result marks
    // wrong has its book row under that result's paper. Counts the results.
    void checkFile(const QString &path, int &results)
    {
        TestSupport::FileConnection file(path);
        QVERIFY(file.isOpen());
        QSqlDatabase db = file.database();
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("ok"));
        QVERIFY(query.exec(QStringLiteral("select count(*) - count(distinct paperId) from exam_answer")) && query.next());
        QCOMPARE(query.value(0).toInt(), 0);
        QVERIFY(query.exec(QStringLiteral("select paperId, answers from exam_answer order by rowid desc limit 1")));
        if (query.next()) {
            ++results;
            const QString paperId = query.value(0).toString();
            const AnswerSheetReading sheet = AnswerSheet::read(query.value(1).toString());
            QVERIFY2(sheet.ok(), qPrintable(sheet.error));
            QCOMPARE(sheet.entries.size(), 6);
            QSqlQuery book(db);
            for (const AnswerSheetEntry &entry : sheet.entries) {
                if (entry.status != 1)
                    continue;
                QVERIFY(book.prepare(QStringLiteral("select examid from error_answer where questionId=?")));
                book.addBindValue(entry.qid);
                QVERIFY(book.exec() && book.next());
                QVERIFY2(book.value(0).toString() == paperId,
                         qPrintable(QStringLiteral("%1 of the %2 result is in the book under %3")
                                        .arg(entry.qid, paperId, book.value(0).toString())));
            }
        }
    }

private slots:
    // A child hands in papers in a loop and is killed at random moments; after
    // every kill nothing is torn.
    void killedHandInsLeaveWholeHandIns()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.db"));
        QVERIFY(TestSupport::writeDatabaseFile(path, bankSql()));
        std::mt19937 random(20240611u);
        QElapsedTimer clock;
        clock.start();
        int kills = 0;
        int results = 0;
        int stored = 0;
        while (kills < 60 && clock.elapsed() < 150000) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QLatin1String(childFlag), dir.path(), QString::number(random())});
            QVERIFY(child.waitForStarted(30000));
            QVERIFY2(child.waitForReadyRead(30000) && child.readLine().trimmed() == "ready",
                     child.readAllStandardError().constData());
            // The kill lands anywhere in the first hand-ins: the child gets a
            // random number of milliseconds to run.
            QVERIFY(!child.waitForFinished(int(random() % 60)));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(30000));
            stored += child.readAllStandardOutput().count("stored");
            ++kills;
            checkFile(path, results);
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY2(kills >= 50, qPrintable(QStringLiteral("only %1 kills in the time allowed").arg(kills)));
        QVERIFY(stored > 0 && results > 0);
    }
};

int main(int argc, char *argv[])
{
    // As the program: every connection knows the title index's tokenizer,
    // which a newer SQLite's integrity check reads.
    TestSupport::prepareTestProcess();
    if (argc == 4 && qstrcmp(argv[1], childFlag) == 0)
        return handInLoop(argc, argv);
    QApplication app(argc, argv);
    KilledHandInTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killedhandin.moc"
