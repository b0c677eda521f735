#include "testsupport.h"

#include "exampaper.h"
#include "blankanswer.h"
#include "examquestion.h"
#include "dbconnection.h"
#include "keywordhighlight.h"
#include "pagetext.h"
#include "pageview.h"
#include "papersection.h"
#include "sectionrendering.h"

#include <QApplication>
#include <QRegularExpression>
#include <QSqlQuery>

namespace {

const QString appDir = QStringLiteral("/opt/app/");

std::unique_ptr<PaperSection> makeSection(int row, const QString &bname,
                                          const QString &captionName = QString(),
                                          const QString &id = QStringLiteral("s1"))
{
    auto section = std::make_unique<PaperSection>();
    section->row = row;
    section->bname = bname;
    section->captionName = captionName;
    section->id = id;
    return section;
}

ExamQuestion makeQuestion(int type, int seq, int optionLength)
{
    ExamQuestion q;
    q.type = type;
    q.seq = seq;
    q.number = seq;
    q.optionLength = optionLength;
    q.title = QStringLiteral("Stem");
    q.option1 = QStringLiteral("one<br/>");
    q.option2 = QStringLiteral("two<br/>");
    q.option3 = QStringLiteral("three<br/>");
    q.option4 = QStringLiteral("four<br/>");
    q.option5 = QStringLiteral("five<br/>");
    q.answer = QStringLiteral("A");
    return q;
}

int occurrences(const QString &text, const QString &part)
{
    return text.count(part);
}

// Removes the keyword marks so that a highlighted fragment can be compared
// with the plain one.
QString withoutMarks(QString html, const QString &keyword)
{
    return html.replace(QStringLiteral("<font color=\"red\">") + keyword + QStringLiteral("</font>"), keyword);
}

// The directory of the test programs, where the page assets are placed.
QString binDirSlash()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

// A page like the exam window's: the page script library inline, then the
// questions.
QString questionPage(const QStringList &fragments)
{
    return TestSupport::programPage(readTextFile(QStringLiteral(":/js/mian.js")),
                                    QStringLiteral("<div class=\"text_box\">") + fragments.join(QString())
                                        + QStringLiteral("</div>"));
}

} // namespace

class RenderingTest : public QObject
{
    Q_OBJECT

private slots:
    void sectionFragments_data();
    void sectionFragments();
    void paperIntroduction_data();
    void paperIntroduction();

    void exactFragmentInFormalPaper_data();
    void exactFragmentInFormalPaper();
    void stemByMode_data();
    void stemByMode();
    void controls_data();
    void controls();
    void fileAddresses_data();
    void fileAddresses();
    void variants_data();
    void variants();
    void keywordOnlyInText_data();
    void keywordOnlyInText();
    void searchHighlightKeepsMarkup_data();
    void searchHighlightKeepsMarkup();
    void answerBlock_data();
    void answerBlock();
    void renderingAgainGivesSameIds();
    void blankAnswers_data();
    void blankAnswers();
    void practiceCaption_data();
    void practiceCaption();

    void controlsReachTheBridge_data();
    void controlsReachTheBridge();
    void sampleBankPageHasNoScriptErrors();

private:
    // Shows the page in a web view with the bridge registered as "myjstest"
    // whenever the window object is cleared, then runs the actions and keeps
    // their values in results.
    QStringList runPage(const QString &html, const QStringList &actions, QStringList *scriptErrors,
                        QStringList *results = nullptr);
};

// ---- Section fragments ---------------------------------------------------

void RenderingTest::sectionFragments_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("captionName");
    QTest::addColumn<QString>("bname");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("ordinal");

    QTest::newRow("first section")
        << 0 << QStringLiteral("单项选择题") << QStringLiteral("单选")
        << QStringLiteral("<div id=ca_\"s1\"  class=\"\" > <p>一、单项选择题</p> </div>")
        << QStringLiteral("<p><h4>第一部分：单选</h4></p>")
        << QStringLiteral("<p><h4>单选</h4></p>") << QStringLiteral("第一部分");
    QTest::newRow("empty category name")
        << 0 << QString() << QString()
        << QStringLiteral("<div id=ca_\"s1\"  class=\"\" > <p>一、</p> </div>")
        << QStringLiteral("<p><h4>第一部分：</h4></p>")
        << QStringLiteral("<p><h4></h4></p>") << QStringLiteral("第一部分");
    QTest::newRow("sixth section")
        << 5 << QStringLiteral("c") << QStringLiteral("b")
        << QStringLiteral("<div id=ca_\"s1\"  class=\"\" > <p>六、c</p> </div>")
        << QStringLiteral("<p><h4>第六部分：b</h4></p>")
        << QStringLiteral("<p><h4>b</h4></p>") << QStringLiteral("第六部分");
    QTest::newRow("seventh section has a caption only")
        << 6 << QStringLiteral("c") << QStringLiteral("b")
        << QStringLiteral("<div id=ca_\"s1\"  class=\"\" > <p>七、c</p> </div>")
        << QString() << QString() << QString();
    QTest::newRow("eighth section uses the last ordinal")
        << 7 << QStringLiteral("c") << QStringLiteral("b")
        << QStringLiteral("<div id=ca_\"s1\"  class=\"\" > <p>八、c</p> </div>")
        << QString() << QString() << QString();
    QTest::newRow("row beyond the ordinals") << 8 << QStringLiteral("c") << QStringLiteral("b")
        << QString() << QString() << QString() << QString();
    QTest::newRow("negative row") << -1 << QStringLiteral("c") << QStringLiteral("b")
        << QString() << QString() << QString() << QString();
    QTest::newRow("markup passes unchanged")
        << 1 << QStringLiteral("<i>x</i>") << QStringLiteral("<b>y</b>")
        << QStringLiteral("<div id=ca_\"s1\"  class=\"\" > <p>二、<i>x</i></p> </div>")
        << QStringLiteral("<p><h4>第二部分：<b>y</b></h4></p>")
        << QStringLiteral("<p><h4><b>y</b></h4></p>") << QStringLiteral("第二部分");
}

void RenderingTest::sectionFragments()
{
    QFETCH(int, row);
    QFETCH(QString, captionName);
    QFETCH(QString, bname);
    const auto section = makeSection(row, bname, captionName);

    QTEST(sectionCaptionBlock(*section), "caption");
    QTEST(sectionHeading(*section), "heading");
    QTEST(sectionHeadingPlain(*section), "plain");
    QTEST(sectionOrdinal(*section), "ordinal");
    QFETCH(QString, ordinal);
    QCOMPARE(sectionTitle(*section), ordinal.isEmpty() ? QString() : bname);
}

void RenderingTest::paperIntroduction_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("expected");

    const QString h1 = QStringLiteral("<p><h4>第一部分：n</h4></p>");
    const QString h2 = QStringLiteral("<p><h4>第二部分：n</h4></p>");
    const QString h3 = QStringLiteral("<p><h4>第三部分：n</h4></p>");
    QString sixHeadings;
    for (const QString &o : {"一", "二", "三", "四", "五", "六"})
        sixHeadings += QStringLiteral("<p><h4>第") + o + QStringLiteral("部分：n</h4></p>");

    QTest::newRow("no sections") << QList<int>() << QString();
    QTest::newRow("one section")
        << QList<int>{0} << QStringLiteral("<p><h2>本试卷共有一部分组成</h2></p>") + h1;
    QTest::newRow("three sections")
        << QList<int>{0, 1, 2} << QStringLiteral("<p><h2>本试卷共有三部分组成</h2></p>") + h1 + h2 + h3;
    QTest::newRow("six sections")
        << QList<int>{0, 1, 2, 3, 4, 5} << QStringLiteral("<p><h2>本试卷共有六部分组成</h2></p>") + sixHeadings;
    QTest::newRow("seven sections: no count line, six headings")
        << QList<int>{0, 1, 2, 3, 4, 5, 6} << sixHeadings;
    QTest::newRow("the row chooses the ordinal, not the position")
        << QList<int>{2, 0} << QStringLiteral("<p><h2>本试卷共有二部分组成</h2></p>") + h3 + h1;
}

void RenderingTest::paperIntroduction()
{
    QFETCH(QList<int>, rows);
    ExamPaper paper;
    for (int row : rows)
        paper.addSection(makeSection(row, QStringLiteral("n")));
    QTEST(::paperIntroduction(paper), "expected");
}

// ---- Question fragments --------------------------------------------------

void RenderingTest::exactFragmentInFormalPaper_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("answerHtml");
    QTest::addColumn<QString>("tname");
    QTest::addColumn<QStringList>("optionIds");
    QTest::addColumn<QString>("cardId");

    const QString bar = QStringLiteral(
        R"(<div id="div_ti3_1" name="button_x"  >  <div class="keep_bar">)");
    const QString barEnd = QStringLiteral(R"(</div> <div style="clear:both"> </div> </div>)");
    const QString result = QStringLiteral(
        R"(<span class="right_bar"> <span id="div_ti3R_W" ></span></span> </div> )");
    const QString answer = QStringLiteral(
        R"(<div id="div_da3" name="jiexi"  class="show_an" style="display:none" > <b>答案：A</b><br/>解析：Why</div></div>)");
    const QString stem = QStringLiteral(R"(<div id="div_ti3"  class="content"> <p>3.&nbsp;Stem</p> )");
    const QString options = QStringLiteral(R"(<div id="p_div_ti3" class="option"> )");

    QTest::newRow("single choice") << 1
        << stem + QStringLiteral(R"(<input type='hidden' id='hdan_3' value='B'/>)") + options
           + QStringLiteral(R"(<input type="button"  id="ti1_3_0" name="dan_3"onclick="setdanxuan('ti1_3_0','hdan_3','A');" value="A.&nbsp;" class="button_01" /> <label for="ti1_3_0" >&nbsp;one<br/></label>)")
           + QStringLiteral(R"(<input type="button"  id="ti1_3_1" name="dan_3"onclick="setdanxuan('ti1_3_1','hdan_3','B');" value="B.&nbsp;" class="button_01" /> <label for="ti1_3_1" >&nbsp;two<br/></label>)")
           + result + bar + barEnd
        << answer << QStringLiteral("hdan_3")
        << QStringList{QStringLiteral("ti1_3_0"), QStringLiteral("ti1_3_1")} << QStringLiteral("sc_ti1_3_1");
    QTest::newRow("multiple choice") << 2
        << stem + QStringLiteral(R"(<input type='hidden' id='hduo_3' value='B'/>)") + options
           + QStringLiteral(R"(<input type="button"  id="ti2_3_0" name="duo_3"onclick="setduoxuan('ti2_3_0','hduo_3','A');" value="A.&nbsp;" class="button_03" /> <label for="ti2_3_0" >&nbsp;one<br/></label>)")
           + QStringLiteral(R"(<input type="button"  id="ti2_3_1" name="duo_3"onclick="setduoxuan('ti2_3_1','hduo_3','B');" value="B.&nbsp;" class="button_03" /> <label for="ti2_3_1" >&nbsp;two<br/></label>)")
           + result + bar + barEnd
        << answer << QStringLiteral("hduo_3")
        << QStringList{QStringLiteral("ti2_3_0"), QStringLiteral("ti2_3_1")} << QStringLiteral("sc_ti2_3_1");
    QTest::newRow("true or false") << 3
        << stem + QStringLiteral(R"(<input type='hidden' id='hpan_3' value='B'/>)") + options
           + QStringLiteral(R"(<input type="button"  id="ti3_3_0" name="pan_3"onclick="setpanduan('ti3_3_0','hpan_3','A');" value="A.&nbsp;" class="button_01" /> <label for="ti3_3_0" >&nbsp;one<br/></label>)")
           + QStringLiteral(R"(<input type="button"  id="ti3_3_1" name="pan_3"onclick="setpanduan('ti3_3_1','hpan_3','B');" value="B.&nbsp;" class="button_01" /> <label for="ti3_3_1" >&nbsp;two<br/></label>)")
           + result + bar + barEnd
        << answer << QStringLiteral("hpan_3")
        << QStringList{QStringLiteral("ti3_3_0"), QStringLiteral("ti3_3_1")} << QStringLiteral("sc_ti3_3_1");
    QTest::newRow("fill in: no stored text in the blanks") << 4
        << stem + options
           + QStringLiteral(R"(<input type="text"  id="ti4_3" name="kong_3" height=15 width=40 onBlur="settiankong('ti4_3','ti4_3','A');" /> )")
           + QStringLiteral(R"(<input type="text"  id="ti4_3" name="kong_3" height=15 width=40 onBlur="settiankong('ti4_3','ti4_3','B');" /> )")
           + result + bar + barEnd
        << answer << QStringLiteral("ti4_3") << QStringList() << QStringLiteral("sc_ti4_3");
    QTest::newRow("essay: hidden field always empty") << 5
        << stem + QStringLiteral(R"(<input type='hidden' id='ti5_3' value=''/>)") + options
           + QStringLiteral(R"(<textarea id="ti5_3" cols='50' rows='2' > </textarea>)")
           + QStringLiteral(R"(<p><font color="red">自评：</font> <p><input type="button" id="wen_3_01" name="wen_3" onclick="setwenda('wen_3_01','ti5_3','A');" class="button_01"/ >我会做 &nbsp;)")
           + QStringLiteral(R"(</p>   <P><input type="button" id="wen_3_02" name="wen_3" onclick="setwenda('wen_3_02','ti5_3','B');" class="button_01"/ >我不会</p>  </p>)")
           + QStringLiteral(R"(<textarea id="ti5_3" cols='50' rows='2' > </textarea>)")
           + QStringLiteral(R"(<p><font color="red">自评：</font> <p><input type="button" id="wen_3_11" name="wen_3" onclick="setwenda('wen_3_11','ti5_3','A');" class="button_01"/ >我会做 &nbsp;)")
           + QStringLiteral(R"(</p>   <P><input type="button" id="wen_3_12" name="wen_3" onclick="setwenda('wen_3_12','ti5_3','B');" class="button_01"/ >我不会</p>  </p>)")
           + result + bar + barEnd
        // An essay's answer field holds the self-assessment code: its reference answer is the explanation.
        << QStringLiteral(R"(<div id="div_da3" name="jiexi"  class="show_an" style="display:none" > <b>参考答案：</b>Why</div></div>)")
        << QStringLiteral("ti5_3")
        << QStringList{QStringLiteral("wen_3_0"), QStringLiteral("wen_3_1")} << QStringLiteral("sc_wen_3_1");
    QTest::newRow("composite: stem only, never numbered") << 6
        << QStringLiteral(R"(<div id="div_ti3"  class="content"> <p>Stem</p> </div> )")
        << QString() << QStringLiteral("ti6_3") << QStringList() << QString();
}

void RenderingTest::exactFragmentInFormalPaper()
{
    QFETCH(int, type);
    ExamQuestion q = makeQuestion(type, 3, 2);
    q.userAnswer = QStringLiteral("B");
    q.analysis = QStringLiteral("Why");
    q.render(ExamQuestion::FormalPaper, appDir, QString());

    QTEST(q.html, "html");
    QTEST(q.answerHtml, "answerHtml");
    QTEST(q.tname, "tname");
    QTEST(q.optionIds, "optionIds");
    QTEST(q.cardId, "cardId");
    QCOMPARE(q.focusId, QStringLiteral("div_ti3"));
    QCOMPARE(q.explainId, QStringLiteral("div_da3"));
    if (type != ExamQuestion::Composite) {
        QCOMPARE(q.resultId, QStringLiteral("div_ti3R_W"));
        QCOMPARE(q.barId, QStringLiteral("div_ti3_1"));
    }
}

void RenderingTest::stemByMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("material");
    QTest::addColumn<QString>("highlight");
    QTest::addColumn<QString>("stem");

    const QString m = QStringLiteral("Shared <b>case</b>");
    QTest::newRow("formal, wrong answer in red")
        << 0 << 1 << 1 << QString() << QString()
        << QStringLiteral(R"(<div id="div_ti3"  class="content"> <p><font color="red">3.&nbsp;Stem</font></p> )");
    QTest::newRow("formal, right answer not red")
        << 0 << 1 << 0 << QString() << QString()
        << QStringLiteral(R"(<div id="div_ti3"  class="content"> <p>3.&nbsp;Stem</p> )");
    QTest::newRow("formal, composite never red")
        << 0 << 6 << 1 << QString() << QString()
        << QStringLiteral(R"(<div id="div_ti3"  class="content"> <p>Stem</p> )");
    QTest::newRow("formal hides the material")
        << 0 << 1 << 2 << m << QString()
        << QStringLiteral(R"(<div id="div_ti3"  class="content"> <p>3.&nbsp;Stem</p> )");
    QTest::newRow("wrong practice, not red, with material")
        << 3 << 1 << 1 << m << QString()
        << QStringLiteral(R"(<div id="div_ti3" class="content"> <p>3.&nbsp;Shared <b>case</b><br>Stem</p> )");
    QTest::newRow("wrong practice numbers a composite")
        << 3 << 6 << 2 << QString() << QString()
        << QStringLiteral(R"(<div id="div_ti3" class="content"> <p>3.&nbsp;Stem</p> )");
    QTest::newRow("wrong practice never marks a search word")
        << 3 << 1 << 2 << m << QStringLiteral("te")
        << QStringLiteral(R"(<div id="div_ti3" class="content"> <p>3.&nbsp;Shared <b>case</b><br>Stem</p> )");
    QTest::newRow("favourites, not red")
        << 5 << 2 << 1 << QString() << QString()
        << QStringLiteral(R"(<div id="div_ti3" class="content"> <p>3.&nbsp;Stem</p> )");
    QTest::newRow("favourites mark the word in the stem, not in markup")
        << 5 << 1 << 2 << m << QStringLiteral("b")
        << QStringLiteral(R"(<div id="div_ti3" class="content"> <p>3.&nbsp;Shared <b>case</b><br>Stem</p> )");
    QTest::newRow("favourites mark a word of the stem")
        << 5 << 1 << 2 << QString() << QStringLiteral("te")
        << QStringLiteral(R"(<div id="div_ti3" class="content"> <p>3.&nbsp;S<font color="red">te</font>m</p> )");
}

void RenderingTest::stemByMode()
{
    QFETCH(int, mode);
    QFETCH(int, type);
    QFETCH(int, status);
    QFETCH(QString, material);
    QFETCH(QString, highlight);
    QFETCH(QString, stem);
    ExamQuestion q = makeQuestion(type, 3, 2);
    q.status = status;
    q.material = material;
    q.option1 = QStringLiteral("text with te in it");
    q.render(mode, appDir, highlight);

    QVERIFY2(q.html.startsWith(stem), qPrintable(q.html));
    // The options of the exam window are never marked.
    QVERIFY(!q.html.mid(stem.size()).contains(QStringLiteral("<font")));
}

void RenderingTest::controls_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("optionLength");
    QTest::addColumn<QStringList>("labels");     // letters drawn, in order
    QTest::addColumn<int>("optionIdCount");
    QTest::addColumn<QString>("cardId");

    QTest::newRow("single choice with seven options")
        << 1 << 7 << QStringList{"A", "B", "C", "D", "E", "F"} << 7 << QStringLiteral("sc_ti1_4_6");
    QTest::newRow("multiple choice with six options")
        << 2 << 6 << QStringList{"A", "B", "C", "D", "E", "F"} << 6 << QStringLiteral("sc_ti2_4_5");
    QTest::newRow("true or false with two")
        << 3 << 2 << QStringList{"A", "B"} << 2 << QStringLiteral("sc_ti3_4_1");
    QTest::newRow("true or false with five draws three")
        << 3 << 5 << QStringList{"A", "B", "C"} << 5 << QStringLiteral("sc_ti3_4_4");
    QTest::newRow("fill in with three blanks")
        << 4 << 3 << QStringList{"A", "B", "C"} << 0 << QStringLiteral("sc_ti4_4");
    QTest::newRow("fill in beyond ten blanks continues the alphabet")
        << 4 << 12 << QStringList{"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L"} << 0
        << QStringLiteral("sc_ti4_4");
    QTest::newRow("fill in beyond the alphabet")
        << 4 << 28 << QStringList{"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N",
                                  "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "AA", "AB"}
        << 0 << QStringLiteral("sc_ti4_4");
    QTest::newRow("essay with two boxes") << 5 << 2 << QStringList{"A", "B", "A", "B"} << 2
                                          << QStringLiteral("sc_wen_4_1");
    // Questions that draw no control keep card entries of their own.
    QTest::newRow("single choice without options") << 1 << 0 << QStringList() << 0 << QStringLiteral("sc_hdan_4");
    QTest::newRow("fill in without blanks") << 4 << 0 << QStringList() << 0 << QStringLiteral("sc_ti4_4");
    QTest::newRow("negative option count") << 2 << -3 << QStringList() << 0 << QStringLiteral("sc_hduo_4");
    QTest::newRow("unknown type") << 9 << 4 << QStringList() << 0 << QStringLiteral("sc_div_ti4");
    QTest::newRow("absurd option count is bounded")
        << 1 << 2000000000 << QStringList{"A", "B", "C", "D", "E", "F"} << 64 << QStringLiteral("sc_ti1_4_63");
}

void RenderingTest::controls()
{
    QFETCH(int, type);
    QFETCH(int, optionLength);
    QFETCH(QStringList, labels);
    QFETCH(int, optionIdCount);
    QFETCH(QString, cardId);
    ExamQuestion q = makeQuestion(type, 4, optionLength);
    q.video = QStringLiteral("clip.mp4");
    q.render(ExamQuestion::FormalPaper, appDir, QString());

    // Letters in the order the handlers pass them.
    QStringList passed;
    static const QRegularExpression handler(
        QStringLiteral(R"((?:setdanxuan|setduoxuan|setpanduan|settiankong|setwenda)\('[^']*','[^']*','([A-Z]+)'\))"));
    auto it = handler.globalMatch(q.html);
    while (it.hasNext())
        passed << it.next().captured(1);
    QCOMPARE(passed, labels);

    QCOMPARE(q.optionIds.size(), optionIdCount);
    QTEST(q.cardId, "cardId");
    // The video button carries the last option id.
    const QString lastControl = labels.isEmpty() ? QString() : cardId.mid(3);
    QVERIFY(q.html.contains(QStringLiteral("id=\"sp_") + lastControl + QLatin1Char('"')));

    if (type == ExamQuestion::SingleChoice && optionLength >= 6) {
        // F has no text slot: an empty label.
        QVERIFY(q.html.contains(QStringLiteral(R"(<label for="ti1_4_5" >&nbsp;</label>)")));
        QVERIFY(!q.html.contains(QStringLiteral("id=\"ti1_4_6\"")));
    }
    if (type == ExamQuestion::FillIn) {
        QCOMPARE(occurrences(q.html, QStringLiteral("id=\"ti4_4\" name=\"kong_4\"")), labels.size());
        QVERIFY(!q.html.contains(QStringLiteral("value=")));
    }
    if (optionLength <= 0 || type > 6) {
        QVERIFY(q.html.contains(QStringLiteral(
            R"(<div id="p_div_ti4" class="option"> <span class="right_bar">)")));
    }
    QVERIFY(q.answerHtml.endsWith(QStringLiteral("</div></div>")));
}

void RenderingTest::fileAddresses_data()
{
    QTest::addColumn<QString>("appDirSlash");
    QTest::addColumn<QString>("video");
    QTest::addColumn<QString>("imageUrl");
    QTest::addColumn<QString>("playCall");

    QTest::newRow("directory from the root")
        << QStringLiteral("/opt/app/") << QStringLiteral("a/clip.mp4")
        << QStringLiteral("<img src=\"file:///opt/app/img/p.png\"")
        << QStringLiteral("PlayMp4('file:///opt/app/','a/clip.mp4')");
    QTest::newRow("drive letter")
        << QStringLiteral("C:/exam/") << QStringLiteral("clip.mp4")
        << QStringLiteral("<img src=\"file:///C:/exam/img/p.png\"")
        << QStringLiteral("PlayMp4('file:///C:/exam/','clip.mp4')");
    QTest::newRow("quote in the video name is escaped")
        << QStringLiteral("/opt/app/") << QStringLiteral("it's\".mp4")
        << QStringLiteral("<img src=\"file:///opt/app/img/p.png\"")
        << QStringLiteral("PlayMp4('file:///opt/app/','it\\'s\\&quot;.mp4')");
}

void RenderingTest::fileAddresses()
{
    QFETCH(QString, appDirSlash);
    QFETCH(QString, video);
    QFETCH(QString, imageUrl);
    QFETCH(QString, playCall);
    ExamQuestion q = makeQuestion(1, 2, 2);
    q.title = QStringLiteral("See <img src=\"/p.png\"/> and <img src=\"/p.png\"/>");
    q.option1 = QStringLiteral("<img src=\"/p.png\"/>");
    q.analysis = QStringLiteral("<img src=\"/p.png\"/>");
    q.video = video;

    for (int variant = 0; variant < 3; ++variant) {
        if (variant == 0)
            q.render(ExamQuestion::FormalPaper, appDirSlash, QString());
        else if (variant == 1)
            q.renderLeaf(ExamQuestion::FormalPaper, appDirSlash, QString());
        else
            q.renderSearch(ExamQuestion::FavouritePractice, appDirSlash, QStringLiteral("img"));
        QCOMPARE(occurrences(q.html, imageUrl), 3);
        QCOMPARE(occurrences(q.answerHtml, imageUrl), 1);
        QVERIFY(!q.html.contains(QStringLiteral("file:////")));
        QVERIFY2(q.html.contains(playCall), qPrintable(q.html));
    }
}

void RenderingTest::variants_data()
{
    QTest::addColumn<QString>("variant");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("collected");
    QTest::addColumn<QStringList>("expectedParts");
    QTest::addColumn<QString>("cardId");

    QTest::newRow("leaf stem with material and child number")
        << "leaf" << 1 << false
        << QStringList{QStringLiteral(R"(<div id="div_ti7"  class="content"> <p>5.&nbsp;Case<br>(3)&nbsp;Stem</p> )"),
                       QStringLiteral(R"(value="A.&nbsp;" class="button_01" />)")}
        << QStringLiteral("sc_ti1_7_1");
    QTest::newRow("leaf multiple choice: letters with a point")
        << "leaf" << 2 << false
        << QStringList{QStringLiteral(R"(onclick="setduoxuan('ti2_7_0','hduo_7','A');" value="A.&nbsp;" class="button_01" />)")}
        << QStringLiteral("sc_ti2_7_1");
    QTest::newRow("leaf true or false")
        << "leaf" << 3 << false
        << QStringList{QStringLiteral(R"(value="B.&nbsp;" class="button_01" /> <label for="ti3_7_1" >)")}
        << QStringLiteral("sc_ti3_7_1");
    QTest::newRow("leaf that is itself composite")
        << "leaf" << 6 << false
        << QStringList{QStringLiteral(R"(<div id="div_ti7"  class="content"> <p>Stem</p> </div> )")}
        << QString();
    QTest::newRow("search hit of a third child")
        << "search" << 1 << false
        << QStringList{QStringLiteral(R"(<div id="div_ti7"  class="content"> <p>5.3&nbsp;Case<br>Stem</p> )"),
                       QStringLiteral(R"(value="A.&nbsp;" class="button_01" />)"),
                       QStringLiteral(R"~(<div style='text-align:right;'><input type="button" id="sc_ti1_7_1_3" onclick="sc('sc_ti1_7_1_3','q-7','1','div_ti7')" class="but_showcang"/ > </div>)~")}
        << QStringLiteral("sc_ti1_7_1_3");
    QTest::newRow("collected search hit offers removal")
        << "search" << 4 << true
        << QStringList{QStringLiteral(R"~(<input type="button" id="sc_ti4_7_3" onclick="sc('sc_ti4_7_3','q-7','0','div_ti7')" class="but_hidecang"/ ></div></div> <div style="clear:both"> </div> </div>)~")}
        << QStringLiteral("sc_ti4_7_3");
}

void RenderingTest::variants()
{
    QFETCH(QString, variant);
    QFETCH(int, type);
    QFETCH(bool, collected);
    QFETCH(QStringList, expectedParts);
    ExamQuestion q = makeQuestion(type, 7, 2);
    q.id = QStringLiteral("q-7");
    q.number = 5;
    q.leafNo = 3;
    q.material = QStringLiteral("Case");
    q.isCollect = collected;
    q.analysis = QStringLiteral("Why");
    if (variant == QLatin1String("leaf"))
        q.renderLeaf(ExamQuestion::FormalPaper, appDir, QString());
    else
        q.renderSearch(ExamQuestion::FavouritePractice, appDir, QString());

    for (const QString &part : expectedParts)
        QVERIFY2(q.html.contains(part), qPrintable(part + QStringLiteral("\n in \n") + q.html));
    QTEST(q.cardId, "cardId");
    if (type == ExamQuestion::Composite) {
        QVERIFY(q.answerHtml.isEmpty());
        return;
    }
    const QString answerOpening = variant == QLatin1String("search")
        ? QStringLiteral(R"(<div id="div_da7" name="jiexi"  class="show_an" > <b>答案：A</b><br/>解析：Why</div></div>)")
        : QStringLiteral(R"(<div id="div_da7" name="jiexi"  class="show_an" style="display:none" > <b>答案：A</b><br/>解析：Why</div></div>)");
    QCOMPARE(q.answerHtml, answerOpening);
    QCOMPARE(q.html.contains(QStringLiteral("sc('")), variant == QLatin1String("search"));
}

void RenderingTest::keywordOnlyInText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("expected");

    const QString o = QStringLiteral("<font color=\"red\">");
    const QString c = QStringLiteral("</font>");
    QTest::newRow("word in text") << QStringLiteral("<p>a cat</p>") << QStringLiteral("cat")
                                  << QStringLiteral("<p>a ") + o + QStringLiteral("cat") + c + QStringLiteral("</p>");
    QTest::newRow("tag name untouched") << QStringLiteral("<div class=\"x\">div</div>") << QStringLiteral("div")
        << QStringLiteral("<div class=\"x\">") + o + QStringLiteral("div") + c + QStringLiteral("</div>");
    QTest::newRow("attribute name untouched") << QStringLiteral("<p class=\"class\">x</p>") << QStringLiteral("class")
                                              << QStringLiteral("<p class=\"class\">x</p>");
    QTest::newRow("image tag untouched") << QStringLiteral("<img src=\"/img.png\"/>img") << QStringLiteral("img")
        << QStringLiteral("<img src=\"/img.png\"/>") + o + QStringLiteral("img") + c;
    QTest::newRow("quoted > inside a tag") << QStringLiteral("<a title=\"x>y\">y</a>") << QStringLiteral("y")
        << QStringLiteral("<a title=\"x>y\">") + o + QStringLiteral("y") + c + QStringLiteral("</a>");
    QTest::newRow("character reference untouched") << QStringLiteral("1.&nbsp;nbsp") << QStringLiteral("nbsp")
        << QStringLiteral("1.&nbsp;") + o + QStringLiteral("nbsp") + c;
    QTest::newRow("script and comment untouched")
        << QStringLiteral("<script>var x='<b>x</b>';</script><!-- x -->x") << QStringLiteral("x")
        << QStringLiteral("<script>var x='<b>x</b>';</script><!-- x -->") + o + QStringLiteral("x") + c;
    QTest::newRow("lone < is text") << QStringLiteral("a < b") << QStringLiteral("< b")
                                    << QStringLiteral("a ") + o + QStringLiteral("< b") + c;
    QTest::newRow("Latin letters in either case, text kept")
        << QStringLiteral("Cat cAT Çat") << QStringLiteral("cat")
        << o + QStringLiteral("Cat") + c + QStringLiteral(" ") + o + QStringLiteral("cAT") + c + QStringLiteral(" Çat");
    QTest::newRow("raw-text elements untouched")
        << QStringLiteral("<textarea id=\"t\"> </textarea><TITLE> </title><xmp> </xmp> ") << QStringLiteral(" ")
        << QStringLiteral("<textarea id=\"t\"> </textarea><TITLE> </title><xmp> </xmp>") + o + QStringLiteral(" ") + c;
    QTest::newRow("typed markup is never added")
        << QStringLiteral("<b>bold</b>") << QStringLiteral("<b>") << QStringLiteral("<b>bold</b>");
    QTest::newRow("unterminated tag") << QStringLiteral("x<p class=\"x") << QStringLiteral("x")
                                      << o + QStringLiteral("x") + c + QStringLiteral("<p class=\"x");
    QTest::newRow("empty keyword") << QStringLiteral("<p>x</p>") << QString() << QStringLiteral("<p>x</p>");
}

void RenderingTest::keywordOnlyInText()
{
    QFETCH(QString, html);
    QFETCH(QString, keyword);
    QTEST(highlightKeyword(html, keyword), "expected");
}

void RenderingTest::searchHighlightKeepsMarkup_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("marks");

    // Stem "div and class and img and button", option1 "button div".
    QTest::newRow("div") << 1 << QStringLiteral("div") << 2;
    QTest::newRow("class") << 1 << QStringLiteral("class") << 1;
    QTest::newRow("img") << 1 << QStringLiteral("img") << 1;
    QTest::newRow("button in stem and option") << 2 << QStringLiteral("button") << 2;
    QTest::newRow("input appears only in markup") << 3 << QStringLiteral("input") << 0;
    QTest::newRow("handler name") << 1 << QStringLiteral("setdanxuan") << 0;
    QTest::newRow("fill in") << 4 << QStringLiteral("div") << 1;
    QTest::newRow("essay") << 5 << QStringLiteral("font") << 0;
}

void RenderingTest::searchHighlightKeepsMarkup()
{
    QFETCH(int, type);
    QFETCH(QString, keyword);
    QFETCH(int, marks);
    ExamQuestion q = makeQuestion(type, 9, 2);
    q.id = QStringLiteral("q9");
    q.title = QStringLiteral("div and class and <img src=\"/x.png\"/>img and button");
    q.option1 = QStringLiteral("button div<br/>");
    q.video = QStringLiteral("v.mp4");

    ExamQuestion plain = q;
    plain.renderSearch(ExamQuestion::FavouritePractice, appDir, QString());
    q.renderSearch(ExamQuestion::FavouritePractice, appDir, keyword);

    QCOMPARE(occurrences(q.html, QStringLiteral("<font color=\"red\">") + keyword + QStringLiteral("</font>")),
             marks);
    QCOMPARE(withoutMarks(q.html, keyword), plain.html);
    QCOMPARE(q.answerHtml, plain.answerHtml);
}

void RenderingTest::answerBlock_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("analysis");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no explanation: the bold tag is closed all the same")
        << QStringLiteral("AB") << QString()
        << QStringLiteral(R"(<div id="div_da1" name="jiexi"  class="show_an" style="display:none" > <b>答案：AB</b></div></div>)");
    QTest::newRow("markup passes unescaped")
        << QStringLiteral("<i>x</i> & y") << QStringLiteral("<table><tr><td>1&lt;2</td></tr></table>")
        << QStringLiteral(R"(<div id="div_da1" name="jiexi"  class="show_an" style="display:none" > <b>答案：<i>x</i> & y</b><br/>解析：<table><tr><td>1&lt;2</td></tr></table></div></div>)");
    QTest::newRow("empty answer")
        << QString() << QString()
        << QStringLiteral(R"(<div id="div_da1" name="jiexi"  class="show_an" style="display:none" > <b>答案：</b></div></div>)");
}

void RenderingTest::answerBlock()
{
    QFETCH(QString, answer);
    QFETCH(QString, analysis);
    ExamQuestion q = makeQuestion(2, 1, 3);
    q.answer = answer;
    q.analysis = analysis;
    q.title = QStringLiteral("<span style=\"x\">a &amp; b</span>");
    q.render(ExamQuestion::FormalPaper, appDir, QString());
    QTEST(q.answerHtml, "expected");
    QVERIFY(q.html.contains(QStringLiteral("<p>1.&nbsp;<span style=\"x\">a &amp; b</span></p>")));
}

void RenderingTest::renderingAgainGivesSameIds()
{
    ExamQuestion q = makeQuestion(1, 2, 4);
    q.userAnswer = QStringLiteral("'><script>");
    q.render(ExamQuestion::FormalPaper, appDir, QString());
    const QString first = q.html;
    q.render(ExamQuestion::FormalPaper, appDir, QString());
    QCOMPARE(q.html, first);
    QCOMPARE(q.optionIds.size(), 4);
    // A damaged stored answer stays inside its attribute.
    QVERIFY(q.html.contains(QStringLiteral("value='&#39;&gt;&lt;script&gt;'/>")));
}

void RenderingTest::blankAnswers_data()
{
    QTest::addColumn<QString>("joined");
    QTest::addColumn<QString>("readable");
    QTest::newRow("one blank unchanged") << QStringLiteral("控制器") << QStringLiteral("控制器");
    QTest::newRow("two blanks numbered") << QStringLiteral("控制器|输出设备") << QStringLiteral("(1) 控制器 (2) 输出设备");
    QTest::newRow("blanks trimmed, empty kept") << QStringLiteral(" a ||c") << QStringLiteral("(1) a (2)  (3) c");
    QTest::newRow("empty") << QString() << QString();
}

void RenderingTest::blankAnswers()
{
    QFETCH(QString, joined);
    QTEST(BlankAnswer::readable(joined), "readable");
    // The exam window's explanation shows the blanks numbered; marking keeps the raw text.
    ExamQuestion q = makeQuestion(ExamQuestion::FillIn, 1, 2);
    q.answer = joined;
    q.render(ExamQuestion::FormalPaper, appDir, QString());
    QVERIFY(q.answerHtml.contains(QStringLiteral("<b>答案：") + BlankAnswer::readable(joined)));
    QCOMPARE(q.answer, joined);
}

void RenderingTest::practiceCaption_data()
{
    QTest::addColumn<QList<double>>("cents");
    QTest::addColumn<QString>("caption");
    QTest::newRow("same marks") << QList<double>{2, 2} << QStringLiteral("单选题（共2题，每题2分，共4分）");
    QTest::newRow("different marks") << QList<double>{2, 1.5} << QStringLiteral("单选题（共2题，共3.5分）");
    QTest::newRow("none left") << QList<double>() << QStringLiteral("单选题（共0题，共0分）");
}

void RenderingTest::practiceCaption()
{
    QFETCH(QList<double>, cents);
    ExamPaper paper;
    auto *other = paper.addSection(makeSection(0, QStringLiteral("多选题")));
    other->firstSeq = 1;
    other->lastSeq = 1;
    ExamQuestion first = makeQuestion(2, 1, 2);
    first.cent = 9;
    paper.addQuestion(std::make_unique<ExamQuestion>(first));
    PaperSection *section = paper.addSection(makeSection(1, QStringLiteral("单选题"), QStringLiteral("单项选择题（共6题，每题2分，共12分）")));
    section->firstSeq = 2;
    for (double cent : cents) {
        ExamQuestion q = makeQuestion(1, int(paper.questions.size()) + 1, 2);
        q.cent = cent;
        section->mark += cent;
        paper.addQuestion(std::make_unique<ExamQuestion>(q));
    }
    section->quantity = section->entryCount = cents.size();
    section->lastSeq = section->firstSeq + cents.size() - 1;
    QTEST(practiceCaptionName(paper, *section), "caption");
}

// ---- Rendered questions in a real page ------------------------------------

QStringList RenderingTest::runPage(const QString &html, const QStringList &actions, QStringList *scriptErrors,
                                   QStringList *results)
{
    TestSupport::RecordingBridge bridge;
    PageView view;
    TestSupport::ScriptErrorLog log(&view);
    bridge.attachTo(&view);
    TestSupport::BridgeBarrier barrier(&view);
    view.setHtml(html);
    // Complete: the images have loaded or failed too.
    const auto ready = [&view]() {
        return TestSupport::pageValue(&view, QStringLiteral("document.readyState + typeof jQuery + typeof setdanxuan"))
                   .toString()
            == QLatin1String("completefunctionfunction");
    };
    if (!TestSupport::waitForPage(&view) || !QTest::qWaitFor(ready, 10000)) {
        *scriptErrors << QStringLiteral("page did not load its scripts");
        return {};
    }
    for (const QString &action : actions) {
        const QString value = TestSupport::pageValue(&view, action).toString();
        if (results)
            *results << value;
    }
    if (!barrier.wait())
        *scriptErrors << QStringLiteral("the bridge calls did not arrive");
    *scriptErrors += log.scriptErrors;
    return bridge.calls;
}

void RenderingTest::controlsReachTheBridge_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QStringList>("calls");

    const auto click = [](const char *id) {
        return QStringLiteral("document.getElementById('%1').click()").arg(QLatin1String(id));
    };
    QTest::newRow("single choice") << QStringList{click("ti1_1_1")}
                                   << QStringList{"setAsQuestionJs(hdan_1,B)"};
    QTest::newRow("single choice, second pick")
        << QStringList{click("ti1_1_0"), click("ti1_1_2")}
        << QStringList{"setAsQuestionJs(hdan_1,A)", "setAsQuestionJs(hdan_1,C)"};
    QTest::newRow("multiple choice") << QStringList{click("ti2_2_0"), click("ti2_2_2"), click("ti2_2_0")}
        << QStringList{"setAsQuestionJs(hduo_2,A)", "setAsQuestionJs(hduo_2,AC)", "setAsQuestionJs(hduo_2,C)"};
    QTest::newRow("true or false") << QStringList{click("ti3_3_1")} << QStringList{"setAsQuestionJs(hpan_3,B)"};
    QTest::newRow("fill in reports every blank")
        << QStringList{QStringLiteral("var b = document.getElementsByName('kong_4'); b[0].value = 'x'; "
                                      "b[2].value = 'z'; b[2].onblur();")}
        << QStringList{"setAsQuestionJs(ti4_4,x||z)"};
    QTest::newRow("fill in with twelve blanks")
        << QStringList{QStringLiteral("var b = document.getElementsByName('kong_8'); b[11].value = 'last'; "
                                      "b[11].onblur();")}
        << QStringList{"setAsQuestionJs(ti4_8,|||||||||||last)"};
    QTest::newRow("essay self-assessment")
        << QStringList{click("wen_5_01"), click("wen_5_02")}
        << QStringList{"setAsQuestionJs(ti5_5,A)", "setAsQuestionJs(ti5_5,B)"};
    QTest::newRow("leaf of a composite") << QStringList{click("ti1_7_0")}
                                         << QStringList{"setAsQuestionJs(hdan_7,A)"};
    // The program's answer in between turns the button over.
    QTest::newRow("favourite of a search hit")
        << QStringList{click("sc_ti1_9_1_2"), QStringLiteral("scAnswered('q-9',1,true)"), click("sc_ti1_9_1_2")}
        << QStringList{"shoucang(q-9,1)", "shoucang(q-9,0)"};
    QTest::newRow("video button opens the player") << QStringList{click("sp_ti1_1_2")} << QStringList();
}

void RenderingTest::controlsReachTheBridge()
{
    QFETCH(QStringList, actions);
    QFETCH(QStringList, calls);

    QStringList fragments;
    auto add = [&fragments](ExamQuestion &q) { fragments << q.html + q.answerHtml; };
    for (int type = 1; type <= 6; ++type) {
        ExamQuestion q = makeQuestion(type, type, 3);
        q.title = QStringLiteral("Stem <b>bold</b> <img src=\"/none.png\"/>");
        q.video = type == 1 ? QStringLiteral("it's.mp4") : QString();
        q.render(ExamQuestion::FormalPaper, binDirSlash(), QString());
        add(q);
    }
    ExamQuestion leaf = makeQuestion(1, 7, 4);
    leaf.leafNo = 1;
    leaf.material = QStringLiteral("Case");
    leaf.renderLeaf(ExamQuestion::FormalPaper, binDirSlash(), QString());
    add(leaf);
    ExamQuestion blanks = makeQuestion(4, 8, 12);
    blanks.render(ExamQuestion::FormalPaper, binDirSlash(), QString());
    add(blanks);
    ExamQuestion hit = makeQuestion(1, 9, 2);
    hit.id = QStringLiteral("q-9");
    hit.leafNo = 2;
    hit.material = QStringLiteral("Case");
    hit.renderSearch(ExamQuestion::FavouritePractice, binDirSlash(), QStringLiteral("button"));
    add(hit);

    QStringList errors;
    const QStringList reached = runPage(questionPage(fragments), actions, &errors);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    QCOMPARE(reached, calls);
}

void RenderingTest::sampleBankPageHasNoScriptErrors()
{
    TestSupport::FreshDatabase db(TestSupport::sampleBankSql());
    QVERIFY(db.ok());
    QSqlQuery query(DbConnection::instance(QString(), true)->database());
    QVERIFY(query.exec(QStringLiteral("select * from exam_question order by parentId, id")));
    QStringList fragments;
    int seq = 0;
    while (query.next()) {
        ExamQuestion q;
        q.seq = ++seq;
        q.number = seq;
        q.type = query.value(QStringLiteral("questionTypeid")).toInt();
        q.title = query.value(q.type == ExamQuestion::Essay ? QStringLiteral("title") : QStringLiteral("titleImage")).toString();
        q.option1 = query.value(QStringLiteral("option1")).toString() + QStringLiteral("<br/>");
        q.option2 = query.value(QStringLiteral("option2")).toString() + QStringLiteral("<br/>");
        q.option3 = query.value(QStringLiteral("option3")).toString() + QStringLiteral("<br/>");
        q.option4 = query.value(QStringLiteral("option4")).toString() + QStringLiteral("<br/>");
        q.option5 = query.value(QStringLiteral("option5")).toString() + QStringLiteral("<br/>");
        q.optionLength = query.value(QStringLiteral("optionLength")).toInt();
        q.answer = query.value(QStringLiteral("answer")).toString();
        q.analysis = query.value(QStringLiteral("analysis")).toString();
        q.video = query.value(QStringLiteral("video")).toString().trimmed();
        q.id = query.value(QStringLiteral("id")).toString();
        const bool isLeaf = !query.value(QStringLiteral("parentId")).toString().isEmpty();
        for (int mode : {0, 3, 5}) {
            if (isLeaf)
                q.renderLeaf(mode, binDirSlash(), QString());
            else
                q.render(mode, binDirSlash(), QString());
            fragments << q.html + q.answerHtml;
        }
        q.renderSearch(ExamQuestion::FavouritePractice, binDirSlash(), QStringLiteral("a"));
        fragments << q.html + q.answerHtml;
    }
    if (fragments.isEmpty())
        QSKIP("the sample bank holds no questions");

    // Every image of the bank resolves under img/ beside the program.
    const QString brokenImages = QStringLiteral(
        "Array.prototype.filter.call(document.images, function (i) { return !(i.complete && i.naturalWidth > 0); })"
        ".map(function (i) { return i.src; }).join(' ')");
    QStringList errors;
    QStringList results;
    runPage(questionPage(fragments), {QStringLiteral("String(document.images.length)"), brokenImages}, &errors,
            &results);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    QCOMPARE(results.size(), 2);
    QVERIFY(results.at(0).toInt() > 0);
    QCOMPARE(results.at(1), QString());
}

TESSERA_TEST_MAIN(RenderingTest)
#include "tst_rendering.moc"
