#include "testsupport.h"
#include "pagetext.h"
#include "pageview.h"

#include <QApplication>

class PageScriptsTest : public QObject
{
    Q_OBJECT

private:
    PageView *view = nullptr;
    TestSupport::ScriptErrorLog *log = nullptr;
    TestSupport::RecordingBridge *bridge = nullptr;
    TestSupport::BridgeBarrier *barrier = nullptr;

    // Loads a page like the program's, with the library and home functions inline.
    void load(const QString &body)
    {
        const QString library = readTextFile(QStringLiteral(":/js/mian.js")) + QLatin1Char('\n')
            + readTextFile(QStringLiteral(":/js/jijin.js"));
        QVERIFY(TestSupport::loadPage(view, TestSupport::programPage(library, body)));
        QCOMPARE(js("typeof jQuery + typeof Popup + typeof SWFObject + typeof setduoxuan"),
                 QStringLiteral("functionfunctionfunctionfunction"));
        QVERIFY(barrier->wait());
        bridge->calls.clear();
    }

    QString js(const QString &script)
    {
        return TestSupport::pageValue(view, script).toString();
    }

    // The calls the page made so far, once they have all reached the bridge.
    QStringList calls()
    {
        if (!barrier->wait())
            return {QStringLiteral("page did not answer")};
        return bridge->calls;
    }

    // The classes of an element, sorted, so that their order does not matter.
    QString classesOf(const QString &id)
    {
        QStringList classes = js(QStringLiteral("(document.getElementById('%1').getAttribute('class') || '')")
                                     .arg(id)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        classes.sort();
        return classes.join(QLatin1Char(' '));
    }

private slots:
    void init()
    {
        view = new PageView;
        log = new TestSupport::ScriptErrorLog(view);
        view->resize(1000, 700);
        bridge = new TestSupport::RecordingBridge;
        bridge->attachTo(view);
        barrier = new TestSupport::BridgeBarrier(view);
    }

    void cleanup()
    {
        const QStringList errors = log->scriptErrors;
        delete view;
        delete bridge;
        view = nullptr;
        log = nullptr;
        bridge = nullptr;
        barrier = nullptr;
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    }

    void multipleChoiceKeepsClickOrder()
    {
        QString body = QStringLiteral("<input type='hidden' id='hduo_4' value=''/>");
        for (int i = 0; i < 4; ++i) {
            const QString letter(QChar('A' + i));
            body += QStringLiteral("<input type=\"button\"  id=\"ti2_4_%1\" name=\"duo_4\"onclick=\"setduoxuan('ti2_4_%1','hduo_4','%2');\" value=\"%2.&nbsp;\" class=\"button_03\" />")
                        .arg(i).arg(letter);
        }
        load(body);
        for (int i : {2, 0, 2, 1})
            js(QStringLiteral("document.getElementById('ti2_4_%1').click()").arg(i));

        QCOMPARE(js(QStringLiteral("document.getElementById('hduo_4').value")), QStringLiteral("AB"));
        QCOMPARE(calls(), QStringList({"setAsQuestionJs(hduo_4,C)", "setAsQuestionJs(hduo_4,CA)",
                                             "setAsQuestionJs(hduo_4,A)", "setAsQuestionJs(hduo_4,AB)"}));
        QCOMPARE(classesOf("ti2_4_0"), QStringLiteral("button_03 button_04"));
        QCOMPARE(classesOf("ti2_4_1"), QStringLiteral("button_03 button_04"));
        QCOMPARE(classesOf("ti2_4_2"), QStringLiteral("button_03"));

        // Taking back the last letter reports an empty answer.
        js("setduoxuan('ti2_4_0','hduo_4','A'); setduoxuan('ti2_4_1','hduo_4','B');");
        QCOMPARE(calls().mid(4), QStringList({"setAsQuestionJs(hduo_4,B)", "setAsQuestionJs(hduo_4,)"}));
        QCOMPARE(js(QStringLiteral("document.getElementById('hduo_4').value")), QString());
    }

    void oneButtonChoice_data()
    {
        QTest::addColumn<QString>("function");
        QTest::newRow("single choice") << "setdanxuan";
        QTest::newRow("true/false") << "setpanduan";
        QTest::newRow("essay self-assessment") << "setwenda";
    }

    void oneButtonChoice()
    {
        QFETCH(QString, function);
        QString body = QStringLiteral("<input type='hidden' id='h_1' value=''/>");
        for (int i = 0; i < 3; ++i)
            body += QStringLiteral("<input type=\"button\" id=\"b_%1\" name=\"g_1\" onclick=\"%2('b_%1','h_1','%3');\" class=\"button_01\"/>")
                        .arg(i).arg(function).arg(QChar('A' + i));
        body += QStringLiteral("<input type=\"button\" id=\"other\" name=\"g_2\" class=\"button_01 button_02\"/>");
        load(body);
        js("document.getElementById('b_0').click(); document.getElementById('b_2').click();");

        QCOMPARE(js("document.getElementById('h_1').value"), QStringLiteral("C"));
        QCOMPARE(calls(), QStringList({"setAsQuestionJs(h_1,A)", "setAsQuestionJs(h_1,C)"}));
        QCOMPARE(classesOf("b_0"), QStringLiteral("button_01"));
        QCOMPARE(classesOf("b_1"), QStringLiteral("button_01"));
        QCOMPARE(classesOf("b_2"), QStringLiteral("button_01 button_02"));
        QCOMPARE(classesOf("other"), QStringLiteral("button_01 button_02")); // another question's group
    }

    // Functions that move classes on one element "e".
    void classMoves_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("after");

        QTest::newRow("showCent 0 right") << "button_01 button_select" << "showCent('e','0')" << "button_01 button_right";
        QTest::newRow("showCent 1 wrong") << "button_01 button_select" << "showCent('e','1')" << "button_01 button_wrong";
        QTest::newRow("showCent 2 not answered") << "button_color" << "showCent('e','2')" << "button_01 button_no_select";
        QTest::newRow("showCent 3 unchanged") << "button_01 button_select" << "showCent('e','3')" << "button_01 button_select";
        QTest::newRow("showCent number") << "" << "showCent('e',1)" << "button_01 button_wrong";
        QTest::newRow("showCent keeps the note's mark") << "button_01 button_select noted" << "showCent('e','0')"
                                                        << "button_01 button_right noted";
        QTest::newRow("showCent: a class merely like the note's") << "button_01 unnoted" << "showCent('e','1')"
                                                                   << "button_01 button_wrong";
        QTest::newRow("setSubject") << "button_01 button_color x" << "setSubject('e')" << "button_01 button_select";
        QTest::newRow("flag cleared, answered") << "button_01 button_color" << "setSubject_biaoji('e','0','1')" << "button_01 button_select";
        QTest::newRow("flag cleared, unanswered") << "button_01 button_color" << "setSubject_biaoji('e','0','0')" << "button_01";
        QTest::newRow("flag set") << "button_01 button_select" << "setSubject_biaoji('e','1','1')" << "button_01 button_color";
        QTest::newRow("biaoji 0") << "wico other" << "biaoji('e','t','0','d')" << "other xico";
        QTest::newRow("biaoji 2") << "wico xico" << "biaoji('e','t','2','d')" << "xico";
        QTest::newRow("biaoji 1") << "xico" << "biaoji('e','t','1','d')" << "wico";
        QTest::newRow("biaoji 1 without classes") << "" << "biaoji('e','t','1','d')" << "wico";
        QTest::newRow("right") << "wrong" << "p_wrong_right('e','0')" << "right";
        QTest::newRow("wrong") << "right x" << "p_wrong_right('e','1')" << "wrong";
        QTest::newRow("unanswered") << "right" << "p_wrong_right('e','2')" << "unanswered wrong";
        QTest::newRow("card current") << "yico wico a" << "setCurrQuestionHS('e')" << "a zico";
        QTest::newRow("card answered") << "zico" << "setCurrQuestionAnswerHS('e')" << "yico";
        QTest::newRow("card not answered") << "zico yico" << "setCurrQuestionNoAnswerHS('e')" << "wico";
    }

    void classMoves()
    {
        QFETCH(QString, before);
        QFETCH(QString, call);
        QFETCH(QString, after);
        load(before.isEmpty() ? QStringLiteral("<div id='e'></div>")
                              : QStringLiteral("<div id='e' class='%1'></div>").arg(before));
        js(call);
        QCOMPARE(classesOf("e"), after);
        QVERIFY(calls().isEmpty());
    }

    void missingElementIsHarmless()
    {
        load(QStringLiteral("<div id='e'></div>"));
        js("showCent('nothing','0'); biaoji('nothing','t','1','d'); setdanxuan('nothing','nohid','A');"
           "settiankong('nothing','nothing','A'); setTiankongAnswer('nothing','a|b'); showJieXi_idToname('nothing');");
        QCOMPARE(calls(), QStringList({"setAsQuestionJs(nohid,A)"}));
    }

    void showHideToggles()
    {
        load(QStringLiteral("<input type='button' id='btn' class='but'/><div id='jx' style='display:none'>x</div>"));
        js("show_hide('btn','jx')");
        QCOMPARE(js("document.getElementById('jx').style.display"), QStringLiteral("block"));
        QCOMPARE(classesOf("btn"), QStringLiteral("answer_selected but"));
        js("show_hide('btn','jx')");
        QCOMPARE(js("document.getElementById('jx').style.display"), QStringLiteral("none"));
        QCOMPARE(classesOf("btn"), QStringLiteral("but"));
    }

    // The button follows the program's answer (scAnswered), and keeps its
    // look when nothing was stored.
    void favouriteToggle_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("after");
        QTest::newRow("set") << "but_showcang x" << "shoucang(q7,1)" << "scAnswered('q7',1,true)" << "but_hidecang";
        QTest::newRow("clear") << "but_hidecang" << "shoucang(q7,0)" << "scAnswered('q7',0,true)" << "but_showcang";
        QTest::newRow("set, nothing stored") << "but_showcang x" << "shoucang(q7,1)" << "scAnswered('q7',1,false)"
                                             << "but_showcang x";
        QTest::newRow("answer for another question") << "but_showcang" << "shoucang(q7,1)"
                                                     << "scAnswered('q8',1,true)" << "but_showcang";
    }

    void favouriteToggle()
    {
        QFETCH(QString, before);
        QFETCH(QString, report);
        QFETCH(QString, answer);
        QFETCH(QString, after);
        load(QStringLiteral("<input type='button' id='fav' class='%1'/>").arg(before));
        js("sc('fav','q7','1','d')");
        QCOMPARE(calls(), QStringList({report}));
        js(answer);
        QCOMPARE(classesOf("fav"), after);
    }

    void explanationsByName()
    {
        load(QStringLiteral("<span id='k' name='jiexi'></span>"
                            "<div id='d1' name='jiexi' style='display:none'></div>"
                            "<div id='d2' name='jiexi' style='display:none'></div>"
                            "<div id='d3' name='other' style='display:none'></div>"
                            "<input type='button' id='s1' name='but_show_hine'/>"
                            "<input type='button' id='s2' name='but_show_hine' class='b'/>"));
        js("showJieXi_idToname('k')");
        QCOMPARE(js("document.getElementById('d1').style.display"), QStringLiteral("block"));
        QCOMPARE(js("document.getElementById('d2').style.display"), QStringLiteral("block"));
        QCOMPARE(js("document.getElementById('d3').style.display"), QStringLiteral("none"));
        QCOMPARE(classesOf("s1"), QStringLiteral("answer_selected"));
        QCOMPARE(classesOf("s2"), QStringLiteral("answer_selected b"));
    }

    void bridgeCalls_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("report");
        QTest::newRow("div_focus") << "div_focus('div_ti3','3')" << "setLocationJs(div_ti3,3)";
        QTest::newRow("againQuestion") << "againQuestion()" << "againQuestion()";
        QTest::newRow("showAnswerForm without popup") << "showAnswerForm()" << "showAnswerForm()";
        QTest::newRow("showkaojuang") << "showkaojuang('p1')" << "openkaojuang(p1)";
        QTest::newRow("showErrorPaper") << "showErrorPaper('p2')" << "showErrorPaper(p2)";
        QTest::newRow("showshoucang") << "showshoucang('c3')" << "showshoucang(c3)";
        QTest::newRow("del_question") << "del_question('q4')" << "del_question(q4)";
        QTest::newRow("zhenti") << "zhenti()" << "zhentiJS()";
        QTest::newRow("moni") << "moni()" << "moniJS()";
        QTest::newRow("cuoti") << "cuoti()" << "cuotiJS()";
        QTest::newRow("qingchu") << "qingchu()" << "qingchuJS()";
        QTest::newRow("soti") << "soti()" << "sotiJS()";
        QTest::newRow("soQuestion") << "soQuestion()" << "soQuestionJS()";
        QTest::newRow("shoucang") << "shoucang()" << "shoucangJS()";
    }

    void bridgeCalls()
    {
        QFETCH(QString, call);
        QFETCH(QString, report);
        load(QString());
        js(call);
        QCOMPARE(calls(), QStringList({report}));
    }

    void optionalSectionChoice()
    {
        load(QStringLiteral("<input type='button' id='x1' name='xz_bufen' class='but_a_x y'/>"
                            "<input type='button' id='x2' name='xz_bufen'/>"));
        js("setXZBF('x2')");
        QCOMPARE(classesOf("x1"), QStringLiteral("but_a"));
        QCOMPARE(classesOf("x2"), QStringLiteral("but_a but_a_x"));
        QCOMPARE(calls(), QStringList({"jsXZBF(x2)"}));
    }

    void scorePopups_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("score") << "messageboxScore" << QStringLiteral("答题情况") << 560 << 260;
        QTest::newRow("information") << "messageboxScoreBig" << QStringLiteral("信息提示") << 220 << 80;
    }

    void scorePopups()
    {
        QFETCH(QString, function);
        QFETCH(QString, title);
        QFETCH(int, width);
        QFETCH(int, height);
        load(QString());
        js(function + QStringLiteral("('<p id=\"score\">得分 <b>88</b></p>')"));

        QCOMPARE(js("$('.popup_dialog:visible').length"), QStringLiteral("1"));
        QCOMPARE(js("$('.popup_dialog .popup_caption').text()"), title);
        QCOMPARE(js("$('.popup_dialog #score').text()"), QStringLiteral("得分 88"));
        QCOMPARE(js("$('.popup_dialog .popup_content').width()").toInt(), width);
        QCOMPARE(js("$('.popup_dialog .popup_content').height()").toInt(), height);

        // A second message replaces the first rather than stacking on it.
        js(function + QStringLiteral("('<p>again</p>')"));
        QCOMPARE(js("$('.popup_dialog').length"), QStringLiteral("1"));

        // The answer-sheet button closes the popup before calling the program.
        js("showAnswerForm()");
        QCOMPARE(js("$('.popup_dialog').length + $('.popup_overlay').length"), QStringLiteral("0"));
        QCOMPARE(calls(), QStringList({"showAnswerForm()"}));
    }

    void popupCloseButton()
    {
        load(QString());
        js("messageboxScoreBig('x')");
        js("$('.popup_close')[0].click()");
        QCOMPARE(js("$('.popup_dialog').length + $('.popup_overlay').length"), QStringLiteral("0"));
    }

    void videoPlaysTheNamedFile()
    {
        load(QString());
        const QString base = appFileUrlBase();
        js(QStringLiteral("PlayMp4('%1','%2')").arg(jsEscape(base), QStringLiteral("第1课.mp4")));

        QCOMPARE(js("$('.popup_dialog:visible #CuPlayer.video video').length"), QStringLiteral("1"));
        QCOMPARE(js("$('.popup_dialog .popup_caption').text()"), QStringLiteral("视频讲解"));
        QCOMPARE(js("$('#CuPlayer video').attr('src')"), base + QStringLiteral("mp4/第1课.mp4"));
        QCOMPARE(js("$('#CuPlayer video').attr('width') + 'x' + $('#CuPlayer video').attr('height')"),
                 QStringLiteral("600x410"));
        QCOMPARE(js("String($('#CuPlayer video')[0].controls)"), QStringLiteral("true"));

        // A second video replaces the first popup.
        js(QStringLiteral("PlayMp4('%1','b.mp4')").arg(jsEscape(base)));
        QCOMPARE(js("$('video').length + ',' + $('.popup_dialog').length"), QStringLiteral("1,1"));
    }

    void imageSwapAndRestore()
    {
        load(QStringLiteral("<a id='t'><img src='images/index11.png' name='Image2' id='Image2'/></a>"
                            "<img src='images/index21.png' name='Image4'/>"));
        js("MM_preloadImages('images/index12.png'); MM_swapImage('Image2','','images/index12.png',1)");
        QCOMPARE(js("document.getElementById('Image2').getAttribute('src')"), QStringLiteral("images/index12.png"));
        js("MM_swapImage('Image4','','images/index22.png',1); MM_swapImage('Image2','','images/other.png',1)");
        QCOMPARE(js("document.images['Image4'].getAttribute('src')"), QStringLiteral("images/index22.png"));
        js("MM_swapImgRestore()");
        QCOMPARE(js("document.getElementById('Image2').getAttribute('src')"), QStringLiteral("images/index11.png"));
        QCOMPARE(js("document.images['Image4'].getAttribute('src')"), QStringLiteral("images/index21.png"));
        QCOMPARE(js("String(MM_findObj('nothing'))"), QStringLiteral("null"));
    }

    // Steps on the blanks of fill-in question 5: "i=text" types text into blank
    // i and leaves it, "i" leaves blank i unchanged, "<a|b" writes a stored
    // answer back. Reports are the texts the bridge receives.
    void fillInReports_data()
    {
        QTest::addColumn<int>("blanks");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<QString>("finalTexts");

        QTest::newRow("one blank typed") << 1 << QStringList{"0=北京"} << QStringList{"北京"} << "北京";
        QTest::newRow("unchanged blur is silent") << 1 << QStringList{"0=x", "0", "0"} << QStringList{"x"} << "x";
        QTest::newRow("untouched blank is silent") << 1 << QStringList{"0", "0"} << QStringList{} << "";
        QTest::newRow("cleared after typing") << 1 << QStringList{"0=x", "0="} << QStringList{"x", ""} << "";
        QTest::newRow("several blanks in order") << 3 << QStringList{"1=b", "0=a", "2=c"}
                                                 << QStringList{"|b|", "a|b|", "a|b|c"} << "a|b|c";
        QTest::newRow("several untouched") << 3 << QStringList{"0", "1", "2"} << QStringList{} << "||";
        QTest::newRow("several cleared") << 2 << QStringList{"0=a", "0=", "1"} << QStringList{"a|", "|"} << "|";
        QTest::newRow("typing the same text again") << 2 << QStringList{"0=a", "1=", "0=a"} << QStringList{"a|"} << "a|";
        QTest::newRow("texts with quotes and markup") << 2 << QStringList{"0=it's \"<b>\"", "1=a\\b"}
                                                      << QStringList{"it's \"<b>\"|", "it's \"<b>\"|a\\\\b"}
                                                      << "it's \"<b>\"|a\\b";
        QTest::newRow("written back, then unchanged") << 3 << QStringList{"<x|y|z", "1"} << QStringList{} << "x|y|z";
        QTest::newRow("written back, then changed") << 3 << QStringList{"<x|y|z", "1=Y"} << QStringList{"x|Y|z"} << "x|Y|z";
        QTest::newRow("written back empty, then typed") << 2 << QStringList{"<|", "0", "1=q"} << QStringList{"|q"} << "|q";
        QTest::newRow("separator and escape typed in blanks") << 2 << QStringList{"0=a|b", "1=c\\"}
                                                              << QStringList{"a\\|b|", "a\\|b|c\\\\"} << "a|b|c\\";
        QTest::newRow("written back with escapes") << 2 << QStringList{"<a\\|b|c\\\\", "1"} << QStringList{} << "a|b|c\\";
        QTest::newRow("written back old answer with a backslash") << 2 << QStringList{"<C:\\dir|x", "1"}
                                                                  << QStringList{} << "C:\\dir|x";
        QTest::newRow("written back with too few parts") << 3 << QStringList{"<x", "2"} << QStringList{"x||"} << "x||";
    }

    void fillInReports()
    {
        QFETCH(int, blanks);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, reports);
        QFETCH(QString, finalTexts);

        QString body = QStringLiteral("<div id='p_div_ti5' class='option'>");
        for (int i = 0; i < blanks; ++i)
            body += QStringLiteral("<input type=\"text\"  id=\"ti4_5\" name=\"kong_5\" height=15 width=40 "
                                   "onBlur=\"settiankong('ti4_5','ti4_5','%1');\" /> ").arg(QChar('A' + i));
        // Another fill-in question on the same page stays apart.
        body += QStringLiteral("</div><input type=\"text\" id=\"ti4_6\" name=\"kong_6\" onBlur=\"settiankong('ti4_6','ti4_6','A');\" value=\"other\"/>");
        load(body);

        for (const QString &step : steps) {
            if (step.startsWith(QLatin1Char('<'))) {
                js(QStringLiteral("setTiankongAnswer('ti4_5','%1')").arg(jsEscape(step.mid(1))));
                continue;
            }
            const QString blank = QStringLiteral("document.getElementsByName('kong_5')[%1]").arg(step.left(1));
            if (step.contains(QLatin1Char('=')))
                js(blank + QStringLiteral(".value = '%1';").arg(jsEscape(step.mid(2))));
            js(blank + QStringLiteral(".onblur()"));
        }

        QStringList expected;
        for (const QString &text : reports)
            expected << QStringLiteral("setAsQuestionJs(ti4_5,%1)").arg(text);
        QCOMPARE(calls(), expected);
        QCOMPARE(js("$.map($('input[name=kong_5]'), function (e) { return e.value; }).join('|')"), finalTexts);
        QCOMPARE(js("document.getElementById('ti4_6').value"), QStringLiteral("other"));
    }

    void libraryIsInlineSafe()
    {
        const QString library = readTextFile(QStringLiteral(":/js/mian.js"));
        QVERIFY(!library.startsWith(QChar(0xFEFF)));
        QVERIFY(library.contains(QStringLiteral("答题情况")));
        QVERIFY(!library.contains(QLatin1String("</script"), Qt::CaseInsensitive));
        QVERIFY(!readTextFile(QStringLiteral(":/js/jijin.js")).contains(QLatin1String("</script"), Qt::CaseInsensitive));
    }
};

TESSERA_TEST_MAIN(PageScriptsTest)
#include "tst_pagescripts.moc"
