#include "testsupport.h"
#include "seededfuzz.h"

#include "answersheet.h"
#include "exampaper.h"
#include "papergrader.h"
#include "questionidlist.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using TestSupport::SeededFuzz;

namespace {

const int fuzzInputs = 4000;
const int fuzzBudgetMs = 8000;

// What a text keeps once stored as UTF-8: a lone surrogate cannot be.
QString storable(const QString &text)
{
    return QString::fromUtf8(text.toUtf8());
}

QString listText(const QVector<QuestionIdEntry> &entries)
{
    QStringList parts;
    for (const QuestionIdEntry &entry : entries)
        parts << entry.qid + (entry.leafIds.isEmpty() ? QString() : QLatin1Char('(') + entry.leafIds.join(QLatin1Char(',')) + QLatin1Char(')'));
    return parts.join(QLatin1Char(' '));
}

const QStringList jsonTokens{"[", "]", "{", "}", ",", ":", "\"", "\"qid\"", "\"leaf\"", "\"answer\"",
                             "\"essay\"", "\"status\"", "\"cent\"", "0", "1", "2", "-1e400", "1e999",
                             "null", "true", "\\u0000", "\\ud800", "\\\"", "[[[[[[[[", "</script>"};

} // namespace

class ReaderFuzzTest : public QObject
{
    Q_OBJECT

private slots:
    // Section question lists at the edges, and cases the fuzzing below found.
    void questionListCorpus_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QString>("entries");
        QTest::newRow("plain") << R"([{"qid":"q1"},{"qid":"q2","leaf":[{"qid":"q3"}]}])" << "q1 q2(q3)";
        QTest::newRow("numbers as ids") << R"([{"qid":12},{"qid":1.5}])" << "12 1.5";
        QTest::newRow("not an array") << R"({"qid":"q1"})" << "";
        QTest::newRow("cut off") << R"([{"qid":"q1"},{"qid")" << "";
        QTest::newRow("entries of the wrong kind") << R"([3,"q",null,{"leaf":5}])" << "   ";
        QTest::newRow("escaped NUL and a lone surrogate") << R"([{"qid":"a\u0000b"},{"qid":"\ud800"}])"
                                                          << QStringLiteral("a") + QChar(0) + QStringLiteral("b ") + QChar(0xd800);
        QTest::newRow("deep nesting") << QString(5000, QLatin1Char('[')) << "";
        QTest::newRow("empty") << "" << "";
    }

    void questionListCorpus()
    {
        QFETCH(QString, json);
        QFETCH(QString, entries);
        QCOMPARE(listText(QuestionIdList::parse(json)), entries);
    }

    // Lists written by a JSON writer read back as they were made.
    void questionListRoundTrip()
    {
        SeededFuzz fuzz(fuzzInputs, fuzzBudgetMs);
        while (fuzz.next()) {
            QVector<QuestionIdEntry> made;
            QJsonArray array;
            for (int i = fuzz.number(0, 6); i > 0; --i) {
                QuestionIdEntry entry;
                // Qt's reader drops U+FEFF at the start of a plainly written
                // string (found here); bank ids do not begin with one.
                entry.qid = storable(fuzz.text(6, {"q", "1", " "})).remove(QChar(0xfeff));
                QJsonObject object{{QStringLiteral("qid"), entry.qid}};
                if (fuzz.chance(30)) {
                    QJsonArray leaves;
                    for (int j = fuzz.number(0, 4); j > 0; --j) {
                        entry.leafIds << storable(fuzz.text(4, {"l"})).remove(QChar(0xfeff));
                        leaves.append(QJsonObject{{QStringLiteral("qid"), entry.leafIds.last()}});
                    }
                    object.insert(QStringLiteral("leaf"), leaves);
                }
                made << entry;
                array.append(object);
            }
            const QString json = QString::fromUtf8(QJsonDocument(array).toJson(
                fuzz.chance(50) ? QJsonDocument::Compact : QJsonDocument::Indented));
            QVERIFY2(listText(QuestionIdList::parse(json)) == listText(made), qPrintable(fuzz.describe(json)));
        }
    }

    // Damaged lists: no crash, no sanitizer report, never more entries than
    // the text could hold.
    void questionListMutations()
    {
        const QString base = QStringLiteral(R"([{"qid":"q1"},{"qid":"q2","leaf":[{"qid":"q3"},{"qid":4}]}])");
        SeededFuzz fuzz(fuzzInputs, fuzzBudgetMs);
        while (fuzz.next()) {
            const QString json = fuzz.chance(80) ? fuzz.mutate(base, jsonTokens) : fuzz.text(40, jsonTokens);
            const QVector<QuestionIdEntry> entries = QuestionIdList::parse(json);
            QVERIFY2(entries.size() <= json.size() / 2, qPrintable(fuzz.describe(json)));
        }
    }

    // Sheets of marked papers with any answers and essay texts read back as
    // they were marked.
    void answerSheetRoundTrip()
    {
        SeededFuzz fuzz(fuzzInputs / 4, fuzzBudgetMs);
        while (fuzz.next()) {
            ExamPaper paper;
            auto section = std::make_unique<PaperSection>();
            const int count = fuzz.number(0, 5);
            section->entryCount = count;
            paper.addSection(std::move(section));
            for (int i = 0; i < count; ++i) {
                auto question = std::make_unique<ExamQuestion>();
                question->id = storable(fuzz.text(5, {"q"}));
                question->type = fuzz.number(1, 6);
                question->answer = storable(fuzz.text(3, {"A", "|"}));
                question->userAnswer = storable(fuzz.text(8, {"A", "B", "|", "\\"}));
                question->cent = fuzz.number(0, 40) / 4.0;
                if (fuzz.chance(50))
                    question->essayTexts = QStringList{storable(fuzz.text(12, {"\n", "</textarea>"})), QStringLiteral("x")};
                paper.addQuestion(std::move(question));
            }
            PaperGrader::markPaper(paper);
            const QString stored = AnswerSheet::stored(paper.answerSheet);
            const AnswerSheetReading reading = AnswerSheet::read(stored);
            QVERIFY2(reading.ok(), qPrintable(reading.error + QLatin1Char(' ') + fuzz.describe(stored)));
            QCOMPARE(reading.entries.size(), count);
            for (int i = 0; i < count; ++i) {
                const ExamQuestion &question = *paper.questions[size_t(i)];
                const AnswerSheetEntry &entry = reading.entries.at(i);
                QVERIFY2(entry.qid == question.id && entry.answer == question.userAnswer
                             && entry.status == question.status && entry.cent == question.score
                             && entry.essay.size() == (AnswerSheet::entry(question).contains(QLatin1String("\"essay\"")) ? 2 : 0),
                         qPrintable(fuzz.describe(stored)));
            }
        }
    }

    // Answers and essay texts at the edges, and cases the fuzzing found: each
    // comes back from the stored sheet as typed.
    void answerSheetCorpus_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("begins with U+FEFF (found)") << QChar(0xfeff) + QStringLiteral("A");
        QTest::newRow("only U+FEFF") << QString(QChar(0xfeff));
        QTest::newRow("NUL and controls") << QStringLiteral("a") + QChar(0) + QStringLiteral("\x01\x1f");
        QTest::newRow("line separators") << QStringLiteral("a\u2028b\u2029");
        QTest::newRow("markup and separators") << QStringLiteral("</textarea></script>a\\|b|\\");
    }

    void answerSheetCorpus()
    {
        QFETCH(QString, typed);
        ExamQuestion question;
        question.id = typed;
        question.userAnswer = typed;
        question.essayTexts = QStringList{typed, QStringLiteral("x")};
        const AnswerSheetReading reading = AnswerSheet::read(AnswerSheet::stored(AnswerSheet::entry(question)));
        QVERIFY2(reading.ok(), qPrintable(reading.error));
        QCOMPARE(reading.entries.size(), 1);
        QCOMPARE(reading.entries.front().qid, typed);
        QCOMPARE(reading.entries.front().answer, typed);
        QCOMPARE(reading.entries.front().essay, question.essayTexts);
    }

    // Damaged sheets: either entries or a named fault, never both, never a crash.
    void answerSheetMutations()
    {
        const QString base = QStringLiteral(
            R"([{"qid":"q1","cent":2,"status":0,"answer":"A"},{"qid":"q2","cent":0.5,"status":1,"answer":"a\\|b|c","essay":["t"]}])");
        SeededFuzz fuzz(fuzzInputs, fuzzBudgetMs);
        while (fuzz.next()) {
            const QString stored = fuzz.chance(80) ? fuzz.mutate(base, jsonTokens) : fuzz.text(40, jsonTokens);
            const AnswerSheetReading reading = AnswerSheet::read(stored);
            QVERIFY2(reading.ok() || (reading.entries.isEmpty() && reading.error.startsWith(QStringLiteral("答题记录"))),
                     qPrintable(fuzz.describe(stored)));
        }
    }
};

TESSERA_TEST_MAIN(ReaderFuzzTest)
#include "tst_readerfuzz.moc"
