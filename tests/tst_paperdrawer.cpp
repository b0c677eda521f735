// Drawing a paper from the bank without a database: the blueprint taken from
// the bank's papers, counts per type and chapter, no repeats, case studies
// whole, shortages reported, the same seed giving the same paper, and the
// preference for new and often-wrong questions.
#include "paperblueprint.h"
#include "paperdrawer.h"
#include "testsupport.h"

#include <QApplication>
#include <QSet>

namespace {

// Category "single": 10 questions, s0-s4 in chapter c1, s5-s9 in c2.
// Category "case": 3 case studies with 2, 3 and 0 parts.
QVector<DrawCandidate> bank()
{
    QVector<DrawCandidate> candidates;
    for (int i = 0; i < 10; ++i)
        candidates << DrawCandidate{QStringLiteral("s%1").arg(i), QStringLiteral("single"),
                                    i < 5 ? QStringLiteral("c1") : QStringLiteral("c2"), false, {}, 2, 0, QDate()};
    candidates << DrawCandidate{QStringLiteral("k1"), QStringLiteral("case"), QStringLiteral("c1"), true,
                                {QStringLiteral("k1a"), QStringLiteral("k1b")}, 4, 0, QDate()};
    candidates << DrawCandidate{QStringLiteral("k2"), QStringLiteral("case"), QStringLiteral("c2"), true,
                                {QStringLiteral("k2a"), QStringLiteral("k2b"), QStringLiteral("k2c")}, 6, 0, QDate()};
    candidates << DrawCandidate{QStringLiteral("k3"), QStringLiteral("case"), QStringLiteral("c2"), true, {}, 0, 0, QDate()};
    return candidates;
}

BlueprintSection section(const char *category, int count)
{
    return BlueprintSection{QLatin1String(category), QLatin1String(category), 1, count};
}

QStringList ids(const QVector<DrawCandidate> &questions)
{
    QStringList result;
    for (const DrawCandidate &question : questions)
        result << question.id;
    return result;
}

BlueprintSource source(const char *paper, int sortNo, bool mock, int sequence, const char *category,
                       int count, bool optional = false)
{
    BlueprintSource s;
    s.paperId = QLatin1String(paper);
    s.paperSortNo = sortNo;
    s.mockPaper = mock;
    s.examMinutes = 90;
    s.totalCent = 50;
    s.passCent = 30;
    s.sequence = sequence;
    s.categoryId = QLatin1String(category);
    s.questionType = 1;
    s.topLevelCount = count;
    s.optional = optional;
    return s;
}

} // namespace

Q_DECLARE_METATYPE(QVector<BlueprintSource>)

class PaperDrawerTest : public QObject
{
    Q_OBJECT

private slots:
    void counts_data()
    {
        QTest::addColumn<int>("singles");
        QTest::addColumn<int>("cases");
        QTest::addColumn<QStringList>("chapters");
        QTest::addColumn<QList<int>>("drawn"); // per drawn section
        QTest::newRow("every chapter") << 6 << 2 << QStringList() << QList<int>{6, 2};
        QTest::newRow("one chapter") << 4 << 1 << QStringList{QStringLiteral("c1")} << QList<int>{4, 1};
        QTest::newRow("short category gives what it has") << 3 << 5 << QStringList{QStringLiteral("c2")}
                                                           << QList<int>{3, 1};
        QTest::newRow("zero leaves a section out") << 0 << 1 << QStringList() << QList<int>{1};
    }

    void counts()
    {
        QFETCH(int, singles);
        QFETCH(int, cases);
        QFETCH(QStringList, chapters);
        QFETCH(QList<int>, drawn);
        DrawRequest request;
        request.sections = {section("single", singles), section("case", cases)};
        request.chapterIds = chapters;
        const QVector<DrawnSection> paper = PaperDrawer(bank()).draw(request);
        QList<int> sizes;
        for (const DrawnSection &s : paper) {
            sizes << s.questions.size();
            for (const DrawCandidate &question : s.questions)
                QVERIFY(chapters.isEmpty() || chapters.contains(question.chapterId));
        }
        QCOMPARE(sizes, drawn);
    }

    // Two sections of one category share its questions; no question twice.
    void noRepeats()
    {
        DrawRequest request;
        request.sections = {section("single", 6), section("single", 6)};
        for (quint32 seed = 0; seed < 20; ++seed) {
            request.seed = seed;
            const QVector<DrawnSection> paper = PaperDrawer(bank()).draw(request);
            QStringList all = ids(paper.at(0).questions) + ids(paper.at(1).questions);
            QCOMPARE(all.size(), 10);
            QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), 10);
        }
    }

    void caseStudiesWhole()
    {
        DrawRequest request;
        request.sections = {section("case", 5)};
        const QVector<DrawnSection> paper = PaperDrawer(bank()).draw(request);
        QCOMPARE(paper.size(), 1);
        QStringList drawn = ids(paper.at(0).questions);
        drawn.sort();
        QCOMPARE(drawn, (QStringList{QStringLiteral("k1"), QStringLiteral("k2")})); // k3 has no parts
        for (const DrawCandidate &question : paper.at(0).questions)
            QCOMPARE(question.partIds.size(), question.id == QLatin1String("k1") ? 2 : 3);
    }

    void shortages_data()
    {
        QTest::addColumn<int>("singles");
        QTest::addColumn<int>("cases");
        QTest::addColumn<QStringList>("chapters");
        QTest::addColumn<QStringList>("report"); // category:wanted/available
        QTest::newRow("enough") << 10 << 2 << QStringList() << QStringList();
        QTest::newRow("one short") << 11 << 2 << QStringList() << QStringList{QStringLiteral("single:11/10")};
        QTest::newRow("chapter narrows both") << 6 << 2 << QStringList{QStringLiteral("c1")}
                                               << QStringList{QStringLiteral("single:6/5"), QStringLiteral("case:2/1")};
    }

    void shortages()
    {
        QFETCH(int, singles);
        QFETCH(int, cases);
        QFETCH(QStringList, chapters);
        QFETCH(QStringList, report);
        DrawRequest request;
        request.sections = {section("single", singles), section("case", cases)};
        request.chapterIds = chapters;
        QStringList found;
        for (const DrawShortage &s : PaperDrawer(bank()).shortages(request))
            found << QStringLiteral("%1:%2/%3").arg(s.categoryId).arg(s.wanted).arg(s.available);
        QCOMPARE(found, report);
    }

    // The same seed gives the same paper whatever order the bank was read in.
    void sameSeedSamePaper()
    {
        DrawRequest request;
        request.sections = {section("single", 4), section("case", 1)};
        request.seed = 42;
        QVector<DrawCandidate> reversed = bank();
        std::reverse(reversed.begin(), reversed.end());
        const QVector<DrawnSection> first = PaperDrawer(bank()).draw(request);
        const QVector<DrawnSection> second = PaperDrawer(reversed).draw(request);
        QCOMPARE(ids(first.at(0).questions), ids(second.at(0).questions));
        QCOMPARE(ids(first.at(1).questions), ids(second.at(1).questions));
        request.seed = 43;
        QVERIFY(ids(PaperDrawer(bank()).draw(request).at(0).questions) != ids(first.at(0).questions));
    }

    void weights_data()
    {
        QTest::addColumn<int>("lapses");
        QTest::addColumn<int>("daysAgo"); // -1: never answered
        QTest::addColumn<double>("weight");
        QTest::newRow("never answered") << 0 << -1 << 4.0;
        QTest::newRow("right today") << 0 << 0 << 0.1;
        QTest::newRow("right a month ago") << 0 << 30 << 1.0;
        QTest::newRow("wrong twice, half a month ago") << 2 << 15 << 3 * 0.55;
        QTest::newRow("lapses count up to eight") << 20 << 60 << 9.0;
    }

    void weights()
    {
        QFETCH(int, lapses);
        QFETCH(int, daysAgo);
        QFETCH(double, weight);
        const QDate today(2025, 4, 1);
        DrawCandidate candidate;
        candidate.lapses = lapses;
        candidate.lastSeen = daysAgo < 0 ? QDate() : today.addDays(-daysAgo);
        QVERIFY(qAbs(PaperDrawer::weight(candidate, today) - weight) < 1e-9);
    }

    // With the preference on, a new question beats one answered right today
    // most of the time; without it the two are even.
    void preferenceFavoursNewQuestions()
    {
        const QDate today(2025, 4, 1);
        const QVector<DrawCandidate> pair{
            DrawCandidate{QStringLiteral("new"), QStringLiteral("single"), QString(), false, {}, 1, 0, QDate()},
            DrawCandidate{QStringLiteral("seen"), QStringLiteral("single"), QString(), false, {}, 1, 0, today}};
        DrawRequest request;
        request.sections = {section("single", 1)};
        request.today = today;
        int preferred = 0;
        int plain = 0;
        for (quint32 seed = 0; seed < 200; ++seed) {
            request.seed = seed;
            request.preferWeakAndNew = true;
            preferred += PaperDrawer(pair).draw(request).at(0).questions.at(0).id == QLatin1String("new");
            request.preferWeakAndNew = false;
            plain += PaperDrawer(pair).draw(request).at(0).questions.at(0).id == QLatin1String("new");
        }
        QVERIFY2(preferred > 180, qPrintable(QString::number(preferred)));
        QVERIFY2(plain > 70 && plain < 130, qPrintable(QString::number(plain)));
    }

    void blueprint_data()
    {
        QTest::addColumn<QVector<BlueprintSource>>("sources");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QStringList>("sections"); // category:count in order
        QTest::newRow("first mock paper, sections in order, optional left out")
            << QVector<BlueprintSource>{source("real", 1, false, 1, "a", 9), source("mock2", 3, true, 1, "a", 7),
                                        source("mock1", 2, true, 2, "b", 2), source("mock1", 2, true, 1, "a", 6),
                                        source("mock1", 2, true, 3, "c", 1, true)}
            << QStringLiteral("mock1") << QStringList{QStringLiteral("a:6"), QStringLiteral("b:2")};
        QTest::newRow("no mock paper: the first paper")
            << QVector<BlueprintSource>{source("p2", 2, false, 1, "a", 3), source("p1", 1, false, 1, "b", 4)}
            << QStringLiteral("p1") << QStringList{QStringLiteral("b:4")};
        QTest::newRow("no paper at all") << QVector<BlueprintSource>() << QString() << QStringList();
    }

    void blueprint()
    {
        QFETCH(QVector<BlueprintSource>, sources);
        QFETCH(QString, paper);
        QFETCH(QStringList, sections);
        const PaperBlueprint blueprint = PaperBlueprint::fromPapers(sources);
        QCOMPARE(blueprint.sourcePaperId, paper);
        QStringList found;
        for (const BlueprintSection &s : blueprint.sections)
            found << QStringLiteral("%1:%2").arg(s.categoryId).arg(s.count);
        QCOMPARE(found, sections);
        if (!paper.isEmpty()) {
            QCOMPARE(blueprint.examMinutes, 90);
            QCOMPARE(blueprint.passRatio, 0.6);
        }
    }
};

TESSERA_TEST_MAIN(PaperDrawerTest)
#include "tst_paperdrawer.moc"
