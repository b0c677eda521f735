// The start page's review and drawing actions on the sample bank, with the
// home form's clock fixed: badges by date and exam date, today's review handed
// to the exam window, the study lists, and deleting a drawn paper.
#include "testsupport.h"

#include "bankfile.h"
#include "bankwriter.h"
#include "dbconnection.h"
#include "fwelcome.h"
#include "generatedpaperstore.h"
#include "homepages.h"
#include "pageview.h"
#include "paperloader.h"
#include "reviewstore.h"
#include "subjectstore.h"

#include <QApplication>
#include <QSignalSpy>

using TestSupport::FreshDatabase;

namespace {

const QDate start(2026, 3, 2);

// Two lapses on the start day (due the next), a stubborn question and a
// mastered one, all of subject km1.
const QString reviewSql = QStringLiteral(
    "insert into error_answer(questionId,subjectId,examid,fuleixingid) values('km1q001','km1','km1p1','km1f1');\n"
    "insert into error_answer(questionId,subjectId,examid,fuleixingid) values('km1q002','km1','km1p1','km1f1');\n"
    "insert into error_answer(questionId,subjectId,examid,fuleixingid) values('km1q003','km1','km1p1','km1f1');\n"
    "insert into review_card values('km1q001',0.212,6.4,'2026-03-02','2026-03-03',1,1);\n"
    "insert into review_card values('km1q002',0.212,6.4,'2026-03-02','2026-03-03',1,1);\n"
    "insert into review_card values('km1q003',0.3,9.8,'2026-03-01','2026-03-02',12,8);\n"
    "insert into mastered_question(questionId,subjectId,examid,masteredOn) values('km1q004','km1','km1p1','2026-03-01');\n");

QString pageText(Fwelcome &form)
{
    return TestSupport::pageValue(form.mainWebView, QStringLiteral("document.documentElement.outerHTML")).toString();
}

} // namespace

class StudyHomeTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FreshDatabase> db;
    FixedClock clock{start};

private slots:
    void init()
    {
        db.reset(); // one connection at a time
        db = std::make_unique<FreshDatabase>(TestSupport::sampleBankSql() + reviewSql);
        QVERIFY(db->ok());
        QVERIFY(SubjectStore::choose(QStringLiteral("km1")));
    }

    void badges_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("examInDays"); // 0: none
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("absent");
        const QString stubborn = QStringLiteral("顽固错题<span class=\"badge\">1</span>");
        QTest::newRow("day of the lapses") << 0 << 0 << QStringList{"今日复习<span class=\"badge\">0 题", stubborn}
                                           << "还有";
        QTest::newRow("next day") << 1 << 0 << QStringList{"今日复习<span class=\"badge\">2 题"} << "还有";
        QTest::newRow("exam ahead spreads the book") << 0 << 1
                                                     << QStringList{"今日复习<span class=\"badge\">2 题",
                                                                    "考试日期<span class=\"badge\">还有 1 天"}
                                                     << "";
        QTest::newRow("exam passed") << 5 << -2 << QStringList{"已掌握<span class=\"badge\">1"} << "还有";
    }

    void badges()
    {
        QFETCH(int, day);
        QFETCH(int, examInDays);
        QFETCH(QStringList, shown);
        QFETCH(QString, absent);
        if (examInDays != 0)
            QVERIFY(ReviewStore::setExamDate(start.addDays(day + examInDays)));
        Fwelcome form(nullptr);
        clock.setToday(start.addDays(day));
        form.clock = &clock;
        form.my_refresh01();
        QTRY_VERIFY_WITH_TIMEOUT(pageText(form).contains(QStringLiteral("home_tools")), 5000);
        for (const QString &text : shown)
            QVERIFY2(pageText(form).contains(text), qPrintable(text));
        if (!absent.isEmpty())
            QVERIFY(!pageText(form).contains(absent));
    }

    // Today's review and the study lists' practices open the exam window's
    // practice mode with a question-list key.
    void practices_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("today's review") << "homeAction" << "review" << "今日复习"
                                        << QStringList{"km1q001", "km1q002"};
        QTest::newRow("stubborn questions") << "practiseList" << "stubborn" << "顽固错题练习" << QStringList{"km1q003"};
        QTest::newRow("mastered questions") << "practiseList" << "mastered" << "已掌握的题" << QStringList{"km1q004"};
    }

    void practices()
    {
        QFETCH(QString, slot);
        QFETCH(QString, argument);
        QFETCH(QString, title);
        QFETCH(QStringList, ids);
        Fwelcome form(nullptr);
        clock.setToday(start.addDays(1));
        form.clock = &clock;
        QSignalSpy spy(&form, &Fwelcome::showExam);
        QVERIFY(QMetaObject::invokeMethod(&form, slot.toLatin1().constData(), Q_ARG(QString, argument)));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toInt(), 3);
        QString keyTitle;
        QStringList keyIds;
        QVERIFY(PaperLoader::readQuestionListKey(spy.at(0).at(0).toString(), &keyTitle, &keyIds));
        QCOMPARE(keyTitle, title);
        QCOMPARE(keyIds, ids);
    }

    // 每日一练: the day's due reviews first, then questions of the subject drawn
    // at random, ten in all, no repeats, the same all day.
    void dailyPractice()
    {
        const auto dailyIds = [this](int day) {
            Fwelcome form(nullptr);
            clock.setToday(start.addDays(day));
            form.clock = &clock;
            QSignalSpy spy(&form, &Fwelcome::showExam);
            form.dailyPractice();
            QString title;
            QStringList ids;
            if (spy.count() == 1)
                PaperLoader::readQuestionListKey(spy.at(0).at(0).toString(), &title, &ids);
            return title + QLatin1Char(':') + ids.join(QLatin1Char(','));
        };
        const QString first = dailyIds(1);
        QVERIFY2(first.startsWith(QStringLiteral("每日一练:km1q001,km1q002,")), qPrintable(first));
        QStringList ids = first.section(QLatin1Char(':'), 1).split(QLatin1Char(','));
        QCOMPARE(ids.size(), 10);
        QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), 10);
        for (const QString &id : ids)
            QVERIFY2(id.startsWith(QLatin1String("km1q")), qPrintable(id));
        QCOMPARE(dailyIds(1), first);
        QVERIFY(dailyIds(2) != first);
    }

    void studyLists()
    {
        const QString stubborn = HomePages::stubbornList();
        QVERIFY(stubborn.contains(QStringLiteral("十进制数25转换成二进制数是")));
        QVERIFY(stubborn.contains(QStringLiteral("25＝16＋8＋1")));
        QVERIFY(HomePages::masteredList().contains(QStringLiteral("2026-03-01")));
    }

    void deleteDrawnPaper_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("left");
        QTest::newRow("confirmed") << "删除" << 0;
        QTest::newRow("declined") << "取消" << 1;
    }

    void deleteDrawnPaper()
    {
        QFETCH(QString, button);
        QFETCH(int, left);
        DrawnSection section{BlueprintSection{QStringLiteral("km1f1"), QStringLiteral("单项选择题"), 1, 1}, {}};
        section.questions << DrawCandidate{QStringLiteral("km1q001"), QStringLiteral("km1f1"), QString(), false, {}, 2, 0, QDate()};
        GeneratedPaperStore::Paper paper{QStringLiteral("km1"), {section}, 60, 0.6, 1, start};
        const QString id = GeneratedPaperStore::create(DbConnection::instance(QString(), true)->database(), paper);
        QVERIFY(!id.isEmpty());
        QVERIFY(HomePages::generatedPaperList().contains(QStringLiteral("随机组卷（第1套）")));
        QVERIFY(!HomePages::paperList().contains(QStringLiteral("随机组卷（第1套）")));

        Fwelcome form(nullptr);
        TestSupport::clickNextMessageBoxButton(button);
        form.deleteGeneratedPaper(id);
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from generated_paper")), left);
    }

    // 导入记录 lists the subject's imported papers; 删除 there takes one out.
    void deleteImportedPaper()
    {
        QTemporaryDir images;
        ImportRequest request;
        request.subjectId = QStringLiteral("km1");
        request.paperName = QStringLiteral("导入的练习");
        request.sourceName = QStringLiteral("mine.gift");
        request.imageDir = images.path();
        const ImportOutcome imported = BankWriter(DbConnection::instance(QString(), true)->database())
                                           .write(BankFile::parse("Q {T}", QStringLiteral("gift")), request);
        QVERIFY(imported.ok);
        const QString list = HomePages::importedPaperList();
        QVERIFY(list.contains(QStringLiteral("导入的练习")) && list.contains(QStringLiteral("deleteImportedPaper(")));

        Fwelcome form(nullptr);
        TestSupport::clickNextMessageBoxButton(QStringLiteral("删除"));
        form.deleteImportedPaper(imported.paperId);
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from import_paper")), 0);
        QVERIFY(!HomePages::importedPaperList().contains(QStringLiteral("导入的练习")));
    }
};

TESSERA_TEST_MAIN(StudyHomeTest)
#include "tst_studyhome.moc"
