// Drawn papers on the sample bank: the blueprint of the subject's mock paper,
// a drawn paper that loads, marks and stores like a shipped one, and its
// deletion with its results.
#include "testsupport.h"

#include "drawingbank.h"
#include "generatedpaperstore.h"
#include "homepages.h"
#include "paperdrawdialog.h"
#include "papergrader.h"
#include "paperloader.h"
#include "resultstore.h"
#include "wrongbook.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTableWidget>

using TestSupport::FreshDatabase;

namespace {

const QString subject = QStringLiteral("km1");
const QDate today(2026, 3, 2);

using TestSupport::database;

QString drawPaper(quint32 seed)
{
    const PaperBlueprint blueprint = PaperBlueprint::fromPapers(DrawingBank::blueprintSources(database(), subject));
    DrawRequest request;
    request.sections = blueprint.sections;
    request.seed = seed;
    request.today = today;
    GeneratedPaperStore::Paper paper;
    paper.subjectId = subject;
    paper.sections = PaperDrawer(DrawingBank::candidates(database(), subject)).draw(request);
    paper.examMinutes = blueprint.examMinutes;
    paper.passRatio = blueprint.passRatio;
    paper.seed = seed;
    paper.createdOn = today;
    return GeneratedPaperStore::create(database(), paper);
}

DrawnSection sectionOf(const QVector<double> &marks, const QVector<int> &parts)
{
    DrawnSection section{BlueprintSection{QStringLiteral("f"), QStringLiteral("单项选择题"), 1, marks.size()}, {}};
    for (int i = 0; i < marks.size(); ++i) {
        DrawCandidate question;
        question.marks = marks.at(i);
        question.caseStudy = parts.at(i) > 0;
        for (int k = 0; k < parts.at(i); ++k)
            question.partIds << QString::number(k);
        section.questions << question;
    }
    return section;
}

} // namespace

class GeneratedPaperTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FreshDatabase> db;

private slots:
    void init()
    {
        db.reset(); // one connection at a time
        db = std::make_unique<FreshDatabase>(TestSupport::sampleBankSql());
        QVERIFY(db->ok());
    }

    void blueprintOfTheMockPaper()
    {
        const PaperBlueprint blueprint = PaperBlueprint::fromPapers(DrawingBank::blueprintSources(database(), subject));
        QCOMPARE(blueprint.sourcePaperId, QStringLiteral("km1p3"));
        QStringList sections;
        for (const BlueprintSection &section : blueprint.sections)
            sections << QStringLiteral("%1:%2:%3").arg(section.categoryName).arg(section.questionType).arg(section.count);
        QCOMPARE(sections, (QStringList{"单项选择题:1:6", "多项选择题:2:3", "判断题:3:4", "填空题:4:2", "简答题:5:1",
                                        "案例分析题:6:1"}));
        QCOMPARE(blueprint.examMinutes, 60);
    }

    // The drawn paper is a formal paper: it loads with its case study whole,
    // no question twice, and its hand-in stores a result and book rows.
    void drawnPaperRunsLikeAShippedOne()
    {
        const QString id = drawPaper(7);
        QVERIFY(id.startsWith(QLatin1String("gen-")));
        PaperLoader loader(database(), 0, QStringLiteral("/opt/tessera/"));
        const auto paper = loader.load(id);
        QVERIFY(paper);
        QCOMPARE(paper->name, QStringLiteral("随机组卷（第1套）"));
        QCOMPARE(paper->examTime, 60);
        QCOMPARE(int(paper->sections.size()), 6);
        QCOMPARE(paper->questionCount, 17);
        QSet<QString> ids;
        for (const auto &question : paper->questions) {
            QVERIFY2(!question->id.isEmpty() && !ids.contains(question->id), qPrintable(question->id));
            ids.insert(question->id);
        }
        const auto &caseSection = *paper->sections.back();
        const ExamQuestion &stem = *paper->questions.at(size_t(caseSection.firstSeq - 1));
        QCOMPARE(stem.type, int(ExamQuestion::Composite));
        QCOMPARE(caseSection.entryCount, 1 + caseSection.quantity);
        QCOMPARE(paper->questions.at(size_t(caseSection.firstSeq))->parentId, stem.id);

        for (const auto &question : paper->questions)
            question->userAnswer = QStringLiteral("Z");
        PaperGrader::markPaper(*paper);
        QVERIFY(ResultStore::store(*paper, id, today));
        QVERIFY(WrongBook::update(*paper, 0, id, today));
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_answer")), 1);
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(distinct examid) from error_answer")), 1);
        QVERIFY(HomePages::wrongAnswerList().contains(paper->name));
        QVERIFY(!HomePages::mockPaperList().contains(paper->name));
    }

    void sameSeedSameQuestions()
    {
        const QString first = drawPaper(11);
        const QString second = drawPaper(11);
        QVERIFY(first != second);
        const QString sql = QStringLiteral("select group_concat(questionIds,'|') from (select questionIds from "
                                           "exam_paper_static where paperId='%1' order by sequence)");
        QCOMPARE(FreshDatabase::column(sql.arg(first)), FreshDatabase::column(sql.arg(second)));
        QCOMPARE(FreshDatabase::column(QStringLiteral("select name from exam_paper where id like 'gen-%' order by sortNo")),
                 (QStringList{"随机组卷（第1套）", "随机组卷（第2套）"}));
    }

    // Deleting takes the paper, its sections and result; its book rows move
    // to a shipped paper that lists the question.
    void deleteTakesItsResults()
    {
        const QString id = drawPaper(3);
        PaperLoader loader(database(), 0, QStringLiteral("/opt/tessera/"));
        const auto paper = loader.load(id);
        for (const auto &question : paper->questions)
            question->userAnswer = QStringLiteral("Z");
        PaperGrader::markPaper(*paper);
        QVERIFY(ResultStore::store(*paper, id, today));
        QVERIFY(WrongBook::update(*paper, 0, id, today));
        const int bookRows = FreshDatabase::scalar(QStringLiteral("select count(*) from error_answer"));

        QVERIFY(!GeneratedPaperStore::remove(database(), QStringLiteral("km1p1")));
        QVERIFY(GeneratedPaperStore::remove(database(), id));
        for (const char *table : {"exam_paper", "exam_answer", "generated_paper"})
            QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from %1 where %2='%3'")
                                               .arg(QLatin1String(table), table == QByteArray("exam_paper") ? "id" : "paperId", id)),
                     0);
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_paper_static where paperId='%1'").arg(id)), 0);
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from error_answer")), bookRows);
        QCOMPARE(FreshDatabase::scalar(QStringLiteral(
                     "select count(*) from error_answer where examid not in ('km1p1','km1p2','km1p3','km1p4')")),
                 0);
    }

    // The dialog starts from the blueprint, reports a shortage before
    // drawing, and draws what it shows.
    void drawDialog()
    {
        PaperDrawDialog dialog(subject, today);
        dialog.seed = 5;
        QCOMPARE(dialog.minutes->value(), 60);
        QStringList counts;
        for (int row = 0; row < dialog.countTable->rowCount(); ++row)
            counts << dialog.countTable->item(row, 0)->text() + QLatin1Char(':')
                    + QString::number(static_cast<QSpinBox *>(dialog.countTable->cellWidget(row, 2))->value());
        QCOMPARE(counts, (QStringList{"单项选择题:6", "多项选择题:3", "判断题:4", "填空题:2", "简答题:1", "案例分析题:1",
                                      "论述题:0"}));
        QVERIFY(dialog.shortageLabel->isHidden());

        static_cast<QSpinBox *>(dialog.countTable->cellWidget(0, 2))->setValue(99);
        dialog.chapterList->item(0)->setCheckState(Qt::Checked);
        QVERIFY(!dialog.shortageLabel->isHidden());
        QVERIFY2(dialog.shortageLabel->text().startsWith(QStringLiteral("单项选择题：要 99 题，题库中只有 ")),
                 qPrintable(dialog.shortageLabel->text()));
        const int inChapter = dialog.countTable->item(0, 1)->text().toInt();
        QVERIFY(inChapter > 0 && inChapter < 24);

        dialog.drawButton->click();
        QVERIFY(!dialog.paperId.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(FreshDatabase::scalar(QStringLiteral("select quantity from exam_paper_static where paperId='%1' and fuleixingid='km1f1'")
                                           .arg(dialog.paperId)),
                 inChapter);
    }

    void caption_data()
    {
        QTest::addColumn<QVector<double>>("marks");
        QTest::addColumn<QVector<int>>("parts");
        QTest::addColumn<QString>("caption");
        QTest::newRow("even marks") << QVector<double>{2, 2, 2} << QVector<int>{0, 0, 0}
                                    << "单项选择题（共3题，每题2分，共6分）";
        QTest::newRow("uneven marks") << QVector<double>{2, 3} << QVector<int>{0, 0} << "单项选择题（共2题，共5分）";
        QTest::newRow("case study counts its parts") << QVector<double>{4, 6} << QVector<int>{2, 3}
                                                     << "单项选择题（共5题，每题2分，共10分）";
    }

    void caption()
    {
        QFETCH(QVector<double>, marks);
        QFETCH(QVector<int>, parts);
        QFETCH(QString, caption);
        QCOMPARE(GeneratedPaperStore::caption(sectionOf(marks, parts)), caption);
    }
};

TESSERA_TEST_MAIN(GeneratedPaperTest)
#include "tst_generatedpaper.moc"
