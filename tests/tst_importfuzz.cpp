// Seeded fuzzing of every question-file reader: the example files of each
// format, edited at random, and random texts of each format's own tokens. No
// input may crash a reader; whatever it reads must be a question the bank can
// hold, and every problem names its line and reason. (A file that yields no
// question at all is refused when it is written: "文件中没有可导入的题目".)
#include "testsupport.h"
#include "seededfuzz.h"

#include "bankfile.h"

#include <QApplication>
#include <QTextCodec>

using TestSupport::SeededFuzz;

namespace {

const int fuzzInputs = 1500;
const int fuzzBudgetMs = 6000;

QByteArray exampleFile(const QString &name)
{
    return TestSupport::fileBytes(TestSupport::sourcePath(QStringLiteral("data/examples/") + name));
}

// Empty when every question read is one the database can store.
QString unsoundQuestion(const QVector<BankQuestion> &questions, bool inCaseStudy = false)
{
    for (const BankQuestion &q : questions) {
        if (q.type < BankQuestion::SingleChoice || q.type > BankQuestion::CaseStudy)
            return QStringLiteral("type %1 at line %2").arg(q.type).arg(q.line);
        if (q.type == BankQuestion::CaseStudy && inCaseStudy)
            return QStringLiteral("case study inside a case study at line %1").arg(q.line);
        if ((q.type == BankQuestion::SingleChoice || q.type == BankQuestion::MultipleChoice)
            && (q.optionsHtml.isEmpty() || q.answerLetters.isEmpty()))
            return QStringLiteral("choice without options or answer at line %1").arg(q.line);
        if (q.type == BankQuestion::SingleChoice || q.type == BankQuestion::MultipleChoice) {
            for (const QChar letter : q.answerLetters) {
                const int option = letter.unicode() - 'A';
                if (option < 0 || option >= q.optionsHtml.size())
                    return QStringLiteral("answer %1 beyond the options at line %2").arg(letter).arg(q.line);
            }
        }
        const QString inParts = unsoundQuestion(q.parts, true);
        if (!inParts.isEmpty())
            return inParts;
    }
    return QString();
}

void checkRead(const ParsedBank &bank, const QString &what)
{
    const QString unsound = unsoundQuestion(bank.questions);
    QVERIFY2(unsound.isEmpty(), qPrintable(unsound + QLatin1Char(' ') + what));
    for (const BankProblem &problem : bank.problems)
        QVERIFY2(problem.line >= 0 && !problem.reason.isEmpty(), qPrintable(what));
}

struct Format
{
    const char *name;
    const char *example;
    QStringList tokens;
};

const QVector<Format> formats{
    {"gift", "安全与计算机.gift",
     {"::", "{", "}", "=", "~", "%50%", "%-100%", "#", "####", "->", "\\", "\\:", "\\{", "//", "$CATEGORY:",
      "[html]", "[markdown]", "[plain]", "{T}", "{FALSE}", "\n\n", "\r\n", "\ufeff", "<b>", "题"}},
    {"aiken", "职业健康.aiken.txt", {"A.", "B)", "C.", "ANSWER:", " A", " Z", "\n", "\r\n", "对", "错", "True"}},
    {"xml", "安全与计算机.xml",
     {"<quiz>", "</quiz>", "<question type=\"multichoice\">", "<question type=\"cloze\">", "</question>",
      "<answer fraction=\"100\">", "<answer fraction=\"-50\">", "</answer>", "<text>", "</text>", "<![CDATA[",
      "]]>", "<file name=\"a.png\" encoding=\"base64\">", "</file>", "&amp;", "&#0;", "<single>true</single>",
      "<defaultgrade>", "<category>", "<!DOCTYPE x [<!ENTITY a \"aaaa\">]>", "&a;"}},
    {"csv", "安全与计算机.csv",
     {",", "\t", "\"", "\"\"", "\n", "\r\n", "题型", "单选", "多选", "判断", "填空", "案例", "A、B", "√", "____",
      "|", "\ufeff"}},
};

} // namespace

class ImportFuzzTest : public QObject
{
    Q_OBJECT

private slots:
    void textFormats_data()
    {
        QTest::addColumn<int>("format");
        for (int i = 0; i < formats.size(); ++i)
            QTest::newRow(formats[i].name) << i;
    }

    void textFormats()
    {
        QFETCH(int, format);
        const Format &f = formats[format];
        const QString example = QString::fromUtf8(exampleFile(QString::fromUtf8(f.example)));
        QVERIFY(!example.isEmpty());
        QTextCodec *gb18030 = QTextCodec::codecForName("GB18030");
        SeededFuzz fuzz(fuzzInputs, fuzzBudgetMs);
        while (fuzz.next()) {
            const QString input = fuzz.chance(70) ? fuzz.mutate(example, f.tokens) : fuzz.text(60, f.tokens);
            // Spreadsheets also come as GB18030.
            const QByteArray bytes = f.name == QLatin1String("csv") && fuzz.chance(33) ? gb18030->fromUnicode(input)
                                                                                     : input.toUtf8();
            checkRead(BankFile::parse(bytes, QLatin1String(f.name)), fuzz.describe(input));
        }
    }

    // A workbook is a zip: damaged bytes anywhere, or a file cut short, give
    // problems and never a crash.
    void workbookBytes()
    {
        const QByteArray workbook = exampleFile(QStringLiteral("安全与计算机.xlsx"));
        QVERIFY(workbook.size() > 1000);
        SeededFuzz fuzz(300, fuzzBudgetMs);
        while (fuzz.next()) {
            QByteArray bytes = workbook;
            for (int edits = fuzz.number(1, 8); edits > 0 && !bytes.isEmpty(); --edits) {
                const int at = fuzz.number(0, bytes.size() - 1);
                if (fuzz.chance(80))
                    bytes[at] = char(fuzz.number(0, 255));
                else
                    bytes.truncate(at);
            }
            checkRead(BankFile::parse(bytes, QStringLiteral("xlsx")),
                      QStringLiteral("seed %1 input %2").arg(fuzz.seed()).arg(fuzz.count()));
        }
    }
};

TESSERA_TEST_MAIN(ImportFuzzTest)
#include "tst_importfuzz.moc"
