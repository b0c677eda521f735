#include "testsupport.h"

#include "bankfile.h"
#include "banktext.h"
#include "blankanswer.h"
#include "csvreader.h"
#include "xlsxreader.h"

#include <QBuffer>
#include <QTextCodec>
#include <quazip.h>
#include <quazipfile.h>

// The parsers of every format, each rule a row: what a file says and what the
// bank model (and the problems list) must hold.
namespace {

// One question in a line: type, stem, options, answer, explanation, marks,
// chapter, key; the parts of a case study follow in braces.
QString describe(const BankQuestion &q)
{
    QString text = QString::number(q.type) + QLatin1Char(' ') + q.stemHtml;
    if (!q.optionsHtml.isEmpty())
        text += QLatin1String(" [") + q.optionsHtml.join(QLatin1Char(';')) + QLatin1Char(']');
    if (!q.answerLetters.isEmpty())
        text += QLatin1String(" =") + q.answerLetters;
    if (!q.blanks.isEmpty())
        text += QLatin1String(" =") + BankText::joinBlanks(q.blanks);
    if (!q.explanationHtml.isEmpty())
        text += QLatin1String(" #") + q.explanationHtml;
    if (q.marks != 1)
        text += QLatin1String(" m") + QString::number(q.marks);
    if (!q.chapterName().isEmpty())
        text += QLatin1String(" c") + q.chapterName();
    if (!q.key.isEmpty())
        text += QLatin1String(" k") + q.key;
    if (!q.parts.isEmpty()) {
        QStringList parts;
        for (const BankQuestion &part : q.parts)
            parts << describe(part);
        text += QLatin1String(" {") + parts.join(QLatin1String(" / ")) + QLatin1Char('}');
    }
    return text;
}

QStringList describeAll(const ParsedBank &bank)
{
    QStringList all;
    for (const BankQuestion &q : bank.questions)
        all << describe(q);
    return all;
}

// "line: reason", notes marked "note".
QStringList problems(const ParsedBank &bank)
{
    QStringList all;
    for (const BankProblem &p : bank.problems)
        all << QString::number(p.line) + (p.severity == BankProblem::Note ? QLatin1String(" note") : QString())
                + QLatin1String(": ") + p.reason;
    return all;
}

void addColumns()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("problems"); // each the start of a problem's text
}

void check(const QString &format)
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, problems);
    const ParsedBank bank = BankFile::parse(file, format);
    QCOMPARE(describeAll(bank), questions);
    const QStringList found = ::problems(bank);
    QCOMPARE(found.size(), problems.size());
    for (int i = 0; i < found.size(); ++i)
        QVERIFY2(found.at(i).startsWith(problems.at(i)), qPrintable(found.at(i)));
}

QByteArray u8(const char *text)
{
    return QByteArray(text);
}

// A workbook as spreadsheet programs write it, member by member.
QByteArray zipOf(const QList<QPair<QString, QByteArray>> &members)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto &member : members) {
        QuaZipFile file(&zip);
        file.open(QIODevice::WriteOnly, QuaZipNewInfo(member.first));
        file.write(member.second);
        file.close();
    }
    zip.close();
    return bytes;
}

} // namespace

class ImportFormatsTest : public QObject
{
    Q_OBJECT
private slots:
    void gift_data()
    {
        addColumns();
        QTest::newRow("single choice, title, Chinese")
            << u8("::q1::首都是{=北京 ~上海 ~广州}") << QStringList{"1 首都是 [北京;上海;广州] =A kq1"} << QStringList();
        QTest::newRow("partial weight counts as wrong in a single choice")
            << u8("Pick {~%50%half =right ~wrong}") << QStringList{"1 Pick [half;right;wrong] =B"} << QStringList();
        QTest::newRow("multiple choice by positive weights")
            << u8("Primes {~%50%2 ~%50%3 ~%-100%4 ~%0%6}") << QStringList{"2 Primes [2;3;4;6] =AB"} << QStringList();
        QTest::newRow("true/false words")
            << u8("Sky is blue {T}\n\nGrass is red {FALSE}\n\nx {true#fb}")
            << QStringList{"3 Sky is blue =A", "3 Grass is red =B", "3 x =A #fb"} << QStringList();
        QTest::newRow("short answer keeps full-credit alternatives")
            << u8("CPU means {=Central Processing Unit =%100%中央处理器 =%50%processor}")
            << QStringList{QString::fromUtf8("4 CPU means =Central Processing Unit¦中央处理器")} << QStringList();
        QTest::newRow("several blanks in the bank's form")
            << u8("Parts: ______ and ______ {=CPU|RAM}") << QStringList{"4 Parts: ______ and ______ =CPU|RAM"}
            << QStringList();
        QTest::newRow("blank in the middle")
            << u8("The {=sun} rises in the east.") << QStringList{"4 The ______ rises in the east. =sun"} << QStringList();
        QTest::newRow("choice in the middle")
            << u8("Water is {=wet ~dry} today") << QStringList{QString::fromUtf8("1 Water is （　　） today [wet;dry] =A")}
            << QStringList();
        QTest::newRow("essay") << u8("Describe it. {}") << QStringList{"5 Describe it."} << QStringList();
        QTest::newRow("every escape")
            << u8("a\\~b\\=c\\#d\\{e\\}f\\:g\\\\h\\ni {=x\\=y ~z}")
            << QStringList{"1 a~b=c#d{e}f:g\\h<br/>i [x=y;z] =A"} << QStringList();
        QTest::newRow("comments, feedback, general feedback")
            << u8("// a comment\nQ {=a#right ~b#no ####because}")
            << QStringList{QString::fromUtf8("1 Q [a;b] =A #because<br/>A：right<br/>B：no")} << QStringList();
        QTest::newRow("category into chapters, marks comment")
            << u8("$CATEGORY: $course$/top/消防/灭火\n\n// 分值: 2.5\nQ {T}\n\n$CATEGORY: 用电\n\nR {F}")
            << QStringList{QString::fromUtf8("3 Q =A m2.5 c灭火"), QString::fromUtf8("3 R =B c用电")}
            << QStringList();
        QTest::newRow("plain and markdown become safe html")
            << u8("[plain]a<b {T}\n\n[markdown]**bold** <i>x</i> {F}\n\n[html]<b>kept</b> {T}")
            << QStringList{"3 a&lt;b =A", "3 <strong>bold</strong> &lt;i&gt;x&lt;/i&gt; =B", "3 <b>kept</b> =A"}
            << QStringList();
        QTest::newRow("markdown links only to the web, images kept")
            << u8("[markdown]see [x](javascript:alert(1)) and [y](https://e.org) ![p](img/a.png) {T}")
            << QStringList{"3 see [x](javascript:alert(1)) and <a href=\"https://e.org\">y</a> <img src=\"img/a.png\" alt=\"p\"/> =A"}
            << QStringList{"1 note: "};
        QTest::newRow("CRLF, byte-order mark, multi-line question")
            << u8("\xEF\xBB\xBFline one\r\nline two {T}\r\n\r\nnext {F}\r\n")
            << QStringList{"3 line one<br/>line two =A", "3 next =B"} << QStringList();
        QTest::newRow("case study from titled description and parts")
            << u8("::c1::Read this.\n\n::c1/1::First {T}\n\n::c1/2::Second {=a ~b}\n\n::q::Alone {F}")
            << QStringList{"6 Read this. kc1 {3 First =A k1 / 1 Second [a;b] =A k2}", "3 Alone =B kq"}
            << QStringList();
        QTest::newRow("description alone is skipped with a note")
            << u8("Just words.\n\nQ {T}") << QStringList{"3 Q =A"} << QStringList{"1 note: "};
        QTest::newRow("matching and numerical reported at their lines")
            << u8("Q1 {T}\n\nMatch {\n=a -> 1\n=b -> 2\n}\n\nHow many {#3:1}")
            << QStringList{"3 Q1 =A"} << QStringList{"3: ", "8: "};
        QTest::newRow("unfinished question")
            << u8("Q1 {T}\n\n// c\nQ2 {=a\n~b\n\nQ3 {F}") << QStringList{"3 Q1 =A", "3 Q3 =B"} << QStringList{"4: "};
        QTest::newRow("no right option, too many options, stray brace")
            << u8("A {~a ~b}\n\nB {=1 ~2 ~3 ~4 ~5 ~6}\n\nC } {T}\n\nD ::x {T}")
            << QStringList{"3 D ::x =A"} << QStringList{"1: ", "3: ", "5: "};
        QTest::newRow("unclosed title") << u8("::t Q {T}") << QStringList() << QStringList{"1: "};
    }
    void gift() { check(QStringLiteral("gift")); }

    void aiken_data()
    {
        addColumns();
        QTest::newRow("single choice, both option forms")
            << u8("What?\nA. one\nB) two\nANSWER: B\n\nNext\nA. x\nB. y\nC. z\nANSWER: A")
            << QStringList{"1 What? [one;two] =B", "1 Next [x;y;z] =A"} << QStringList();
        QTest::newRow("true/false in English and Chinese")
            << u8("Sun is hot\nA. True\nB. False\nANSWER: A\n水是干的\nA. 对\nB. 错\nANSWER: B\nFlip\nA. False\nB. True\nANSWER: A")
            << QStringList{"3 Sun is hot =A", QString::fromUtf8("3 水是干的 =B"), "3 Flip =B"} << QStringList();
        QTest::newRow("several letters make a multiple choice")
            << u8("Q\nA. a\nB. b\nC. c\nANSWER: A,C") << QStringList{"2 Q [a;b;c] =AC"} << QStringList();
        QTest::newRow("answer not an option, unfinished, stray answer")
            << u8("Q\nA. a\nB. b\nANSWER: D\n\nR\nA. a\nB. b\nS\nA. a\nB. b\nANSWER: A\nANSWER: B\nT\nA. t")
            << QStringList{"1 S [a;b] =A"} << QStringList{"4: ", "6: ", "13: ", "14: "};
        QTest::newRow("escaped text") << u8("a<b?\nA. <i>\nB. &\nANSWER: A")
                                      << QStringList{"1 a&lt;b? [&lt;i&gt;;&amp;] =A"} << QStringList();
    }
    void aiken() { check(QStringLiteral("aiken")); }

    void moodleXml_data()
    {
        addColumns();
        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n";
        QTest::newRow("multichoice single and multiple, feedback, grade, idnumber")
            << head + "<question type=\"multichoice\"><name><text>n1</text></name><idnumber>id1</idnumber>"
                      "<questiontext format=\"html\"><text><![CDATA[<p>Pick</p>]]></text></questiontext>"
                      "<generalfeedback><text>why</text></generalfeedback><defaultgrade>2</defaultgrade>"
                      "<single>true</single><answer fraction=\"100\"><text>a</text></answer>"
                      "<answer fraction=\"50\"><text>b</text></answer></question>\n"
                      "<question type=\"multichoice\"><name><text>n2</text></name>"
                      "<questiontext format=\"plain_text\"><text>x &lt; y</text></questiontext><single>false</single>"
                      "<answer fraction=\"50\"><text>a</text></answer><answer fraction=\"-100\"><text>b</text></answer>"
                      "<answer fraction=\"50\"><text>c</text></answer></question></quiz>"
            << QStringList{"1 <p>Pick</p> [a;b] =A #why m2 kid1", "2 x &lt; y [a;b;c] =AC kn2"} << QStringList();
        QTest::newRow("truefalse, shortanswer, essay, category")
            << head + "<question type=\"category\"><category><text>$course$/top/安全/消防</text></category></question>"
                      "<question type=\"truefalse\"><questiontext><text>T?</text></questiontext>"
                      "<answer fraction=\"0\"><text>true</text></answer><answer fraction=\"100\"><text>false</text></answer></question>"
                      "<question type=\"shortanswer\"><questiontext format=\"markdown\"><text>*S*</text></questiontext>"
                      "<answer fraction=\"100\"><text>x</text></answer><answer fraction=\"100\"><text>y</text></answer>"
                      "<answer fraction=\"20\"><text>z</text></answer></question>"
                      "<question type=\"essay\"><questiontext><text>E</text></questiontext>"
                      "<graderinfo format=\"html\"><text>ref</text></graderinfo></question></quiz>"
            << QStringList{QString::fromUtf8("3 T? =B c消防"), QString::fromUtf8("4 <em>S</em> =x¦y c消防"),
                           QString::fromUtf8("5 E #ref c消防")}
            << QStringList();
        QTest::newRow("base64 image renamed by content")
            << head + "<question type=\"essay\"><questiontext><text><![CDATA[<img alt=\"p\" src=\"@@PLUGINFILE@@/a%20b.png\">]]></text>"
                      "<file name=\"a b.png\" path=\"/\" encoding=\"base64\">iVBORw==</file></questiontext></question>"
                      "<question type=\"essay\"><questiontext><text><![CDATA[<img src=\"gone.png\">]]></text></questiontext></question></quiz>"
            << QStringList{"5 <img src=\"/imp-4effda12c2611e2e4feb.png\" alt=\"p\">", "5 <img src=\"gone.png\">"}
            << QStringList{"3 note: "};
        QTest::newRow("description, unknown type, malformed tail")
            << head + "<question type=\"description\"><questiontext><text>D</text></questiontext></question>\n"
                      "<question type=\"matching\"><questiontext><text>M</text></questiontext></question>\n"
                      "<question type=\"essay\"><questiontext><text>E</text></questiontext></question>\n"
                      "<question type=\"essay\"><questiontext><text>cut</text>\n</quiz>"
            << QStringList{"5 E"} << QStringList{"3 note: ", "4: ", "7: "};
        QTest::newRow("case study from description and its parts")
            << head + "<question type=\"description\"><idnumber>c</idnumber><questiontext><text>Read</text></questiontext></question>"
                      "<question type=\"truefalse\"><idnumber>c/1</idnumber><questiontext><text>P</text></questiontext>"
                      "<answer fraction=\"100\"><text>true</text></answer></question></quiz>"
            << QStringList{"6 Read kc {3 P =A k1}"} << QStringList();
    }
    void moodleXml() { check(QStringLiteral("xml")); }

    void csv_data()
    {
        addColumns();
        const QByteArray header = "题号,题型,题干,选项A,选项B,选项C,答案,解析,分值,章节\n";
        QTest::newRow("every type, answers as people write them")
            << header + "1,单选,首都？,北京,上海,,A,,2,地理\n2,多选题,哪些？,a,b,c,\"A、C\",,,\n"
                        "3,判断,对吗,,,,√,,,\n4,判断,错吗,,,,错,,,\n5,填空,____和____,,,,\"甲|乙¦丙\",,,\n"
                        "6,问答,谈谈,,,,要点,解,,\n"
            << QStringList{QString::fromUtf8("1 首都？ [北京;上海] =A m2 c地理 k1"), QString::fromUtf8("2 哪些？ [a;b;c] =AC k2"),
                           QString::fromUtf8("3 对吗 =A k3"), QString::fromUtf8("3 错吗 =B k4"),
                           QString::fromUtf8("4 ____和____ =甲|乙¦丙 k5"), QString::fromUtf8("5 谈谈 #参考答案：要点<br/>解 k6")}
            << QStringList();
        QTest::newRow("synonyms, tab separated, quoted newline, doubled quote")
            << u8("序号\t类型\t题目\tA\tB\t正确答案\t答案解析\n7\t单项选择题\t\"two\nlines \"\"q\"\"\"\tx\ty\tb\t\n8\t判断题\tok\t\t\tTrue\t\n")
            << QStringList{"1 two<br/>lines &quot;q&quot; [x;y] =B k7", "3 ok =A k8"} << QStringList();
        QTest::newRow("case study by 所属案例 and by number prefix")
            << u8("题号,题型,题干,选项A,选项B,答案,所属案例\n9,案例,材料,,,,\n9-1,单选,小一,a,b,B,\n10,单选,小二,c,d,A,9\n")
            << QStringList{QString::fromUtf8("6 材料 k9 {1 小一 [a;b] =B k1 / 1 小二 [c;d] =A k10}")} << QStringList();
        QTest::newRow("answers typed with full-width letters, slashes; type told from the row")
            << u8("题干,A,B,C,答案\n一,x,y,z,ＡＣ\n二,x,y,z,B/A\n三,,,,对\n四,,,,北京\n")
            << QStringList{"2 一 [x;y;z] =AC", "2 二 [x;y;z] =AB", QString::fromUtf8("3 三 =A"),
                           QString::fromUtf8("4 四 =北京")}
            << QStringList();
        QTest::newRow("row problems name their rows")
            << header + "1,单选,q,a,b,,E,,,\n2,未知,q,,,,,,,\n3,判断,q,,,,也许,,,\n4,填空,____,,,,a|b,,,\n"
                        "5,单选,,a,b,,A,,,\n6,单选,q,a,b,,A,,两分,\n7,案例,孤,,,,,,,\n"
            << QStringList() << QStringList{"2: ", "3: ", "4: ", "5: ", "6: ", "7: ", "8: "};
        QTest::newRow("unclosed quote at its line")
            << header + "1,判断,ok,,,,对,,,\n2,判断,\"open,,,,对\n\n" << QStringList{"3 ok =A k1"} << QStringList{"3: "};
        QTest::newRow("no header") << u8("a,b\n1,2\n") << QStringList() << QStringList{"1: "};
    }
    void csv() { check(QStringLiteral("csv")); }

    void csvEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("题干,答案\n锟斤拷与𠀀,对\n");
        QTest::newRow("utf-8") << text.toUtf8();
        QTest::newRow("utf-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("gb18030") << QTextCodec::codecForName("GB18030")->fromUnicode(text);
        QTest::newRow("utf-16 with byte-order mark")
            << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    }
    void csvEncodings()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(BankFile::detectFormat(bytes), QStringLiteral("csv"));
        const ParsedBank bank = BankFile::parse(bytes, QStringLiteral("csv"));
        QCOMPARE(describeAll(bank), QStringList{QString::fromUtf8("3 锟斤拷与𠀀 =A")});
    }

    void detection_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("format");
        QTest::newRow("gift") << u8("// c\n::t::Q {T}") << "gift";
        QTest::newRow("aiken") << u8("Q\nA. a\nB. b\nANSWER: A") << "aiken";
        QTest::newRow("xml") << u8("\xEF\xBB\xBF<?xml version=\"1.0\"?><quiz/>") << "xml";
        QTest::newRow("csv with braces in it") << u8("题号,题干\n1,\"a {=b}\"") << "csv";
        QTest::newRow("xlsx by its zip signature") << u8("PK\x03\x04rest") << "xlsx";
        QTest::newRow("nothing known") << u8("just text") << "";
    }
    void detection()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, format);
        QCOMPARE(BankFile::detectFormat(bytes), format);
    }

    void csvWriteReadsBack()
    {
        const QVector<QStringList> rows{{"a", "b,c", "say \"hi\"", "two\nlines", " pad"}, {"", "x"}};
        const SheetTable table = CsvReader::read(CsvReader::write(rows));
        QCOMPARE(table.rows.size(), 2);
        QCOMPARE(table.rows.at(0).cells, rows.at(0));
        QCOMPARE(table.rows.at(1).cells, rows.at(1));
        QCOMPARE(table.rows.at(1).line, 3);
    }

    void xlsxWorkbook()
    {
        // The first sheet is found through the workbook's relations (here not
        // sheet1.xml); shared strings skip their phonetic runs; inline strings,
        // numbers and skipped cells land in their columns.
        const QByteArray workbook = zipOf({
            {"xl/workbook.xml", "<workbook xmlns:r=\"urn:r\"><sheets><sheet name=\"题\" sheetId=\"1\" r:id=\"rId7\"/>"
                                "</sheets></workbook>"},
            {"xl/_rels/workbook.xml.rels",
             "<Relationships><Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"strings.xml\"/>"
             "<Relationship Id=\"rId7\" Type=\"x/worksheet\" Target=\"/xl/worksheets/questions.xml\"/>"
             "</Relationships>"},
            {"xl/strings.xml", QString::fromUtf8("<sst><si><t>题干</t></si><si><t>答案</t></si>"
                                                  "<si><r><t>漢字</t></r><rPh><t>かんじ</t></rPh><r><t>は</t></r></si></sst>")
                                   .toUtf8()},
            {"xl/worksheets/sheet1.xml", "<worksheet><sheetData/></worksheet>"},
            {"xl/worksheets/questions.xml",
             QString::fromUtf8("<worksheet><sheetData><row r=\"1\"><c r=\"B1\" t=\"s\"><v>0</v></c>"
                               "<c r=\"D1\" t=\"s\"><v>1</v></c><c r=\"E1\" t=\"inlineStr\"><is><t>分值</t></is></c></row>"
                               "<row r=\"4\"><c r=\"B4\" t=\"s\"><v>2</v></c><c r=\"D4\" t=\"inlineStr\"><is><r><t>对</t></r></is></c>"
                               "<c r=\"E4\"><v>2.5</v></c></row></sheetData></worksheet>").toUtf8()},
        });
        QCOMPARE(BankFile::detectFormat(workbook), QStringLiteral("xlsx"));
        const ParsedBank bank = BankFile::parse(workbook, QStringLiteral("xlsx"));
        QCOMPARE(problems(bank), QStringList());
        QCOMPARE(describeAll(bank), QStringList{QString::fromUtf8("3 漢字は =A m2.5")});
        QCOMPARE(bank.questions.value(0).line, 4);
    }

    void storedFillInAnswer_data()
    {
        QTest::addColumn<QStringList>("blanks"); // each blank's accepted texts joined by "¦"
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain texts as they always were")
            << QStringList{QString::fromUtf8("CPU¦处理器"), "RAM"} << QString::fromUtf8("CPU¦处理器|RAM");
        QTest::newRow("a blank ending in a backslash, a bar in a blank")
            << QStringList{"C:\\", "|"} << QString("C:\\\\|\\|");
    }
    void storedFillInAnswer()
    {
        QFETCH(QStringList, blanks);
        QFETCH(QString, stored);
        QList<QStringList> accepted;
        for (const QString &blank : blanks)
            accepted << blank.split(QString::fromUtf8("¦"));
        QCOMPARE(BankText::joinBlanks(accepted), stored);
        // What the marking reads: every blank whole.
        QCOMPARE(BlankAnswer::split(stored), blanks);
        QCOMPARE(BankText::splitBlanks(stored), accepted);
    }

    void xlsxDamaged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not a zip") << u8("PK\x03\x04garbage");
        QTest::newRow("empty") << QByteArray();
    }
    void xlsxDamaged()
    {
        QFETCH(QByteArray, bytes);
        const ParsedBank bank = BankFile::parse(bytes, QStringLiteral("xlsx"));
        QVERIFY(bank.questions.isEmpty());
        QCOMPARE(bank.errorCount(), 1);
    }
};

TESSERA_TEST_MAIN(ImportFormatsTest)
#include "tst_import_formats.moc"
