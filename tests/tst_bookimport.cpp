#include "testsupport.h"
#include "seededfuzz.h"

#include "answerrecorder.h"
#include "bankfile.h"
#include "banktext.h"
#include "bankwriter.h"
#include "bookconverter.h"
#include "bookfile.h"
#include "bookrecogniser.h"
#include "docxreader.h"
#include "importdialog.h"
#include "papergrader.h"
#include "paperloader.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QImage>
#include <QTextCodec>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <quazip.h>
#include <quazipfile.h>

// Question books as people write them: every layout a row of text and the
// questions (and problems) the recogniser must find in it.
namespace {

using Db = TestSupport::FreshDatabase;
using TestSupport::database;

// One question in a line: type, stem, [options], =answer, #explanation,
// marks, chapter; a case's parts in braces.
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

QByteArray pngPicture()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::darkGray);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray paragraph(const QByteArray &body, const QByteArray &props = QByteArray())
{
    return "<w:p>" + props + body + "</w:p>";
}

QByteArray run(const QByteArray &text, const QByteArray &props = QByteArray())
{
    return "<w:r>" + (props.isEmpty() ? QByteArray() : "<w:rPr>" + props + "</w:rPr>") + "<w:t xml:space=\"preserve\">"
        + text + "</w:t></w:r>";
}

// A Word document as Word writes one: a heading, a numbered list, bold and
// subscript runs, a picture in a stem, options in a table, an equation, a
// line break, deleted text and a key at the end.
QByteArray wordDocument()
{
    const QByteArray numbered = "<w:pPr><w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"7\"/></w:numPr></w:pPr>";
    const QByteArray picture =
        "<w:r><w:drawing><wp:inline><a:graphic><a:graphicData><pic:pic><pic:blipFill><a:blip r:embed=\"rIdPic\"/>"
        "</pic:blipFill></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
    const QByteArray cell = "<w:tc><w:tcPr/>%1</w:tc>";
    QByteArray body;
    body += paragraph(run("一、单项选择题", "<w:b/>"));
    body += paragraph(run("水的化学式是 H") + run("2", "<w:vertAlign w:val=\"subscript\"/>") + run("O 的是（ ）") + picture,
                      numbered);
    body += "<w:tbl><w:tr>" + QByteArray(cell).replace("%1", paragraph(run("A．&lt;b&gt;甲&lt;/b&gt;")))
        + QByteArray(cell).replace("%1", paragraph(run("B．乙"))) + "</w:tr></w:tbl>";
    body += paragraph(run("答案：B") + "<w:r><w:br/></w:r>" + run("解析：") + run("见图", "<w:i/>"));
    body += paragraph(run("第二题", "<w:b w:val=\"0\"/>") + "<w:del><w:r><w:delText>删掉的字</w:delText></w:r></w:del>",
                      numbered);
    body += paragraph(run("A．x  B．y"));
    body += paragraph(run("四、填空题"));
    body += paragraph(run("3．面积公式 ") + "<m:oMath><m:r><m:t>S=πr</m:t></m:r><m:sSup><m:e><m:r><m:t></m:t></m:r></m:e>"
                      "<m:sup><m:r><m:t>2</m:t></m:r></m:sup></m:sSup></m:oMath>" + run("中 π 是") +
                      run("      ", "<w:u w:val=\"single\"/>") + run("。"));
    body += paragraph(run("答案：圆周率"));
    body += paragraph(run("参考答案"));
    body += paragraph(run("一、单项选择题"));
    body += paragraph(run("1-2 BA"));
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document "
           "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
           "xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/2006/math\" "
           "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
           "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
           "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>"
        + body + "</w:body></w:document>";
}

QByteArray wordFile()
{
    const QByteArray numbering =
        "<w:numbering xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:abstractNum "
        "w:abstractNumId=\"3\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/><w:lvlText "
        "w:val=\"%1．\"/></w:lvl></w:abstractNum><w:num w:numId=\"7\"><w:abstractNumId w:val=\"3\"/></w:num></w:numbering>";
    const QByteArray relations =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
        "Id=\"rIdPic\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" "
        "Target=\"media/image1.png\"/></Relationships>";
    return zipOf({{"[Content_Types].xml", "<Types/>"},
                  {"word/document.xml", wordDocument()},
                  {"word/numbering.xml", numbering},
                  {"word/_rels/document.xml.rels", relations},
                  {"word/media/image1.png", pngPicture()}});
}

// The right answer of a question as its page reports it.
QString rightAnswer(const ExamQuestion &q)
{
    if (q.type == ExamQuestion::FillIn) {
        QStringList first;
        for (const QStringList &blank : BankText::splitBlanks(q.answer))
            first << blank.value(0);
        return first.join('|');
    }
    return q.type == ExamQuestion::Essay ? QStringLiteral("A") : q.answer;
}

ImportRequest request(const QString &source, const QString &imageDir)
{
    ImportRequest r;
    r.newSubjectName = QStringLiteral("题本");
    r.paperName = QStringLiteral("题本试卷");
    r.sourceName = source;
    r.imageDir = imageDir;
    return r;
}

// Imports a bank into the fresh database, takes the paper in the exam
// window's loader with every answer right and checks it gets full marks.
void importAndMark(const ParsedBank &bank, const QString &source, const QString &folder, ImportOutcome *outcome)
{
    *outcome = BankWriter(TestSupport::database()).write(bank, request(source, folder + QStringLiteral("/img")));
    QVERIFY2(outcome->ok, qPrintable(outcome->error));
    auto paper = PaperLoader(TestSupport::database(), 0, folder + '/').loadFormalPaper(outcome->paperId);
    QVERIFY(paper->totalCent > 0);
    for (const auto &q : paper->questions) {
        if (q->type != ExamQuestion::Composite)
            AnswerRecorder::record(*paper, q->tname, rightAnswer(*q));
    }
    PaperGrader::markPaper(*paper);
    QCOMPARE(paper->wrongCount + paper->unansweredCount, 0);
    QCOMPARE(paper->score, double(paper->totalCent));
}

QString example(const QString &name)
{
    return TestSupport::sourcePath(QStringLiteral("data/examples/") + name);
}

void row(const char *name, const char *text, const QStringList &questions, const QStringList &problems = {})
{
    QTest::newRow(name) << QString::fromUtf8(text) << questions << problems;
}

} // namespace

class BookImportTest : public QObject
{
    Q_OBJECT
private slots:
    void recogniser_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QStringList>("problems"); // each the start of a problem's text
        row("single choice, options on lines, answer after",
            "一、单项选择题\n1．下列属于输出设备的是（ ）。\nA．键盘\nB．打印机\nC．鼠标\nD．扫描仪\n答案：B\n",
            {"1 下列属于输出设备的是（ ）。 [键盘;打印机;鼠标;扫描仪] =B"});
        row("heading with score sets the marks, numbering 1、 and options A、",
            "二、多选题（每题2分，共20分）\n1、安全色有\nA、红色\nB、蓝色\nC、黑色\n【答案】AB\n",
            {"2 安全色有 [红色;蓝色;黑色] =AB m2"});
        row("options on one line, by spaces and tabs",
            "单选题\n1. 首都是\nA.北京  B.上海\tC.广州 D.深圳\n正确答案：A\n",
            {"1 首都是 [北京;上海;广州;深圳] =A"});
        row("options on the stem's line, half-width brackets, A)",
            "一、单选题\n1) 下列正确的是（ ） A) 甲 B) 乙\n答案：A\n",
            {"1 下列正确的是（ ） [甲;乙] =A"});
        row("(A) options and the answer in the stem's brackets",
            "一、单选题\n（1）灭火器应（ C ）检查\n(A)每年\n(B)每季\n(C)每月\n",
            {"1 灭火器应（　　）检查 [每年;每季;每月] =C"});
        row("true/false by words, signs and brackets",
            "三、判断题\n1．电气设备着火可用水扑救。（×）\n2．安全帽应系好下颏带。\n答案：对\n3．第三句\n参考答案：√\n"
            "4．第四句\n答案：错误\n",
            {"3 电气设备着火可用水扑救。（　　） =B", "3 安全帽应系好下颏带。 =A", "3 第三句 =A", "3 第四句 =B"});
        row("fill-in blanks by underscores and empty brackets, answers by the book's separators",
            "四、填空题\n1．计算机由____和____组成。\n答案：硬件；软件\n2．三原色是（  ）、（ ）、（）。\n"
            "答案：红、绿、蓝\n3．PDCA 的 A 是____。\n答案：处理\n4．两空____和____\n答案：甲 乙\n",
            {"4 计算机由______和______组成。 =硬件|软件", "4 三原色是______、______、______。 =红|绿|蓝",
             "4 PDCA 的 A 是______。 =处理", "4 两空______和______ =甲|乙"});
        row("essay with a reference answer over lines and an explanation",
            "五、简答题\n1．简述三级教育。\n参考答案：\n公司级、车间级、班组级。\n每级都要考核。\n解析：见教材。\n",
            {"5 简述三级教育。 #参考答案：公司级、车间级、班组级。<br/>每级都要考核。<br/>见教材。"});
        row("explanations in every form, over lines",
            "单选题\n1．题一\nA．甲\nB．乙\n答案：A\n解析：第一行\n第二行\n2．题二\nA．甲\nB．乙\n【答案】B【解析】同行解析\n"
            "3．题三\nA．甲\nB．乙\n答案：A\n答案解析：第三种\n",
            {"1 题一 [甲;乙] =A #第一行<br/>第二行", "1 题二 [甲;乙] =B #同行解析", "1 题三 [甲;乙] =A #第三种"});
        row("numbering styles mixed: 第1题, 1), full-width digits",
            "单选题\n第1题 甲\nA.1\nB.2\n答案：A\n2) 乙\nA.1\nB.2\n答案：B\n３．丙\nＡ．１\nＢ．２\n答案：Ｂ\n",
            {"1 甲 [1;2] =A", "1 乙 [1;2] =B", "1 丙 [１;２] =B"});
        row("answer key at the end, ranges by section",
            "一、单项选择题\n1．甲\nA.x\nB.y\n2．乙\nA.x\nB.y\n二、判断题\n1．丙\n2．丁\n参考答案\n一、单项选择题\n1-2 BA\n"
            "二、判断题\n1-2 √×\n",
            {"1 甲 [x;y] =B", "1 乙 [x;y] =A", "3 丙 =A", "3 丁 =B"});
        row("answer key as numbered entries and an inline key line",
            "单选题\n1．甲\nA.x\nB.y\n2．乙\nA.x\nB.y\n3．丙\nA.x\nB.y\n答案：1．A 2．B 3．A\n",
            {"1 甲 [x;y] =A", "1 乙 [x;y] =B", "1 丙 [x;y] =A"});
        row("key without headings follows the sections as numbers start again",
            "单选题\n1．甲\nA.x\nB.y\n多选题\n1．乙\nA.x\nB.y\n答案\n1．B\n1．AB\n",
            {"1 甲 [x;y] =B", "2 乙 [x;y] =AB"});
        row("key of fill-in and essay texts with explanations",
            "填空题\n1．甲是____\n简答题\n2．说说乙\n参考答案\n1．丙\n2．丁\n戊\n解析：己\n",
            {"4 甲是______ =丙", "5 说说乙 #参考答案：丁<br/>戊<br/>己"});
        row("case study: material and parts of any type",
            "六、案例分析题\n1．某厂发生火灾。\n（1）首先应（ ）\nA．报警\nB．逃跑\n答案：A\n（2）应急预案应定期演练。\n答案：√\n"
            "（3）简述原因。\n答案：违章作业。\n2．另一案例\n（1）是否正确？\n答案：错\n",
            {"6 某厂发生火灾。 {1 首先应（ ） [报警;逃跑] =A / 3 应急预案应定期演练。 =A / 5 简述原因。 #参考答案：违章作业。}",
             "6 另一案例 {3 是否正确？ =B}"});
        row("material opened by its word in any section",
            "单选题\n材料：某公司有员工100人。\n阅读后回答：\n1．员工有多少？\nA．100\nB．200\n答案：A\n"
            "2．是否需要专职安全员？\n答案：是\n",
            {"6 某公司有员工100人。<br/>阅读后回答： {1 员工有多少？ [100;200] =A / 3 是否需要专职安全员？ =A}"});
        row("reading prompt opens a material",
            "阅读下面的材料，回答问题。\n某地发生事故。\n（1）事故等级？\nA．一般\nB．较大\n答案：B\n",
            {"6 阅读下面的材料，回答问题。<br/>某地发生事故。 {1 事故等级？ [一般;较大] =B}"});
        row("chapters between questions",
            "一、法律法规\n1．甲\nA.x\nB.y\n答案：A\n二、安全技术\n2．乙\nA.x\nB.y\n答案：B\n",
            {"1 甲 [x;y] =A c法律法规", "1 乙 [x;y] =B c安全技术"});
        row("numbered points inside an essay answer stay in the answer",
            "简答题\n1．说说。\n答案：\n1．第一点\n3．第三点\n2．下一题\n答案：略\n",
            {"5 说说。 #参考答案：1．第一点<br/>3．第三点", "5 下一题 #参考答案：略"});
        row("type told by the question when no heading says it",
            "1．甲\nA.x\nB.y\nC.z\n答案：AC\n2．乙\n答案：√\n3．丙____\n答案：丁\n",
            {"2 甲 [x;y;z] =AC", "3 乙 =A", "4 丙______ =丁"});
        row("title and stray lines are listed, not guessed",
            "安全员考试题库\n单选题\n1．甲\nA.x\nB.y\n答案：A\n",
            {"1 甲 [x;y] =A"}, {"1 note: 不是题目的一部分"});
        row("choice without an answer, answer not an option, two answers to a single",
            "单选题\n1．甲\nA.x\nB.y\n2．乙\nA.x\nB.y\n答案：C\n3．丙\nA.x\nB.y\n答案：AB\n4．丁\nA.x\nB.y\n答案：A\n",
            {"1 丁 [x;y] =A"},
            {"2: 选择题没有答案", "8: 答案“C”不是这道题的选项", "12: 单选题只能有一个答案"});
        row("choice with one option, fill-in with answers that cannot be split, case without parts",
            "单选题\n1．甲\nA.x\n答案：A\n填空题\n2．乙____丙____\n答案：丁\n材料：戊\n",
            {}, {"2: 单选题至少要有两个选项", "7: 题干有2个空", "8: 材料后面没有小题"});
        row("no type, no options, no answer",
            "1．甲\n2．乙\nA.x\nB.y\n答案：A\n",
            {"1 乙 [x;y] =A"}, {"1: 看不出题型"});
        row("key range of the wrong length",
            "单选题\n1．甲\nA.x\nB.y\n2．乙\nA.x\nB.y\n答案：1-2 A\n",
            {}, {"2: 选择题没有答案", "5: 选择题没有答案", "8: 答案“A”的个数与题号1–2不符"});
        row("nothing that is a question", "只是一段话。\n", {},
            {"1 note: 不是题目的一部分", "0: 没有认出任何题目"});
    }

    void recogniser()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, questions);
        QFETCH(QStringList, problems);
        const ParsedBank bank = BookRecogniser::recogniseText(text);
        QCOMPARE(describeAll(bank), questions);
        const QStringList found = ::problems(bank);
        QCOMPARE(found.size(), problems.size());
        for (int i = 0; i < found.size(); ++i)
            QVERIFY2(found.at(i).startsWith(problems.at(i)), qPrintable(found.join('\n')));
    }

    void richLines_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("questions");
        QTest::newRow("formatting and pictures stay with their piece")
            << QStringLiteral("单选题|1．<b>水</b>的化学式是 H<sub>2</sub>O？|A．<img src=\"/a.png\"/> 图一　B．<i>斜体</i>|答案：A")
            << QStringList{"1 <b>水</b>的化学式是 H<sub>2</sub>O？ [<img src=\"/a.png\"/> 图一;<i>斜体</i>] =A"};
        QTest::newRow("a tag across the number is kept balanced")
            << QStringLiteral("单选题|<b>1．粗体题干</b>|A．x|B．y|答案：B")
            << QStringList{"1 <b>粗体题干</b> [x;y] =B"};
        QTest::newRow("entities count as one character")
            << QStringLiteral("填空题|1．a &lt; b 时____|答案：&amp;")
            << QStringList{"4 a &lt; b 时______ =&"};
    }

    void richLines()
    {
        QFETCH(QString, html);
        QFETCH(QStringList, questions);
        QVector<RichLine> lines;
        for (const QString &line : html.split('|'))
            lines << RichLine::fromHtml(line, lines.size() + 1);
        const ParsedBank bank = BookRecogniser::recognise(lines, QStringLiteral("docx"));
        QCOMPARE(describeAll(bank), questions);
        QCOMPARE(bank.errorCount(), 0);
    }

    void detection_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("format");
        QTest::newRow("word by the part it holds") << QByteArray("PK\x03\x04....word/document.xml") << "a.zip" << "docx";
        QTest::newRow("a workbook stays a workbook") << QByteArray("PK\x03\x04....xl/workbook.xml") << "a.xlsx" << "xlsx";
        QTest::newRow("pdf") << QByteArray("%PDF-1.4\n") << "a" << "pdf";
        QTest::newRow("old word") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1rest") << "a.doc" << "doc";
        QTest::newRow("wps by its name") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1rest") << "a.WPS" << "wps";
        QTest::newRow("book text") << QString::fromUtf8("一、单选题\n1．甲\nA．x\nB．y\n答案：A\n").toUtf8() << "" << "book";
        QTest::newRow("book text in GB18030")
            << QTextCodec::codecForName("GB18030")->fromUnicode(QString::fromUtf8("1．甲\n答案：对\n")) << "" << "book";
        QTest::newRow("aiken stays aiken") << QByteArray("1. Q\nA. a\nB. b\nANSWER: A") << "" << "aiken";
        QTest::newRow("any other .txt is read as a book") << QByteArray("just text") << "a.txt" << "book";
    }

    void detection()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QString, format);
        QCOMPARE(BankFile::detectFormat(bytes, name), format);
    }

    void wordEndToEnd()
    {
        const ParsedBank bank = BankFile::parse(wordFile(), BankFile::detectFormat(wordFile(), QStringLiteral("b.docx")));
        QCOMPARE(bank.format, QStringLiteral("docx"));
        QCOMPARE(bank.errorCount(), 0);
        QCOMPARE(bank.images.size(), 1);
        const QString picture = bank.images.first().name;
        QVERIFY(picture.startsWith(QStringLiteral("imp-")) && picture.endsWith(QStringLiteral(".png")));
        QCOMPARE(describeAll(bank),
                 (QStringList{QStringLiteral("1 水的化学式是 H<sub>2</sub>O 的是（ ）<img src=\"/%1\"/> "
                                             "[&lt;b&gt;甲&lt;/b&gt;;乙] =B #<i>见图</i>").arg(picture),
                              QStringLiteral("1 第二题 [x;y] =A"),
                              QStringLiteral("4 面积公式 S=πr^2中 π 是______。 =圆周率")}));

        Db db;
        QTemporaryDir folder;
        ImportOutcome outcome;
        importAndMark(bank, QStringLiteral("b.docx"), folder.path(), &outcome);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("img/")) + picture));
        // Read again, the same document changes nothing: its questions keep their keys.
        const ImportCounts again = BankWriter(database()).plan(bank, request(QStringLiteral("b.docx"), folder.path()));
        QCOMPARE(again.unchanged, 3);
        QCOMPARE(again.added + again.changed + again.gone, 0);
    }

    // Older documents place pictures as VML; a picture alone in an option is the option.
    void wordPictureInOption()
    {
        const QByteArray document =
            "<w:document xmlns:w=\"w\" xmlns:v=\"v\" xmlns:r=\"r\"><w:body>" + paragraph(run("1．哪个是图？"))
            + paragraph(run("A．") + "<w:r><w:pict><v:shape><v:imagedata r:id=\"rIdOld\"/></v:shape></w:pict></w:r>")
            + paragraph(run("B．文字")) + paragraph(run("答案：A"))
            + "</w:body></w:document>";
        const ParsedBank bank = BankFile::parse(
            zipOf({{"word/document.xml", document},
                   {"word/_rels/document.xml.rels",
                    "<Relationships><Relationship Id=\"rIdOld\" Target=\"media/old.png\"/></Relationships>"},
                   {"word/media/old.png", pngPicture()}}),
            QStringLiteral("docx"));
        QCOMPARE(bank.images.size(), 1);
        QCOMPARE(describeAll(bank),
                 QStringList{QStringLiteral("1 哪个是图？ [<img src=\"/%1\"/>;文字] =A").arg(bank.images.first().name)});
    }

    void damagedWord_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        QTest::newRow("not a zip") << QByteArray("PK\x03\x04word/ and nothing else") << "不是 Word";
        QTest::newRow("no document part") << zipOf({{"word/styles.xml", "<x/>"}}) << "缺少 word/document.xml";
        QTest::newRow("broken XML")
            << zipOf({{"word/document.xml", "<w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:t>1．甲</w:t>"}})
            << "word/document.xml 有错";
        QByteArray huge(DocxReader::largestPart + 1, ' ');
        QTest::newRow("a part larger than 64 MiB expanded")
            << zipOf({{"word/document.xml", huge}}) << "展开后超过 64 MB";
    }

    void damagedWord()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        const ParsedBank bank = BankFile::parse(bytes, QStringLiteral("docx"));
        QVERIFY(bank.errorCount() > 0);
        QVERIFY2(problems(bank).join('\n').contains(problem), qPrintable(problems(bank).join('\n')));
    }

    void pastedTextInTheDialog()
    {
        Db db(TestSupport::sampleBankSql());
        QTemporaryDir folder;
        ImportDialog dialog(QString(), database(), folder.filePath(QStringLiteral("img")));
        QVERIFY(!dialog.importButton->isEnabled());
        dialog.sourceTabs->setCurrentIndex(1);
        dialog.pasteEdit->setPlainText(QString::fromUtf8("一、单选题\n1．甲\nA．x  B．y\n答案：B\n二、判断题\n1．乙（√）\n2．丙\n"));
        dialog.recognisePaste();
        QCOMPARE(dialog.typesLabel->text(), QString::fromUtf8("单选 1 · 判断 1"));
        QVERIFY2(dialog.questionsView->toPlainText().contains(QString::fromUtf8("［单选］甲　答案：B")),
                 qPrintable(dialog.questionsView->toPlainText()));
        QVERIFY(dialog.problemsView->toPlainText().contains(QString::fromUtf8("判断题没有答案")));
        QVERIFY(!dialog.importButton->isEnabled());
        dialog.skipBadBox->setChecked(true);
        dialog.subjectBox->setEditText(QString::fromUtf8("粘贴科目"));
        dialog.paperEdit->setText(QString::fromUtf8("我的练习"));
        QVERIFY(dialog.importButton->isEnabled());
        dialog.importButton->click();
        QVERIFY2(dialog.outcome.ok, qPrintable(dialog.outcome.error));
        QCOMPARE(Db::scalar(QStringLiteral("select count(*) from exam_question where subjectid='%1'")
                                .arg(dialog.outcome.subjectId)), 2);

        // Pasted again under the same name, mended: the same paper, updated.
        ImportDialog again(QString(), database(), folder.filePath(QStringLiteral("img")));
        again.sourceTabs->setCurrentIndex(1);
        again.subjectBox->setEditText(QString::fromUtf8("粘贴科目"));
        again.paperEdit->setText(QString::fromUtf8("我的练习"));
        again.pasteEdit->setPlainText(QString::fromUtf8("一、单选题\n1．甲\nA．x  B．y\n答案：B\n二、判断题\n1．乙（√）\n2．丙\n答案：错\n"));
        again.recognisePaste();
        QVERIFY2(again.changesLabel->text().contains(QString::fromUtf8("新增 1，修改 0，未变 2")),
                 qPrintable(again.changesLabel->text()));
        again.importButton->click();
        QVERIFY(again.outcome.ok);
        QCOMPARE(again.outcome.paperId, dialog.outcome.paperId);
    }

    void exampleFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("text") << "题库示例.txt";
        QTest::newRow("word") << "题库示例.docx";
        QTest::newRow("pdf") << "题库示例.pdf";
    }

    // The shipped examples read alike and are imported and marked whole.
    void exampleFiles()
    {
        QFETCH(QString, file);
        if (file.endsWith(QLatin1String(".pdf")) && BookConverter::pdfText().isEmpty())
            QSKIP("pdftotext is not installed (Debian package poppler-utils)");
        if (!QFileInfo::exists(example(file)))
            QSKIP("the PDF example was not made (tools/make_book_example needs LibreOffice or tessera_bookpdf)");
        const ParsedBank bank = BankFile::read(example(file));
        QVERIFY2(bank.errorCount() == 0, qPrintable(problems(bank).join('\n')));
        QCOMPARE(bank.countsByType(), (QVector<int>{0, 8, 4, 5, 3, 3, 2}));
        const ParsedBank text = BankFile::read(example(QStringLiteral("题库示例.txt")));
        QStringList plain;
        QStringList expected;
        for (int i = 0; i < bank.questions.size(); ++i) {
            plain << BankText::htmlToPlain(describe(bank.questions.at(i))).remove(' ');
            expected << BankText::htmlToPlain(describe(text.questions.value(i))).remove(' ');
        }
        if (file.endsWith(QLatin1String(".txt")) || file.endsWith(QLatin1String(".pdf")))
            QCOMPARE(plain, expected);
        Db db;
        QTemporaryDir folder;
        ImportOutcome outcome;
        importAndMark(bank, file, folder.path(), &outcome);
    }

    void convertedWord()
    {
        if (BookConverter::office().isEmpty())
            QSKIP("LibreOffice is not installed (Debian package libreoffice-writer)");
        QTemporaryDir folder;
        QFile::copy(example(QStringLiteral("题库示例.docx")), folder.filePath(QStringLiteral("in.docx")));
        QProcess office;
        office.setWorkingDirectory(folder.path());
        office.start(BookConverter::office(), {"-env:UserInstallation=file://" + folder.filePath("profile"), "--headless",
                                               "--convert-to", "doc", "--outdir", folder.path(), folder.filePath("in.docx")});
        QVERIFY(office.waitForFinished(180000));
        const ParsedBank bank = BankFile::read(folder.filePath(QStringLiteral("in.doc")));
        QCOMPARE(bank.format, QStringLiteral("doc"));
        QVERIFY2(bank.errorCount() == 0, qPrintable(problems(bank).join('\n')));
        // The same questions with the same answers as the Word file it was made from.
        const ParsedBank word = BankFile::read(example(QStringLiteral("题库示例.docx")));
        QCOMPARE(bank.countsByType(), word.countsByType());
        for (int i = 0; i < bank.questions.size(); ++i) {
            QCOMPARE(BankText::htmlToPlain(describe(bank.questions.at(i))).remove(' '),
                     BankText::htmlToPlain(describe(word.questions.value(i))).remove(' '));
        }
    }

    void missingConverterIsNamed_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("package");
        QTest::newRow("pdf") << "pdf" << "poppler-utils";
        QTest::newRow("doc") << "doc" << "libreoffice-writer";
        QTest::newRow("wps") << "wps" << "libreoffice-writer";
    }

    void missingConverterIsNamed()
    {
        QFETCH(QString, format);
        QFETCH(QString, package);
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", empty.path().toLocal8Bit());
        const ParsedBank bank = BankFile::parse("%PDF-1.4 nothing", format);
        qputenv("PATH", path);
        QCOMPARE(bank.errorCount(), 1);
        QVERIFY2(bank.problems.first().reason.contains(package), qPrintable(bank.problems.first().reason));
    }

    // Damaged Word documents: a mutated document.xml never crashes the reader,
    // and whatever it makes of it is a bank the writer can take.
    void wordFuzz()
    {
        const QString document = QString::fromUtf8(wordDocument());
        const QStringList tokens{"<w:p>", "</w:p>", "<w:r>", "<w:t>", "</w:t>", "<w:br/>", "<w:tc>", "<m:oMath>",
                                 "<a:blip r:embed=\"rIdPic\"/>", "<v:imagedata r:id=\"nothing\"/>", "<w:numId w:val=\"7\"/>",
                                 "<w:ilvl w:val=\"9\"/>", "<w:delText>", "&amp;", "&#0;", "1．", "A．", "答案："};
        TestSupport::SeededFuzz fuzz(300, 4000);
        while (fuzz.next()) {
            const QString mutated = fuzz.mutate(document, tokens);
            const QByteArray bytes = zipOf({{"word/document.xml", mutated.toUtf8()},
                                            {"word/_rels/document.xml.rels",
                                             "<Relationships><Relationship Id=\"rIdPic\" Target=\"media/p.png\"/></Relationships>"},
                                            {"word/media/p.png", pngPicture()}});
            const ParsedBank bank = BankFile::parse(bytes, QStringLiteral("docx"));
            for (const BankQuestion &q : bank.questions)
                QVERIFY2(q.type >= BankQuestion::SingleChoice && q.type <= BankQuestion::CaseStudy,
                         qPrintable(fuzz.describe(mutated)));
        }
    }

    void recogniserFuzz()
    {
        const QString seed = QString::fromUtf8(
            "一、单项选择题（每题2分）\n1．甲（ B ）\nA．x B．y\n答案：B\n解析：z\n三、判断题\n2．乙（√）\n四、填空题\n3．丙____\n"
            "答案：丁；戊\n六、案例分析题\n4．材料\n（1）问\n答案：略\n参考答案\n1-3 BA√\n");
        const QStringList tokens{"\n", "1．", "（1）", "A．", "B、", "(C)", "答案：", "【解析】", "参考答案", "1-5 ",
                                 "ABCDA", "√", "×", "____", "（ ）", "材料：", "一、单选题", "六、案例分析题", "第1题",
                                 "<b>", "&amp;", "\t", "　"};
        TestSupport::SeededFuzz fuzz(3000, 4000);
        while (fuzz.next()) {
            const QString input = fuzz.chance(50) ? fuzz.mutate(seed, tokens) : fuzz.text(60, tokens);
            const ParsedBank bank = BookRecogniser::recogniseText(input);
            for (const BankQuestion &q : bank.questions) {
                QVERIFY2(q.type >= BankQuestion::SingleChoice && q.type <= BankQuestion::CaseStudy,
                         qPrintable(fuzz.describe(input)));
                if (q.type == BankQuestion::SingleChoice || q.type == BankQuestion::MultipleChoice)
                    QVERIFY2(q.optionsHtml.size() >= 2 && q.optionsHtml.size() <= 5 && !q.answerLetters.isEmpty(),
                             qPrintable(fuzz.describe(input)));
                if (q.type == BankQuestion::FillIn)
                    QVERIFY2(BankText::countBlankMarks(q.stemHtml) == q.blanks.size(), qPrintable(fuzz.describe(input)));
            }
            QVector<RichLine> lines;
            for (const QString &line : input.split('\n'))
                lines << RichLine::fromHtml(line, lines.size() + 1);
            BookRecogniser::recognise(lines, QStringLiteral("docx"));
        }
    }
};

TESSERA_TEST_MAIN(BookImportTest)
#include "tst_bookimport.moc"
