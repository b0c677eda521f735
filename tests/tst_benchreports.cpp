#include "testsupport.h"

#include "../bench/childreport.h"
#include "../bench/processtreememory.h"

#include <QProcess>

// What the benchmark reads of the processes it measures: the lines a child
// reports, the parent and the PSS in /proc texts, and the tree of processes
// whose memory is summed. A misread figure would print a wrong table, not fail.
class TestBenchReports : public QObject
{
    Q_OBJECT

private slots:
    void childValue_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<long>("expected");

        QTest::newRow("one line") << QByteArray("painted peak_rss_kb=123\n") << QByteArray("painted")
                                  << QByteArray("peak_rss_kb") << 123L;
        QTest::newRow("second key") << QByteArray("painted peak_rss_kb=123 processes=4\n") << QByteArray("painted")
                                    << QByteArray("processes") << 4L;
        QTest::newRow("later line") << QByteArray("painted peak_rss_kb=123 processes=4\nexam peak_rss_kb=456 processes=4\n")
                                    << QByteArray("exam") << QByteArray("peak_rss_kb") << 456L;
        QTest::newRow("first line not swallowing the next")
            << QByteArray("painted peak_rss_kb=123\nexam peak_rss_kb=456\n") << QByteArray("painted")
            << QByteArray("peak_rss_kb") << 123L;
        QTest::newRow("no final newline") << QByteArray("painted peak_rss_kb=77") << QByteArray("painted")
                                          << QByteArray("peak_rss_kb") << 77L;
        QTest::newRow("carriage returns and spaces") << QByteArray("  painted   peak_rss_kb=9 \r\n")
                                                     << QByteArray("painted") << QByteArray("peak_rss_kb") << 9L;
        QTest::newRow("engine noise before") << QByteArray("js: warning\npainted peak_rss_kb=5\n")
                                             << QByteArray("painted") << QByteArray("peak_rss_kb") << 5L;
        QTest::newRow("no such line") << QByteArray("painted peak_rss_kb=5\n") << QByteArray("exam")
                                      << QByteArray("peak_rss_kb") << -1L;
        QTest::newRow("word only inside a line") << QByteArray("not painted peak_rss_kb=5\n")
                                                 << QByteArray("painted") << QByteArray("peak_rss_kb") << -1L;
        QTest::newRow("no such key") << QByteArray("painted processes=3\n") << QByteArray("painted")
                                     << QByteArray("peak_rss_kb") << -1L;
        QTest::newRow("key a prefix of another") << QByteArray("painted peak_rss_kb_max=8 peak_rss_kb=3\n")
                                                 << QByteArray("painted") << QByteArray("peak_rss_kb") << 3L;
        QTest::newRow("not a number") << QByteArray("painted peak_rss_kb=lots\n") << QByteArray("painted")
                                      << QByteArray("peak_rss_kb") << -1L;
        QTest::newRow("empty value") << QByteArray("painted peak_rss_kb=\n") << QByteArray("painted")
                                     << QByteArray("peak_rss_kb") << -1L;
        QTest::newRow("negative") << QByteArray("painted peak_rss_kb=-4\n") << QByteArray("painted")
                                  << QByteArray("peak_rss_kb") << -1L;
        QTest::newRow("nothing written") << QByteArray() << QByteArray("painted") << QByteArray("peak_rss_kb")
                                         << -1L;
    }

    void childValue()
    {
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, word);
        QFETCH(QByteArray, key);
        QFETCH(long, expected);
        QCOMPARE(ChildReport::value(output, word, key), expected);
    }

    void parentFromStat_data()
    {
        QTest::addColumn<QByteArray>("stat");
        QTest::addColumn<qint64>("parent");

        QTest::newRow("plain name") << QByteArray("1234 (tessera) S 99 1234 1234 0 -1") << qint64(99);
        QTest::newRow("name with spaces") << QByteArray("1234 (Web Content) S 77 1 1 0") << qint64(77);
        QTest::newRow("name with parentheses") << QByteArray("1234 (a) S 5 (b)) R 66 1 1 0") << qint64(66);
        QTest::newRow("name with a digit run") << QByteArray("1234 (QtWebEngineProc 12 34) S 4321 1") << qint64(4321);
        QTest::newRow("trailing newline") << QByteArray("8 (x) S 3 8 8\n") << qint64(3);
        QTest::newRow("cut after the state") << QByteArray("1234 (tessera) S") << qint64(0);
        QTest::newRow("no name") << QByteArray("1234 S 99") << qint64(0);
        QTest::newRow("unreadable") << QByteArray() << qint64(0);
    }

    void parentFromStat()
    {
        QFETCH(QByteArray, stat);
        QFETCH(qint64, parent);
        QCOMPARE(ProcessTreeMemory::parentFromStat(stat), parent);
    }

    void pssFromRollup_data()
    {
        QTest::addColumn<QByteArray>("rollup");
        QTest::addColumn<long>("pss");

        const QByteArray head("55d0c8a4e000-7ffd5a1f5000 ---p 00000000 00:00 0    [rollup]\n"
                              "Rss:              102400 kB\n");
        QTest::newRow("usual") << head + "Pss:               61234 kB\nPss_Anon:          40000 kB\n" << 61234L;
        QTest::newRow("parts before the total") << head + "Pss_Anon:  40000 kB\nPss:  61234 kB\n" << 61234L;
        QTest::newRow("tab separated") << QByteArray("Pss:\t812\tkB\n") << 812L;
        QTest::newRow("no total") << head + "Pss_Anon:          40000 kB\n" << 0L;
        QTest::newRow("unreadable") << QByteArray() << 0L;
    }

    void pssFromRollup()
    {
        QFETCH(QByteArray, rollup);
        QFETCH(long, pss);
        QCOMPARE(ProcessTreeMemory::pssFromRollup(rollup), pss);
    }

    // A helper process this one starts is found and counted, as Qt
    // WebEngine's are.
    void treeHoldsStartedChild()
    {
        const long alone = ProcessTreeMemory::treePssKb();
        QVERIFY(alone > 0);
        QProcess child;
        child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(child.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(ProcessTreeMemory::treePids().contains(child.processId()), 5000);
        QCOMPARE(ProcessTreeMemory::treePids().first(), qint64(getpid()));
        QVERIFY(ProcessTreeMemory::treePssKb() > ProcessTreeMemory::pssFromRollup(
                                                      ProcessTreeMemory::procFile(getpid(), "smaps_rollup")));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        QVERIFY(!ProcessTreeMemory::treePids().contains(child.processId()));
    }
};

TESSERA_TEST_MAIN(TestBenchReports)
#include "tst_benchreports.moc"
