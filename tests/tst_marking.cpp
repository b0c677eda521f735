#include "testsupport.h"

#include "answerrecorder.h"
#include "answersheet.h"
#include "blankanswer.h"
#include "entryremoval.h"
#include "exampaper.h"
#include "papergrader.h"
#include "resultspage.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScriptEngine>

namespace {

// A small paper built by hand: sections with their entries, in order.
struct PaperBuilder
{
    ExamPaper paper;
    int seq = 1;

    PaperSection *section(const QString &bname, int quantity, double mark, int isselect = 0)
    {
        auto s = std::make_unique<PaperSection>();
        s->id = QStringLiteral("s%1").arg(paper.sections.size() + 1);
        s->bname = bname;
        s->quantity = quantity;
        s->mark = mark;
        s->isselect = isselect;
        s->firstSeq = seq;
        s->lastSeq = seq - 1;
        return paper.addSection(std::move(s));
    }

    ExamQuestion *question(int type, const QString &answer, const QString &given, double cent = 1)
    {
        auto q = std::make_unique<ExamQuestion>();
        q->id = QStringLiteral("q%1").arg(seq);
        q->type = type;
        q->answer = answer;
        q->userAnswer = given;
        q->answered = !given.isEmpty();
        q->cent = cent;
        q->seq = seq++;
        PaperSection *last = paper.sections.back().get();
        last->entryCount += 1;
        last->lastSeq = q->seq;
        return paper.addQuestion(std::move(q));
    }
};

} // namespace

class MarkingTest : public QObject
{
    Q_OBJECT
private slots:
    void answerRules_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("right");

        QTest::newRow("single same") << 1 << "B" << "B" << true;
        QTest::newRow("single other") << 1 << "B" << "C" << false;
        QTest::newRow("single trimmed, case") << 1 << " b " << "B" << true;
        QTest::newRow("single empty") << 1 << "B" << "" << false;
        QTest::newRow("multi reordered") << 2 << "ABD" << "DBA" << true;
        QTest::newRow("multi missing letter") << 2 << "ABD" << "AB" << false;
        QTest::newRow("multi too long") << 2 << "ABD" << "ABDD" << false;
        QTest::newRow("multi repeated letter, same length") << 2 << "ABD" << "ABB" << true;
        QTest::newRow("multi foreign letter") << 2 << "ABD" << "ABC" << false;
        QTest::newRow("multi lower case") << 2 << "ABD" << "dba" << true;
        QTest::newRow("true/false same") << 3 << "A" << "a" << true;
        QTest::newRow("true/false other") << 3 << "A" << "B" << false;
        QTest::newRow("true/false not trimmed") << 3 << "A" << " A" << false;
        QTest::newRow("fill-in one blank") << 4 << "Beijing" << "beijing" << true;
        QTest::newRow("fill-in trimmed") << 4 << " Beijing" << "beijing  " << true;
        QTest::newRow("fill-in wrong") << 4 << "Beijing" << "Shanghai" << false;
        QTest::newRow("fill-in several blanks") << 4 << "red|Green|blue" << "RED| green |Blue" << true;
        QTest::newRow("fill-in one blank wrong") << 4 << "red|green|blue" << "red|green|black" << false;
        QTest::newRow("fill-in blanks swapped") << 4 << "red|green" << "green|red" << false;
        QTest::newRow("fill-in blank missing") << 4 << "red|green" << "red" << false;
        QTest::newRow("fill-in blank left empty") << 4 << "red|green" << "red|" << false;
        QTest::newRow("fill-in first alternative") << 4 << QString::fromUtf8("CPU¦中央处理器|输出设备")
                                                   << QString::fromUtf8("cpu|输出设备") << true;
        QTest::newRow("fill-in second alternative") << 4 << QString::fromUtf8("CPU¦中央处理器|输出设备")
                                                    << QString::fromUtf8(" 中央处理器 |输出设备") << true;
        QTest::newRow("fill-in no alternative matches") << 4 << QString::fromUtf8("CPU¦中央处理器")
                                                        << "GPU" << false;
        QTest::newRow("fill-in alternatives typed whole") << 4 << QString::fromUtf8("CPU¦中央处理器")
                                                          << QString::fromUtf8("CPU¦中央处理器") << false;
        QTest::newRow("fill-in separator typed inside a blank") << 4 << "a\\|b|c" << "A\\|B|c" << true;
        QTest::newRow("fill-in space after a typed separator counts") << 4 << "a\\|b|c" << "a\\| b|c" << false;
        QTest::newRow("fill-in old answer with a backslash") << 4 << "C:\\dir|x" << "c:\\DIR|X" << true;
        QTest::newRow("essay can answer") << 5 << "A" << "A" << true;
        QTest::newRow("essay lower case") << 5 << "A" << "a" << false;
        QTest::newRow("essay cannot answer") << 5 << "A" << "B" << false;
        QTest::newRow("composite never right") << 6 << "" << "" << false;
    }

    void answerRules()
    {
        QFETCH(int, type);
        QFETCH(QString, reference);
        QFETCH(QString, given);
        QFETCH(bool, right);
        QCOMPARE(PaperGrader::isRightAnswer(type, given, reference), right);
    }

    void questionStatus_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("given");
        QTest::addColumn<int>("status");
        QTest::addColumn<double>("score");

        QTest::newRow("right earns cent") << 1 << "A" << "A" << 0 << 2.5;
        QTest::newRow("wrong") << 1 << "A" << "B" << 1 << 0.0;
        QTest::newRow("unanswered") << 2 << "AB" << "" << 2 << 0.0;
        QTest::newRow("unanswered, empty reference, counted right") << 1 << "" << "" << 0 << 2.5;
        QTest::newRow("fill-in blanks all cleared") << 4 << "x|y" << " | " << 2 << 0.0;
        QTest::newRow("fill-in one blank typed") << 4 << "x|y" << "x|" << 1 << 0.0;
        QTest::newRow("essay cannot answer") << 5 << "A" << "B" << 1 << 0.0;
    }

    // Text typed into an essay answers it at once; the self-assessment alone
    // decides whether it is right.
    void essayTextAnswers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("assessment");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<int>("status");

        QTest::newRow("text, no assessment") << "运算器、控制器" << "" << true << 1;
        QTest::newRow("text, assessed right") << "运算器、控制器" << "A" << true << 0;
        QTest::newRow("only spaces") << "   " << "" << false << 2;
        QTest::newRow("no text, assessed wrong") << "" << "B" << true << 1;
        QTest::newRow("nothing") << "" << "" << false << 2;
    }

    void essayTextAnswers()
    {
        QFETCH(QString, text);
        QFETCH(QString, assessment);
        QFETCH(bool, answered);
        QFETCH(int, status);
        PaperBuilder builder;
        builder.section(QStringLiteral("简答题"), 1, 5);
        ExamQuestion *essay = builder.question(ExamQuestion::Essay, QStringLiteral("A"), QString());
        essay->tname = QStringLiteral("ti5_1");
        essay->optionIds = QStringList{QStringLiteral("wen_1_0")};
        bool changed = false;
        const QVector<ExamQuestion *> first =
            AnswerRecorder::recordEssayText(builder.paper, essay->tname, 0, text, &changed);
        QCOMPARE(changed, !text.isEmpty());
        QCOMPARE(first.size(), text.trimmed().isEmpty() ? 0 : 1);
        if (!assessment.isEmpty())
            AnswerRecorder::record(builder.paper, essay->tname, assessment);
        QCOMPARE(essay->answered, answered);
        QCOMPARE(builder.paper.answeredCount, answered ? 1 : 0);
        PaperGrader::markQuestion(*essay);
        QCOMPARE(essay->status, status);
    }

    void questionStatus()
    {
        QFETCH(int, type);
        QFETCH(QString, reference);
        QFETCH(QString, given);
        QFETCH(int, status);
        QFETCH(double, score);
        ExamQuestion question;
        question.type = type;
        question.answer = reference;
        question.userAnswer = given;
        question.cent = 2.5;
        PaperGrader::markQuestion(question);
        QCOMPARE(question.status, status);
        QCOMPARE(question.score, score);
        QCOMPARE(question.isRight, status == 0);
    }

    void singleChoiceKeepsTrimmedTexts()
    {
        ExamQuestion question;
        question.type = ExamQuestion::SingleChoice;
        question.answer = QStringLiteral(" b ");
        question.userAnswer = QStringLiteral("B\n");
        PaperGrader::markQuestion(question);
        QCOMPARE(question.answer, QStringLiteral("b"));
        QCOMPARE(question.userAnswer, QStringLiteral("B"));
        QCOMPARE(question.status, 0);
    }

    void paperTallies()
    {
        PaperBuilder b;
        PaperSection *single = b.section(QStringLiteral("单选题"), 3, 6);
        b.question(1, "A", "A", 2);
        b.question(1, "A", "C", 2);
        b.question(1, "A", "", 2);
        PaperSection *composite = b.section(QStringLiteral("案例题"), 1, 4);
        ExamQuestion *stem = b.question(6, "", "", 0);
        b.question(2, "AB", "BA", 2);
        b.question(4, "x|y", "X|Y", 2);
        PaperGrader::markPaper(b.paper);

        QVERIFY(b.paper.handedIn);
        QCOMPARE(b.paper.score, 6.0);
        QCOMPARE(b.paper.rightCount, 3);
        QCOMPARE(b.paper.wrongCount, 1);
        QCOMPARE(b.paper.unansweredCount, 1);
        QCOMPARE(b.paper.allCount, 4);
        QCOMPARE(single->rightCount, 1);
        QCOMPARE(single->wrongCount, 1);
        QCOMPARE(single->unansweredCount, 1);
        QCOMPARE(single->score, 2.0);
        QCOMPARE(composite->rightCount, 2);
        QCOMPARE(composite->score, 4.0);
        QCOMPARE(stem->status, 2);
        QVERIFY(!stem->isRight);
    }

    void notChosenOptionalSectionEarnsNothing()
    {
        PaperBuilder b;
        b.section(QStringLiteral("必答"), 1, 1);
        b.question(1, "A", "A");
        PaperSection *chosen = b.section(QStringLiteral("选答一"), 1, 5, 1);
        b.question(1, "A", "A", 5);
        PaperSection *skipped = b.section(QStringLiteral("选答二"), 1, 5, 1);
        ExamQuestion *skippedQuestion = b.question(1, "A", "A", 5);
        chosen->chosen = true;
        PaperGrader::markPaper(b.paper);

        QCOMPARE(b.paper.score, 6.0);
        QCOMPARE(b.paper.rightCount, 3); // the paper's counts include every section
        QCOMPARE(skippedQuestion->status, 0);
        QCOMPARE(chosen->rightCount, 1);
        QCOMPARE(skipped->rightCount, 0);
        QCOMPARE(skipped->score, 0.0);
        QVERIFY(b.paper.answerSheet.contains(QStringLiteral("\"qid\":\"q3\"")));
    }

    void markingRunsOnce()
    {
        PaperBuilder b;
        b.section(QStringLiteral("单选题"), 1, 1);
        ExamQuestion *q = b.question(1, "A", "A");
        PaperGrader::markPaper(b.paper);
        q->userAnswer = QStringLiteral("B");
        PaperGrader::markPaper(b.paper);
        QCOMPARE(q->status, 0);
        QCOMPARE(b.paper.rightCount, 1);
        QCOMPARE(b.paper.allCount, 1);
    }

    void sheetSkipsEmptySectionsAndKeepsComposites()
    {
        PaperBuilder b;
        b.section(QStringLiteral("案例题"), 1, 1);
        b.question(6, "", "", 3);
        b.question(1, "B", "B", 1);
        b.section(QStringLiteral("空"), 0, 0);
        PaperGrader::markPaper(b.paper);
        QCOMPARE(AnswerSheet::stored(b.paper.answerSheet),
                 QStringLiteral("[{\"qid\":\"q1\",\"cent\":0,\"status\":2,\"answer\":\"\"},"
                                "{\"qid\":\"q2\",\"cent\":1,\"status\":0,\"answer\":\"B\"}]"));
    }

    void sheetIsValidJson()
    {
        PaperBuilder b;
        b.section(QStringLiteral("填空"), 2, 2);
        const QString typed = QStringLiteral("say \"hi\" \\ back|tab\tnew\nline");
        b.question(4, "x|y", typed, 0.5);
        b.question(4, "x", "x", 0.5);
        PaperGrader::markPaper(b.paper);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(AnswerSheet::stored(b.paper.answerSheet).toUtf8(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray entries = doc.array();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.at(0).toObject().value(QStringLiteral("answer")).toString(), typed);
        QCOMPARE(entries.at(1).toObject().value(QStringLiteral("cent")).toDouble(), 0.5);
        QVERIFY(b.paper.answerSheet.contains(QStringLiteral("\"cent\":0.5,")));
    }

    // Blanks survive the joined form whatever they hold; joined texts written
    // before the escape existed (no "\\|" nor "\\\\") read as they did.
    void blankAnswerForm_data()
    {
        QTest::addColumn<QString>("joined");
        QTest::addColumn<QStringList>("blanks");
        QTest::addColumn<bool>("canonical");
        QTest::newRow("plain blanks") << "a|b|" << QStringList{"a", "b", ""} << true;
        QTest::newRow("separator in a blank") << "a\\|b|c" << QStringList{"a|b", "c"} << true;
        QTest::newRow("escape in a blank") << "a\\\\|\\\\" << QStringList{"a\\", "\\"} << true;
        QTest::newRow("escaped escape before a separator") << "x\\\\\\||y" << QStringList{"x\\|", "y"} << true;
        QTest::newRow("old lone backslash") << "C:\\dir|x" << QStringList{"C:\\dir", "x"} << false;
        QTest::newRow("old trailing backslash") << "a\\" << QStringList{"a\\"} << false;
        QTest::newRow("empty") << "" << QStringList{""} << true;
    }

    void blankAnswerForm()
    {
        QFETCH(QString, joined);
        QFETCH(QStringList, blanks);
        QFETCH(bool, canonical);
        QCOMPARE(BlankAnswer::split(joined), blanks);
        QCOMPARE(BlankAnswer::split(BlankAnswer::join(blanks)), blanks);
        QCOMPARE(BlankAnswer::join(blanks) == joined, canonical);
    }

    // The essay texts ride in the sheet as a last member that the four-member
    // readers ignore; the reader gives them back.
    void sheetKeepsEssayTexts()
    {
        PaperBuilder b;
        b.section(QStringLiteral("问答"), 3, 3);
        b.question(5, "A", "A")->essayTexts = QStringList{QStringLiteral("第一段\n\"引号\" | \\")};
        b.question(5, "A", "B")->essayTexts = QStringList{QStringLiteral(" ")};
        b.question(5, "A", "");
        PaperGrader::markPaper(b.paper);
        QVERIFY(b.paper.answerSheet.contains(QStringLiteral("\"answer\":\"A\",\"essay\":[")));
        const AnswerSheetReading reading = AnswerSheet::read(AnswerSheet::stored(b.paper.answerSheet));
        QVERIFY2(reading.ok(), qPrintable(reading.error));
        QCOMPARE(reading.entries.size(), 3);
        QCOMPARE(reading.entries.at(0).essay, b.paper.questions.front()->essayTexts);
        QCOMPARE(reading.entries.at(0).answer, QStringLiteral("A"));
        QVERIFY(reading.entries.at(1).essay.isEmpty());
        QCOMPARE(reading.entries.at(1).status, 1);
    }

    void sheetReaderNamesTheFault_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("error");
        QTest::newRow("not JSON") << "[{\"qid\":" << "答题记录不是有效的 JSON";
        QTest::newRow("not an array") << "{\"qid\":\"q1\"}" << "答题记录不是数组";
        QTest::newRow("entry not an object") << "[{\"qid\":\"q1\",\"cent\":1,\"status\":0,\"answer\":\"A\"},3]" << "答题记录第 2 项不是对象";
        QTest::newRow("no qid") << "[{\"cent\":1,\"status\":0,\"answer\":\"A\"}]" << "答题记录第 1 项缺少题号";
        QTest::newRow("status out of range") << "[{\"qid\":\"q\",\"cent\":1,\"status\":7,\"answer\":\"\"}]" << "答题记录第 1 项的状态不是 0、1 或 2";
        QTest::newRow("essay not texts") << "[{\"qid\":\"q\",\"cent\":1,\"status\":2,\"answer\":\"\",\"essay\":[1]}]" << "答题记录第 1 项的作答文字不是文本";
        QTest::newRow("sheet of older versions") << "[{\"qid\":\"q\",\"cent\":0.5,\"status\":2,\"answer\":\"a|b\"}]" << "";
        QTest::newRow("empty sheet") << "[]" << "";
    }

    void sheetReaderNamesTheFault()
    {
        QFETCH(QString, stored);
        QFETCH(QString, error);
        const AnswerSheetReading reading = AnswerSheet::read(stored);
        QCOMPARE(reading.error.left(error.size()), error);
        QCOMPARE(reading.error.isEmpty(), error.isEmpty());
        QCOMPARE(reading.entries.isEmpty(), !error.isEmpty() || stored == QLatin1String("[]"));
    }

    void numbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 2.0 << "2";
        QTest::newRow("half") << 0.5 << "0.5";
        QTest::newRow("six digits") << 123.4567 << "123.457";
        QTest::newRow("large") << 1234567.0 << "1.23457e+06";
        QTest::newRow("not a number") << qQNaN() << "0";
    }

    void numbers()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(AnswerSheet::number(value), text);
    }

    void clockTexts_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("time used") << 3725 << "01:02:05";
        QTest::newRow("two hours") << 120 * 60 << "02:00:00";
        QTest::newRow("zero") << 0 << "00:00:00";
        QTest::newRow("one minute less a second") << 59 << "00:00:59";
    }

    void clockTexts()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(ResultsPage::clockText(seconds), text);
    }

    void countdownLabel()
    {
        QCOMPARE(ResultsPage::countdownLabel(59),
                 QStringLiteral("剩余时间  ：<font color='#FF0000'>00:00:59</font>"));
    }

    void timeUsedAcrossMidnight()
    {
        ExamPaper paper;
        paper.startTime = QTime(23, 59, 0);
        paper.endTime = QTime(0, 1, 5);
        QCOMPARE(PaperGrader::secondsUsed(paper), 125);
    }

    void rate_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<int>("percent");
        QTest::newRow("two of three, rounded") << 2 << 3 << 67;
        QTest::newRow("one of three, rounded down") << 1 << 3 << 33;
        QTest::newRow("one of eight, half up") << 1 << 8 << 13;
        QTest::newRow("all") << 4 << 4 << 100;
        QTest::newRow("no questions") << 1 << 0 << 0;
    }

    void rate()
    {
        QFETCH(int, right);
        QFETCH(int, quantity);
        QFETCH(int, percent);
        QCOMPARE(ResultsPage::ratePercent(right, quantity), percent);
    }

    // The hand-in question names entries by their card labels.
    void handInReminder_data()
    {
        QTest::addColumn<QString>("answered");   // one character per entry: 1 answered, 0 not
        QTest::addColumn<QString>("flagged");    // one character per entry: 1 flagged
        QTest::addColumn<QString>("reminder");
        const QString unanswered = QStringLiteral("<p align='center'><h1>你还存在未答完试题<h1></p><p ><h3>");
        // Entries: 1, stem of 2, 2.1, 2.2, 3.
        QTest::newRow("all answered, none flagged") << "1_111" << "0_000" << QString();
        QTest::newRow("case-study parts as on the card")
            << "1_001" << "0_000" << unanswered + QStringLiteral("2.1,2.2<h3></p>");
        QTest::newRow("unanswered and flagged")
            << "0_111" << "0_100" << unanswered + QStringLiteral("1<h3></p><p ><h3>已标记：2.1</h3></p>");
        QTest::newRow("only flagged")
            << "1_111" << "1_001"
            << QStringLiteral("<p align='center'><h1>你还有标记待查的试题</h1></p><p ><h3>已标记：1,3</h3></p>");
    }

    void handInReminder()
    {
        QFETCH(QString, answered);
        QFETCH(QString, flagged);
        PaperBuilder b;
        b.section(QStringLiteral("单选题"), 1, 1);
        b.question(1, "A", "");
        b.section(QStringLiteral("案例"), 1, 2);
        b.question(6, "", "");
        b.question(1, "A", "");
        b.question(1, "A", "");
        b.section(QStringLiteral("判断"), 1, 1);
        b.question(3, "A", "");
        const int numbers[] = {1, 2, 2, 2, 3};
        const int leaves[] = {0, 0, 1, 2, 0};
        for (int i = 0; i < 5; ++i) {
            ExamQuestion &q = *b.paper.questions[size_t(i)];
            q.number = numbers[i];
            q.leafNo = leaves[i];
            q.answered = answered.at(i) == QLatin1Char('1');
            q.marked = flagged.at(i) == QLatin1Char('1');
        }
        QTEST(PaperGrader::handInReminder(b.paper), "reminder");
    }

    void passLine_data()
    {
        QTest::addColumn<double>("passCent");
        QTest::addColumn<double>("score");
        QTest::addColumn<QString>("line");
        QTest::newRow("exactly the mark") << 60.0 << 60.0 << "<div class=\"pass_line pass\">合格（合格线：60分）</div>";
        QTest::newRow("failed") << 60.0 << 59.5 << "<div class=\"pass_line fail\">不合格（合格线：60分）</div>";
        QTest::newRow("no pass mark") << 0.0 << 10.0 << "";
    }

    void passLine()
    {
        QFETCH(double, passCent);
        QFETCH(double, score);
        ExamPaper paper;
        paper.passCent = passCent;
        paper.score = score;
        QTEST(ResultsPage::passLine(paper), "line");
    }

    void examLength_data()
    {
        QTest::addColumn<int>("examTime");
        QTest::addColumn<QString>("length");
        QTest::newRow("two hours") << 120 << "02:00:00";
        QTest::newRow("a whole day") << 24 * 60 << "24:00:00";
        QTest::newRow("beyond a day is untimed") << 24 * 60 + 1 << "不限时";
        QTest::newRow("absurd") << 2147483647 << "不限时";
        QTest::newRow("none") << 0 << "不限时";
        QTest::newRow("negative") << -5 << "不限时";
    }

    void examLength()
    {
        QFETCH(int, examTime);
        ExamPaper paper;
        paper.examTime = examTime;
        QTEST(ResultsPage::examLength(paper), "length");
        QCOMPARE(paper.timed(), paper.allowedSeconds() > 0);
    }

    void resultsPageOfSmallPaper_data()
    {
        QTest::addColumn<int>("examStatus");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("passLine");
        const QString review = QStringLiteral("<input type=\"button\" value=\"查看答案\"   class=\"button\" onclick=\"showAnswerForm();\" style=\"margin-left:15px;\"/></div>");
        QTest::newRow("formal paper") << 0 << "02:00:00"
            << QStringLiteral("<input type=\"button\" value=\"重新答题\"  class=\"button\" onclick=\"againQuestion();\" />") + review
            << QStringLiteral("<div class=\"pass_line fail\">不合格（合格线：60分）</div>");
        QTest::newRow("wrong-question practice, untimed") << 3 << "不限时" << review << QString();
    }

    void resultsPageOfSmallPaper()
    {
        QFETCH(int, examStatus);
        QFETCH(QString, length);
        QFETCH(QString, buttons);
        QFETCH(QString, passLine);
        PaperBuilder b;
        b.paper.totalCent = 100;
        b.paper.passCent = 60;
        b.paper.examTime = examStatus == 3 ? 0 : 120; // practices load no time
        b.paper.startTime = QTime(9, 0, 0);
        b.paper.endTime = QTime(10, 2, 5);
        b.section(QStringLiteral("单选'题"), 2, 1.5);
        b.question(1, "A", "A", 0.5);
        b.question(1, "A", "B", 1);
        b.section(QStringLiteral("空"), 0, 0);
        b.section(QStringLiteral("案例"), 0, 2);
        b.question(5, "A", "A", 2);
        PaperGrader::markPaper(b.paper);

        const QString expected = QStringLiteral(
            "<style type=\"text/css\">   html{height:100%;} </style><div class=\"box_01\"> <table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\" align=\"center\"><tr>   <td>  <div class=\"index_r_table sub_table\">   <div class=\"title_01\">试卷得分</div><div class=\"title_02\">   <div class=\"title_03\">"
            "2.5"
            "</div>  </div><div class=\"title_01\" style=\"padding-left:5px;\">分</div>    <div style=\"clear:both;\"></div></div></td><td> <div class=\"index_r_table sub_table\">    <div class=\"title_01\">卷面总分</div> <div class=\"title_02\">   <div class=\"title_03\" style=\"border:4px #4cc1d2 solid;\">"
            "100"
            "</div>     </div><div class=\"title_01\" style=\"padding-left:5px;\">分</div>  <div style=\"clear:both;\"></div></div></td></tr><tr>  <td>  <div class=\"index_r_table sub_table\">  <div class=\"title_01\">答题用时</div><div class=\"title_01\" style=\"padding-left:5px; font-size:30px; color:#4cc1d2;\">"
            "01:02:05"
            "</div> <div style=\"clear:both;\"></div>  </div> </td><td> <div class=\"index_r_table sub_table\">    <div class=\"title_01\">考试时长</div>"
            "<div class=\"title_01\" style=\"padding-left:5px; font-size:30px; color:#4cc1d2;\">%1</div>"
            "<div style=\"clear:both;\"></div>  </div>   </td>  </tr>  </table> </div>%3<div class=\"box_01\" style=\"background:#f8f8f8; padding-bottom:15px;\"><table width=\"96%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\"  style=\"table-layout:fixed; margin-top:0;\" class=\"table_title\" align=\"center\"><tr>  <td>题型</td><td width=\"11%\">数量</td><td width=\"11%\">答对</td><td width=\"11%\">答错</td><td width=\"11%\">未答</td><td width=\"11%\">总分</td><td width=\"11%\">得分</td><td width=\"11%\">正确率</td></tr>  </table><table width=\"96%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\" style=\"table-layout:fixed; background:#fff;\" class=\"table_list\" align=\"center\"><tr>"
            "<td><span>单选'题</span></td><td width=\"11%\">2</td><td width=\"11%\">1</td><td width=\"11%\">1</td><td width=\"11%\">0</td><td width=\"11%\">1.5</td><td width=\"11%\">0.5</td><td width=\"11%\">50%</td> </tr>"
            "<td><span>案例</span></td><td width=\"11%\">0</td><td width=\"11%\">1</td><td width=\"11%\">0</td><td width=\"11%\">0</td><td width=\"11%\">2</td><td width=\"11%\">2</td><td width=\"11%\">0%</td> </tr>"
            "</tr> </table> </div> <div class=\"sub_box_card\" style=\"text-align:center;\">%2").arg(length, buttons, passLine);
        QCOMPARE(ResultsPage::build(b.paper, examStatus), expected);
    }

    void pageCallsCarryTheirTextUnchanged_data()
    {
        QTest::addColumn<QString>("html");
        QTest::newRow("quote in a section name") << QStringLiteral("<td><span>it's</span></td>");
        QTest::newRow("backslash and line break") << QStringLiteral("a\\b\nc \"d\" </script>");
    }

    void pageCallsCarryTheirTextUnchanged()
    {
        QFETCH(QString, html);
        QScriptEngine engine;
        engine.evaluate(QStringLiteral("function messageboxScore(s) { return s; }"
                                       "function messageboxScoreBig(s) { return s; }"));
        QCOMPARE(engine.evaluate(ResultsPage::resultsCall(html)).toString(), html);
        QCOMPARE(engine.evaluate(ResultsPage::waitingCall()).toString(),
                 QStringLiteral("<div align=\"center\">正在进行评卷处理，请稍等...</div>"));
    }

    void removingAnEntryRenumbersTheRest_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("sections");
        QTest::newRow("first of first section") << 0 << "q2:1:1 q3:2:2 q4:3:3" << "1-1/1 2-2/1 3-3/1 total 3";
        QTest::newRow("only entry of second section") << 2 << "q1:1:1 q2:2:2 q4:3:3" << "1-2/2 3-2/0 3-3/1 total 3";
        QTest::newRow("last") << 3 << "q1:1:1 q2:2:2 q3:3:3" << "1-2/2 3-3/1 4-3/0 total 3";
    }

    void removingAnEntryRenumbersTheRest()
    {
        QFETCH(int, index);
        QFETCH(QString, ids);
        QFETCH(QString, sections);
        PaperBuilder b;
        b.section(QStringLiteral("单选"), 2, 2);
        b.question(1, "A", "");
        b.question(1, "A", "");
        b.section(QStringLiteral("多选"), 1, 1);
        b.question(2, "AB", "");
        b.section(QStringLiteral("判断"), 1, 1);
        b.question(3, "A", "");
        b.paper.totalCent = 4;
        for (const auto &q : b.paper.questions)
            q->number = q->seq;
        QVERIFY(EntryRemoval::remove(b.paper, index));

        QStringList entries;
        for (const auto &q : b.paper.questions)
            entries << QStringLiteral("%1:%2:%3").arg(q->id).arg(q->seq).arg(q->number);
        QCOMPARE(entries.join(QLatin1Char(' ')), ids);
        QStringList ranges;
        for (const auto &s : b.paper.sections)
            ranges << QStringLiteral("%1-%2/%3").arg(s->firstSeq).arg(s->lastSeq).arg(s->quantity);
        QCOMPARE(ranges.join(QLatin1Char(' ')) + QStringLiteral(" total %1").arg(b.paper.totalCent), sections);
    }

    void removingOutsideTheListChangesNothing()
    {
        PaperBuilder b;
        b.section(QStringLiteral("单选"), 1, 1);
        b.question(1, "A", "");
        QVERIFY(!EntryRemoval::remove(b.paper, 1));
        QVERIFY(!EntryRemoval::remove(b.paper, -1));
        QCOMPARE(int(b.paper.questions.size()), 1);
        QCOMPARE(b.paper.sections.front()->entryCount, 1);
    }
};

TESSERA_TEST_MAIN(MarkingTest)
#include "tst_marking.moc"
