#include "testsupport.h"

#include "bankexport.h"
#include "bankfile.h"
#include "banktext.h"
#include "blankanswer.h"
#include "csvreader.h"
#include "importpreview.h"
#include "giftexporter.h"
#include "moodlexmlexporter.h"
#include "xlsxreader.h"
#include "zippart.h"

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
        all << QString::number(p.line)
                + (p.severity == BankProblem::Note      ? QLatin1String(" note")
                   : p.severity == BankProblem::Refused ? QLatin1String(" refused")
                                                        : QLatin1String(""))
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

// Every byte of a literal, NULs included.
template <int N>
QByteArray allBytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
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
            << u8("Pick {~%50%half =right ~wrong}") << QStringList{"1 Pick [half;right;wrong] =B"}
            << QStringList{"1 note: 选项“half”只得 50%"};
        QTest::newRow("multiple choice by positive weights")
            << u8("Primes {~%50%2 ~%50%3 ~%-100%4 ~%0%6}") << QStringList{"2 Primes [2;3;4;6] =AB"} << QStringList();
        QTest::newRow("true/false words")
            << u8("Sky is blue {T}\n\nGrass is red {FALSE}\n\nx {true#fb}")
            << QStringList{"3 Sky is blue =A", "3 Grass is red =B", "3 x =A #fb"} << QStringList();
        QTest::newRow("short answer keeps full-credit alternatives")
            << u8("CPU means {=Central Processing Unit =%100%中央处理器 =%50%processor}")
            << QStringList{QString::fromUtf8("4 CPU means =Central Processing Unit¦中央处理器")}
            << QStringList{"1 note: 答案“processor”只得 50%"};
        QTest::newRow("partial credit answer reported, feedback kept per answer")
            << u8("Who's buried? {=Nazareth#Yes! =%75%Nazereth#Right, but misspelled.}")
            << QStringList{QString::fromUtf8("4 Who's buried? =Nazareth #Nazareth：Yes!<br/>Nazereth：Right, but misspelled.")}
            << QStringList{"1 note: 答案“Nazereth”只得 75%，题库没有部分得分"};
        QTest::newRow("multiple choice weights not adding to 100% reported")
            << u8("Pick {~%25%a ~%25%b ~%-100%c}") << QStringList{"2 Pick [a;b;c] =AB"}
            << QStringList{"1 note: 多选题正确选项的分值之和是 50%，不是 100%"};
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
            << QStringList{QString::fromUtf8("3 Q =A m2.5 c消防 / 灭火"), QString::fromUtf8("3 R =B c用电")}
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
            << QStringList{"3 D ::x =A"} << QStringList{"1: ", "3 refused: 题目“B”有6个选项", "5: "};
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
            << QStringList{"1 <p>Pick</p> [a;b] =A #why m2 kid1", "2 x &lt; y [a;b;c] =AC kn2"}
            << QStringList{"3 note: 选项 B 只得 50%"};
        QTest::newRow("partial credit reported")
            << head + "<question type=\"multichoice\"><questiontext><text>M</text></questiontext><single>false</single>"
                      "<answer fraction=\"25\"><text>a</text></answer><answer fraction=\"25\"><text>b</text></answer>"
                      "<answer fraction=\"-100\"><text>c</text></answer></question>\n"
                      "<question type=\"shortanswer\"><questiontext><text>S</text></questiontext>"
                      "<answer fraction=\"100\"><text>Nazareth</text></answer>\n"
                      "<answer fraction=\"75\"><text>Nazereth</text></answer></question></quiz>"
            << QStringList{"2 M [a;b;c] =AB", "4 S =Nazareth"}
            << QStringList{"3 note: 多选题正确选项的分值之和是 50%，不是 100%", "5 note: 答案“Nazereth”只得 75%"};
        QTest::newRow("truefalse, shortanswer, essay, category")
            << head + "<question type=\"category\"><category><text>$course$/top/安全/消防</text></category></question>"
                      "<question type=\"truefalse\"><questiontext><text>T?</text></questiontext>"
                      "<answer fraction=\"0\"><text>true</text></answer><answer fraction=\"100\"><text>false</text></answer></question>"
                      "<question type=\"shortanswer\"><questiontext format=\"markdown\"><text>*S*</text></questiontext>"
                      "<answer fraction=\"100\"><text>x</text></answer><answer fraction=\"100\"><text>y</text></answer>"
                      "<answer fraction=\"20\"><text>z</text></answer></question>"
                      "<question type=\"essay\"><questiontext><text>E</text></questiontext>"
                      "<graderinfo format=\"html\"><text>ref</text></graderinfo></question></quiz>"
            << QStringList{QString::fromUtf8("3 T? =B c安全 / 消防"), QString::fromUtf8("4 <em>S</em> =x¦y c安全 / 消防"),
                           QString::fromUtf8("5 E #ref c安全 / 消防")}
            << QStringList{"3 note: 答案“z”只得 20%"};
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
        QTest::newRow("answer feedback kept for every type")
            << head + "<question type=\"truefalse\"><questiontext><text>T?</text></questiontext>"
                      "<answer fraction=\"100\"><text>true</text><feedback><text>Yes.</text></feedback></answer>"
                      "<answer fraction=\"0\"><text>false</text><feedback><text>No.</text></feedback></answer></question>"
                      "<question type=\"shortanswer\"><questiontext><text>S</text></questiontext>"
                      "<answer fraction=\"100\"><text>x</text><feedback><text>Right.</text></feedback></answer>"
                      "<answer fraction=\"0\"><text>y</text><feedback><text>Close.</text></feedback></answer></question></quiz>"
            << QStringList{QString::fromUtf8("3 T? =A #正确：Yes.<br/>错误：No."),
                           QString::fromUtf8("4 S =x #x：Right.<br/>y：Close.")}
            << QStringList();
        QTest::newRow("cloze of short answers; a cloze with a choice is reported")
            << head + "<question type=\"multianswer\"><questiontext><text>a {1:SHORTANSWER:=x\\}y~%100%z#ok~%50%w} b "
                      "{2:SA:=v}</text></questiontext></question>\n"
                      "<question type=\"multianswer\"><questiontext><text>{1:MULTICHOICE:=a~b}</text></questiontext>"
                      "</question></quiz>"
            << QStringList{QString::fromUtf8("4 a ______ b ______ =x}y¦z|v")} << QStringList{"4: 完形填空中的“MULTICHOICE”"};
        QTest::newRow("links to files not brought in are taken out and reported")
            << head + "<question type=\"essay\"><questiontext format=\"html\"><text><![CDATA[Listen "
                      "<a href=\"@@PLUGINFILE@@/bonjour.mp3\">bonjour</a> <audio controls><source "
                      "src=\"@@PLUGINFILE@@/b%20c.mp3\"></audio>!]]></text></questiontext></question></quiz>"
            << QStringList{"5 Listen bonjour !"}
            << QStringList{"3 note: 链接的文件“bonjour.mp3”不随题库导入", "3 note: 链接的文件“b c.mp3”"};
        QTest::newRow("an external entity is reported, not read")
            << u8("<?xml version=\"1.0\"?>\n<!DOCTYPE quiz [<!ENTITY secret SYSTEM \"file:///etc/hostname\">]>\n<quiz>\n"
                  "<question type=\"essay\"><questiontext><text>A &secret; B</text></questiontext></question></quiz>")
            << QStringList{"5 A  B"} << QStringList{"4: 外部实体不被读取"};
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

    // Bytes no question text may hold, and files in neither UTF-8 nor
    // GB18030, are refused at their line; a whole GB18030 file is read as such.
    void refusedBytes_data()
    {
        QTest::addColumn<QString>("format");
        addColumns();
        QTest::newRow("NUL in a GIFT stem")
            << "gift" << allBytes("Q1 {T}\n\nQ\0two {F}") << QStringList{"3 Q1 =A"} << QStringList{"3: "};
        QTest::newRow("escape character in a GIFT option")
            << "gift" << u8("Q1 {T}\n\n\nPick {=a ~b\x1B}") << QStringList{"3 Q1 =A"} << QStringList{"4: "};
        QTest::newRow("NUL in a CSV cell")
            << "csv" << allBytes("题干,答案\n好,对\n坏\0,对\n") << QStringList{QString::fromUtf8("3 好 =A")}
            << QStringList{"3: "};
        QTest::newRow("NUL in an Aiken option")
            << "aiken" << allBytes("Q\nA. a\0\nB. b\nANSWER: A\n") << QStringList() << QStringList{"1: "};
        QTest::newRow("GIFT neither UTF-8 nor GB18030")
            << "gift" << u8("Q1 {T}\n\nQ2 \xFF {F}") << QStringList{"3 Q1 =A", QString::fromUtf8("3 Q2 \uFFFD =B")}
            << QStringList{"3: 文件既不是有效的 UTF-8"};
        QTest::newRow("CSV neither UTF-8 nor GB18030 names its line")
            << "csv" << u8("题干,答案\n好,对\ncaf\xE9 ,对\n")
            << QStringList{QString::fromUtf8("3 好 =A"), QString::fromUtf8("3 caf\uFFFD =A")}
            << QStringList{"3: 文件既不是有效的 UTF-8"};
        QTest::newRow("a whole GB18030 GIFT file")
            << "gift" << QTextCodec::codecForName("GB18030")->fromUnicode(QStringLiteral("首都在北京 {T}"))
            << QStringList{QString::fromUtf8("3 首都在北京 =A")} << QStringList();
    }
    void refusedBytes()
    {
        QFETCH(QString, format);
        check(format);
    }

    // A question with more options than the bank holds is refused by its
    // opening, apart from the file's faults: the rest still imports.
    void tooManyOptions_data()
    {
        QTest::addColumn<QString>("format");
        addColumns();
        QTest::newRow("the GIFT control characters question")
            << "gift"
            << u8("// question: 1\n::GIFT Control Characters::Which is not a control character?\n{\n"
                  "~\\~ ~\\= ~\\# ~\\{ ~\\} =\\%\n}\n\nKept {T}")
            << QStringList{"3 Kept =A"}
            << QStringList{"2 refused: 题目“GIFT Control Characters”有6个选项，题库每题最多五个（A–E），未导入"};
        QTest::newRow("GIFT named by its first line")
            << "gift" << u8("Pick one\nof these {=1 ~2 ~3 ~4 ~5 ~6}")
            << QStringList() << QStringList{"1 refused: 题目“Pick one”有6个选项"};
        QTest::newRow("Moodle XML named by its name")
            << "xml"
            << u8("<quiz><question type=\"multichoice\"><name><text>六选</text></name><questiontext><text>Q</text>"
                  "</questiontext><answer fraction=\"100\"><text>1</text></answer><answer><text>2</text></answer>"
                  "<answer><text>3</text></answer><answer><text>4</text></answer><answer><text>5</text></answer>"
                  "<answer><text>6</text></answer></question></quiz>")
            << QStringList() << QStringList{"1 refused: 题目“六选”有6个选项"};
        QTest::newRow("a spreadsheet row with options to F")
            << "csv" << u8("题干,A,B,C,D,E,F,答案\n选哪个,1,2,3,4,5,6,A\n判断,,,,,,,对\n")
            << QStringList{QString::fromUtf8("3 判断 =A")} << QStringList{"2 refused: 题目“选哪个”有6个选项"};
    }
    void tooManyOptions()
    {
        QFETCH(QString, format);
        check(format);
        QFETCH(QByteArray, file);
        const ParsedBank bank = BankFile::parse(file, format);
        QCOMPARE(bank.errorCount(), 0);
        QCOMPARE(bank.refusedCount(), 1);
    }

    // A category's whole path is the chapter, written back as a path: two
    // categories of the same last name stay apart.
    void categoryPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("chapter");
        QTest::addColumn<QString>("written");
        QTest::newRow("nested") << "Iota/Kappa/Lambda" << "Iota / Kappa / Lambda" << "Iota/Kappa/Lambda";
        QTest::newRow("same last name elsewhere") << "Mu/Lambda" << "Mu / Lambda" << "Mu/Lambda";
        QTest::newRow("a slash inside a name") << "硬件/输入//输出设备" << "硬件 / 输入/输出设备" << "硬件/输入//输出设备";
        QTest::newRow("blanks and empty names") << " a / /b/ " << "a / b" << "a/b";
    }
    void categoryPaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, chapter);
        QFETCH(QString, written);
        QCOMPARE(BankQuestion::chapterOfCategory(path), chapter);
        QCOMPARE(BankQuestion::categoryOfChapter(chapter), written);
        // Through a file and back, in both formats that name categories.
        BankQuestion q;
        q.type = BankQuestion::TrueFalse;
        q.stemHtml = QStringLiteral("Q");
        q.answerLetters = QStringLiteral("A");
        q.chapter = chapter;
        const QString gift = GiftExporter::write({q});
        QVERIFY2(gift.contains(QStringLiteral("$CATEGORY: $course$/top/") + written), qPrintable(gift));
        QCOMPARE(BankFile::parse(gift.toUtf8(), QStringLiteral("gift")).questions.value(0).chapterName(), chapter);
        const QByteArray xml = MoodleXmlExporter::write({q}, QString());
        QCOMPARE(BankFile::parse(xml, QStringLiteral("xml")).questions.value(0).chapterName(), chapter);
    }

    // Several blanks go out in the form each format has; where it has none,
    // the export names the question.
    void severalBlanks_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("stem");
        QTest::addColumn<QString>("written");     // in the exported file
        QTest::addColumn<int>("ownForm");
        QTest::newRow("Moodle XML as cloze")
            << "xml" << "运算器、______和______" << "{2:SHORTANSWER:=输出设备~=输出装置}" << 0;
        QTest::newRow("Moodle XML, stem without markers")
            << "xml" << "说出两个部件。" << "type=\"shortanswer\"" << 1;
        QTest::newRow("GIFT in the bank's own form") << "gift" << "运算器、______和______" << "=控制器|输出设备" << 1;
        QTest::newRow("the spreadsheet's own column") << "csv" << "运算器、______和______" << "控制器|输出设备¦输出装置" << 0;
    }
    void severalBlanks()
    {
        QFETCH(QString, suffix);
        QFETCH(QString, stem);
        QFETCH(QString, written);
        QFETCH(int, ownForm);
        BankQuestion q;
        q.type = BankQuestion::FillIn;
        q.stemHtml = stem;
        q.blanks = {{QStringLiteral("控制器")}, {QStringLiteral("输出设备"), QStringLiteral("输出装置")}};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.") + suffix);
        QStringList own;
        QVERIFY(BankExport::write(path, {q}, dir.path(), &own));
        QCOMPARE(own.size(), ownForm);
        if (ownForm > 0)
            QVERIFY(BankExport::ownFormText(own).contains(stem.left(5)));
        QVERIFY2(QString::fromUtf8(TestSupport::fileBytes(path)).contains(written),
                 TestSupport::fileBytes(path).constData());
        const ParsedBank back = BankFile::read(path);
        QCOMPARE(back.errorCount(), 0);
        QCOMPARE(back.questions.value(0).blanks, q.blanks);
        QCOMPARE(back.questions.value(0).stemHtml, stem);
    }

    // The preview lists every problem with its line, and counts the
    // questions the bank cannot hold apart from the file's faults.
    void previewLines_data()
    {
        addColumns();
        QTest::addColumn<QString>("types");
        QTest::newRow("a question of six options")
            << u8("Kept {T}\n\n::Six::Pick {=1 ~2 ~3 ~4 ~5 ~6}") << QStringList()
            << QStringList{"第 3 行：题目“Six”有6个选项，题库每题最多五个（A–E），未导入（不能保存的题目）"}
            << "判断 1；1 道题题库不能保存，不导入";
        QTest::newRow("a link to a file not brought in")
            << u8("[html]Hear <a href=\"@@PLUGINFILE@@/bonjour.mp3\">this</a> {T}") << QStringList()
            << QStringList{"第 1 行：链接的文件“bonjour.mp3”不随题库导入，已去掉这个链接（提示）"} << "判断 1";
    }
    void previewLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, problems);
        QFETCH(QString, types);
        const ParsedBank bank = BankFile::parse(file, QStringLiteral("gift"));
        QCOMPARE(ImportPreview::problemLines(bank), problems);
        QCOMPARE(ImportPreview::typeSummary(bank), types);
        QCOMPARE(bank.errorCount(), 0);
    }

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

    // Cells a spreadsheet would run as formulas are written behind an
    // apostrophe, which reading takes off again.
    void csvFormulaProtection_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("written");
        QTest::newRow("an option that is a sum") << "= 2 + 2" << "'= 2 + 2";
        QTest::newRow("plus") << "+86 10" << "'+86 10";
        QTest::newRow("minus") << "-1" << "'-1";
        QTest::newRow("at") << "@SUM(A1:A9)" << "'@SUM(A1:A9)";
        QTest::newRow("an apostrophe of its own") << "'tis" << "''tis";
        QTest::newRow("protection as text") << "'=x" << "''=x";
        QTest::newRow("quoted as well") << "=a,b" << "\"'=a,b\"";
        QTest::newRow("inside the text") << "a=b-c" << "a=b-c";
    }
    void csvFormulaProtection()
    {
        QFETCH(QString, cell);
        QFETCH(QString, written);
        const QByteArray bytes = CsvReader::write({{"x", cell}});
        QCOMPARE(QString::fromUtf8(bytes.mid(3)), QStringLiteral("x,") + written + QStringLiteral("\r\n"));
        QCOMPARE(CsvReader::read(bytes).rows.value(0).cells, (QStringList{"x", cell}));
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

    // A part is read whole up to its bound and refused one byte past it.
    void zipPartBound_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("status");
        QTest::newRow("within the bound") << 999 << "part.xml" << int(ZipPart::Status::Open);
        QTest::newRow("exactly the bound") << 1000 << "PART.xml" << int(ZipPart::Status::Open);
        QTest::newRow("one byte past") << 1001 << "part.xml" << int(ZipPart::Status::TooLarge);
        QTest::newRow("far past") << 5000000 << "part.xml" << int(ZipPart::Status::TooLarge);
        QTest::newRow("missing") << 10 << "other.xml" << int(ZipPart::Status::Missing);
    }
    void zipPartBound()
    {
        QFETCH(int, size);
        QFETCH(QString, name);
        QFETCH(int, status);
        QByteArray archive = zipOf({{"part.xml", QByteArray(size, 'x')}});
        QBuffer buffer(&archive);
        QuaZip zip(&buffer);
        QVERIFY(zip.open(QuaZip::mdUnzip));
        QByteArray bytes;
        QString problem;
        const bool whole = ZipPart::readAll(&zip, name, &bytes, &problem, 1000);
        QCOMPARE(whole, status == int(ZipPart::Status::Open));
        QCOMPARE(bytes.size(), whole ? size : 0);
        QCOMPARE(problem.isEmpty(), whole);
        if (status == int(ZipPart::Status::TooLarge))
            QVERIFY2(problem.contains(QStringLiteral("展开后超过")), qPrintable(problem));
        // As a stream, the same verdict.
        ZipPart part(&zip, name, 1000);
        QByteArray streamed;
        while (part.status() == ZipPart::Status::Open && !part.atEnd()) {
            const QByteArray chunk = part.read(300);
            if (chunk.isEmpty())
                break;
            streamed += chunk;
        }
        QCOMPARE(int(part.status()), status);
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
