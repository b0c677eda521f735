#include "testsupport.h"

#include "apppaths.h"
#include "bankreader.h"
#include "dbconnection.h"
#include "exampagebuilder.h"
#include "examrenli.h"
#include "giftexporter.h"
#include "giftparser.h"
#include "homepages.h"
#include "moodlexmlexporter.h"
#include "moodlexmlparser.h"
#include "notekeeper.h"
#include "notepanel.h"
#include "notestore.h"
#include "pagetext.h"
#include "pageview.h"
#include "paperloader.h"
#include "printdocument.h"
#include "questionsearch.h"
#include "sheetexporter.h"
#include "soquestion.h"

#include <QSignalSpy>
#include <QTimer>

// Notes where questions are seen: the panel in the pages (kept as text, on
// both engines), the exam window storing only the note of the question it
// shows, the 我的笔记 list, the search finding notes, and the wrong-question
// book's export carrying them.
namespace {

using Db = TestSupport::FreshDatabase;
using TestSupport::database;

QString pageValue(PageView *view, const QString &script)
{
    return TestSupport::pageValue(view, script).toString();
}

// A clock a test steps.
class SteppedClock : public ProgressClock
{
public:
    QDateTime now() const override { return m_now; }
    void step(int ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now{QDate(2026, 12, 8), QTime(9, 0)};
};

// A small page holding a note panel and an essay box, with the program's script.
QString panelPage(const QString &questionId, const QString &note)
{
    return TestSupport::programPage(readTextFile(QStringLiteral(":/js/mian.js")),
                                    QStringLiteral("<style type=\"text/css\">")
                                        + readTextFile(QStringLiteral(":/css/maincss.css")) + QStringLiteral("</style>")
                                        + NotePanel::html(questionId, note)
                                        + QStringLiteral("<textarea id=\"e1\" name=\"e1\"></textarea>"));
}

BankQuestion choice(const QString &stem, const QString &note)
{
    BankQuestion q;
    q.type = BankQuestion::SingleChoice;
    q.stemHtml = stem;
    q.optionsHtml = QStringList{QStringLiteral("甲"), QStringLiteral("乙")};
    q.answerLetters = QStringLiteral("A");
    q.explanationHtml = QStringLiteral("因为甲");
    q.note = note;
    return q;
}

} // namespace

class NotePagesTest : public QObject
{
    Q_OBJECT

private slots:
    // The panel holds the note as the user typed it, whatever it looks like,
    // and marks its button only for a note of more than blanks.
    void panelKeepsTheNoteAsText_data()
    {
        QTest::addColumn<QString>("questionId");
        QTest::addColumn<QString>("note");
        QTest::addColumn<bool>("marked");
        QTest::newRow("plain") << "km1q001" << "先看页表，再看快表" << true;
        QTest::newRow("markup stays text") << "km1q001" << "<script>alert(1)</script><b>粗</b>" << true;
        QTest::newRow("closing the box") << "km1q001" << "</textarea><img src=x onerror=alert(1)>" << true;
        QTest::newRow("quotes and ampersands") << "k\"1'&" << "\"甲\" & '乙' &amp;" << true;
        QTest::newRow("leading line break kept") << "km1q001" << "\n第二行开头\n\n" << true;
        QTest::newRow("blanks are no note") << "km1q001" << " \n\t" << false;
        QTest::newRow("none") << "km1q001" << "" << false;
    }

    void panelKeepsTheNoteAsText()
    {
        QFETCH(QString, questionId);
        QFETCH(QString, note);
        QFETCH(bool, marked);
        PageView view;
        TestSupport::ScriptErrorLog errors(&view);
        QVERIFY(TestSupport::loadPage(&view, panelPage(questionId, note)));
        QCOMPARE(pageValue(&view, QStringLiteral("document.querySelector('.note_text').value")), note);
        QCOMPARE(pageValue(&view, QStringLiteral("document.querySelector('.note_panel').getAttribute('data-question')")),
                 questionId);
        QCOMPARE(pageValue(&view, QStringLiteral("String(document.querySelectorAll('.note_panel *').length)")),
                 QStringLiteral("3"));
        QCOMPARE(pageValue(&view, QStringLiteral("String($('.note_button').hasClass('noted'))")),
                 marked ? QStringLiteral("true") : QStringLiteral("false"));
        QCOMPARE(errors.scriptErrors, QStringList());
    }

    // The page reports a note as it is typed and keeps it apart from the
    // answers: not among the typed answers, still writable after marking.
    void pageReportsTheNote_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("calls");
        const QString type = QStringLiteral(
            "function typeNote(text) { var box = document.querySelector('.note_text'); box.value = text; "
            "var e = document.createEvent('Event'); e.initEvent('input', true, true); box.dispatchEvent(e); } "
            "typeNote('记住\\'它\\''); ");
        QTest::newRow("typing reports it and marks the button")
            << type + QStringLiteral("String($('.note_button').hasClass('noted'))") << "true"
            << QStringList{"noteChangedJs(q'1,记住'它')"};
        QTest::newRow("emptying clears the mark")
            << type + QStringLiteral("typeNote(' '); String($('.note_button').hasClass('noted'))")
            << "false" << QStringList{"noteChangedJs(q'1,记住'它')", "noteChangedJs(q'1, )"};
        QTest::newRow("no typed answer") << type + QStringLiteral("typedAnswers()")
                                         << "{\"blanks\":{},\"essays\":[[\"e1\",0,\"\"]]}"
                                         << QStringList{"noteChangedJs(q'1,记住'它')"};
        QTest::newRow("marking leaves it writable")
            << QStringLiteral("lockAnswers(); String(document.querySelector('.note_text').readOnly) + "
                              "String(document.getElementById('e1').readOnly)")
            << "falsetrue" << QStringList{};
        QTest::newRow("the button opens and closes the box")
            << QStringLiteral("toggleNote(document.querySelector('.note_button')); "
                              "var open = $('.note_box').is(':visible'); "
                              "toggleNote(document.querySelector('.note_button')); "
                              "String(open) + String($('.note_box').is(':visible'))")
            << "truefalse" << QStringList{};
    }

    void pageReportsTheNote()
    {
        QFETCH(QString, script);
        QFETCH(QString, value);
        QFETCH(QStringList, calls);
        PageView view;
        TestSupport::ScriptErrorLog errors(&view);
        TestSupport::RecordingBridge bridge;
        bridge.attachTo(&view);
        TestSupport::BridgeBarrier barrier(&view);
        QVERIFY(TestSupport::loadPage(&view, panelPage(QStringLiteral("q'1"), QString())));
        QCOMPARE(pageValue(&view, script), value);
        QVERIFY(barrier.wait());
        QCOMPARE(bridge.calls, calls);
        QCOMPARE(errors.scriptErrors, QStringList());
    }

    // The exam window's pages carry notes in practice and after the hand-in,
    // never in a formal paper before it; the card marks a question with a note.
    void builderShowsNotesWhereAllowed_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("handedIn");
        QTest::addColumn<bool>("shown");
        QTest::newRow("formal paper") << 0 << false << false;
        QTest::newRow("formal paper handed in") << 0 << true << true;
        QTest::newRow("wrong-question practice") << 3 << false << true;
        QTest::newRow("favourites practice") << 5 << false << true;
    }

    void builderShowsNotesWhereAllowed()
    {
        QFETCH(int, mode);
        QFETCH(bool, handedIn);
        QFETCH(bool, shown);
        Db db(TestSupport::sampleBankSql());
        auto paper = PaperLoader(database(), 0, QString()).loadFormalPaper(QStringLiteral("km1p1"));
        QVERIFY(paper && !paper->questions.empty());
        ExamQuestion &first = *paper->questions.front();
        first.note = QStringLiteral("<b>记</b>");
        ExamPageBuilder builder(mode, QStringLiteral("/opt/tessera/"));
        builder.showNotes(mode != 0 || handedIn);
        const QString page = builder.questionPage(*paper, 0, 0);
        QCOMPARE(page.contains(QLatin1String("class=\"note_panel\"")), shown);
        QCOMPARE(page.contains(QStringLiteral("&lt;b&gt;记&lt;/b&gt;")), shown);
        QVERIFY(!page.contains(QStringLiteral("<b>记</b>")));
        const QString card = builder.cardPage(*paper);
        QCOMPARE(card.count(QLatin1String("class=\"wico noted\"")), shown ? 1 : 0);
    }

    // The exam window stores the note of the question its page shows, and
    // nothing for another question or in a formal paper before the hand-in.
    void windowStoresOnlyTheShownQuestionsNote_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("questionId");
        QTest::addColumn<bool>("stored");
        QTest::newRow("practice, the question shown") << 3 << "km1q001" << true;
        QTest::newRow("practice, another question of it") << 3 << "km1q002" << false;
        QTest::newRow("practice, a question it lacks") << 3 << "km1q040" << false;
        QTest::newRow("formal paper before the hand-in") << 0 << "km1q001" << false;
    }

    void windowStoresOnlyTheShownQuestionsNote()
    {
        QFETCH(int, status);
        QFETCH(QString, questionId);
        QFETCH(bool, stored);
        Db db(TestSupport::sampleBankSql());
        TestSupport::ModalCloser closer;
        ExamRenLi window(0, 0, 1024, 740, 1);
        window.paperId = status == 3 ? PaperLoader::questionListKey(QStringLiteral("我的笔记"),
                                                                     {QStringLiteral("km1q001"), QStringLiteral("km1q002")})
                                     : QStringLiteral("km1p1");
        window.examStatus = status;
        window.show();
        QVERIFY(QTest::qWaitFor([&window] { return window.paper && !window.pagesLoading(); }, 15000));
        QVERIFY(window.currentQuestion());
        QCOMPARE(window.currentQuestion()->id, QStringLiteral("km1q001"));
        QCOMPARE(pageValue(window.webExam, QStringLiteral("String(document.querySelectorAll('.note_panel').length)")),
                 status == 3 ? QStringLiteral("1") : QStringLiteral("0"));
        window.noteChangedJs(questionId, QStringLiteral("记住它"));
        QVERIFY(window.notes->storeNow());
        QCOMPARE(NoteStore::note(database(), SubjectScope::current(), questionId),
                 stored ? QStringLiteral("记住它") : QString());
        if (stored)
            QTRY_COMPARE(pageValue(window.webbutton, QStringLiteral("String($('.noted').length)")), QStringLiteral("1"));
        window.countdownTimer->stop();
    }

    // The search window stores the note of a hit on its page, with the
    // hit's note panel, and nothing for a question that is no hit.
    void searchWindowStoresOnlyHitsNotes_data()
    {
        QTest::addColumn<QString>("questionId");
        QTest::addColumn<bool>("stored");
        QTest::newRow("a hit") << "km1q002" << true;
        QTest::newRow("no hit") << "km1q001" << false;
    }

    void searchWindowStoresOnlyHitsNotes()
    {
        QFETCH(QString, questionId);
        QFETCH(bool, stored);
        Db db(TestSupport::sampleBankSql());
        QVERIFY(NoteStore::save(database(), SubjectScope(), QStringLiteral("km1q002"), QStringLiteral("页表口诀"),
                                QDateTime::currentDateTime()));
        SoQuestion window;
        // Closed below, as the user closes it, but kept for the test.
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        QSignalSpy shown(&window, &SoQuestion::resultsShown);
        window.lineEdit->setText(QStringLiteral("页表口诀"));
        QTest::mouseClick(window.soButton, Qt::LeftButton);
        QVERIFY(shown.count() > 0 || shown.wait(20000));
        QTRY_COMPARE(pageValue(window.soWebView, QStringLiteral("document.querySelector('.note_text') ? "
                                                                 "document.querySelector('.note_text').value : ''")),
                     QStringLiteral("页表口诀"));
        window.noteChangedJs(questionId, QStringLiteral("改过"));
        window.close();
        QCOMPARE(NoteStore::note(database(), SubjectScope(), questionId),
                 stored ? QStringLiteral("改过") : QString());
    }

    // Typed notes are stored a moment after the first change, once for a
    // burst; one that cannot be stored waits and is tried again.
    void keeperStoresDebounced_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<QStringList>("expectedStores");
        QTest::addColumn<QString>("problem");
        QTest::newRow("a burst is stored once") << 0 << QStringList{"q1=abc"} << "";
        QTest::newRow("a failed store is tried again") << 1 << QStringList{"q1=abc", "q1=abc"} << "";
        QTest::newRow("still failing says so") << 5 << QStringList{"q1=abc", "q1=abc"} << "笔记未能保存：磁盘已满";
    }

    void keeperStoresDebounced()
    {
        QFETCH(int, failures);
        QFETCH(QStringList, expectedStores);
        QFETCH(QString, problem);
        SteppedClock clock;
        QStringList stores;
        int failing = failures;
        NoteKeeper keeper(
            [&](const QString &id, const QString &text) {
                stores << id + QLatin1Char('=') + text;
                return failing-- > 0 ? WriteOutcome::failed(QStringLiteral("磁盘已满")) : WriteOutcome();
            },
            &clock);
        for (const char *text : {"a", "ab", "abc"}) {
            keeper.edit(QStringLiteral("q1"), QLatin1String(text));
            clock.step(200);
            keeper.saver()->poll();
        }
        QCOMPARE(stores, QStringList());
        clock.step(NoteKeeper::saveWithinMs);
        keeper.saver()->poll();
        clock.step(NoteKeeper::retryWithinMs);
        keeper.saver()->poll();
        QCOMPARE(stores, expectedStores);
        QCOMPARE(keeper.problem(), problem);
        QCOMPARE(keeper.waiting(), !problem.isEmpty());
    }

    // 我的笔记 shows the user's texts as text and opens the question it names.
    void notesPageShowsTextSafely_data()
    {
        QTest::addColumn<QString>("questionId");
        QTest::addColumn<QString>("noteStart");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "km1q001" << "先看页表" << "" << "先看页表";
        QTest::newRow("markup") << "km1q001" << "<img src=x onerror=alert(1)>" << "" << "<img src=x onerror=alert(1)>";
        QTest::newRow("quote in the id") << "k');alert('1" << "记" << "" << "记";
        QTest::newRow("search words kept") << "km1q001" << "记" << "\"><script>x</script>" << "记";
    }

    void notesPageShowsTextSafely()
    {
        QFETCH(QString, questionId);
        QFETCH(QString, noteStart);
        QFETCH(QString, words);
        QFETCH(QString, shown);
        NoteEntry entry;
        entry.questionId = questionId;
        entry.stemStart = QStringLiteral("题干<开头>");
        entry.noteStart = noteStart;
        entry.changedAt = QDateTime(QDate(2026, 12, 8), QTime(9, 30));
        PageView view;
        TestSupport::ScriptErrorLog errors(&view);
        TestSupport::RecordingBridge bridge;
        bridge.attachTo(&view);
        TestSupport::BridgeBarrier barrier(&view);
        QVERIFY(TestSupport::loadPage(&view, HomePages::notesPage({entry}, words)));
        QCOMPARE(pageValue(&view, QStringLiteral("document.querySelector('.note_start').textContent")), shown);
        QCOMPARE(pageValue(&view, QStringLiteral("document.querySelector('.note_li a').textContent")),
                 QStringLiteral("题干<开头>"));
        QCOMPARE(pageValue(&view, QStringLiteral("document.getElementById('note_words').value")), words);
        QCOMPARE(pageValue(&view, QStringLiteral("document.querySelector('.note_li .sl').textContent")),
                 QStringLiteral("2026-12-08 09:30"));
        QCOMPARE(pageValue(&view, QStringLiteral("String(document.querySelectorAll('.note_li img, .note_li script').length)")),
                 QStringLiteral("0"));
        // The link's own script, as a click runs it.
        pageValue(&view, QStringLiteral("eval(document.querySelector('.note_li a').getAttribute('href').substring(11)); 1"));
        QVERIFY(barrier.wait());
        QCOMPARE(bridge.calls, QStringList{QStringLiteral("practiseNote(") + questionId + QLatin1Char(')')});
        QCOMPARE(errors.scriptErrors, QStringList());
    }

    // The search finds notes' words too: a hit by its title is marked when
    // its note holds the keyword, a question found only by its note follows;
    // another subject's note finds nothing.
    void searchFindsNotes_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("titleHits");
        QTest::addColumn<int>("noteHits");
        QTest::newRow("only in a note") << "km1" << "页表口诀" << 0 << 1;
        QTest::newRow("literal percent") << "km1" << "50%" << 0 << 1;
        QTest::newRow("percent is no wildcard") << "km1" << "5%" << 0 << 0;
        QTest::newRow("another subject's note") << "other" << "页表口诀" << 0 << 0;
    }

    void searchFindsNotes()
    {
        QFETCH(QString, subject);
        QFETCH(QString, keyword);
        QFETCH(int, titleHits);
        QFETCH(int, noteHits);
        Db db(TestSupport::sampleBankSql());
        QVERIFY(NoteStore::save(database(), SubjectScope(QStringLiteral("km1")), QStringLiteral("km1q002"),
                                QStringLiteral("页表口诀：50%先查快表"), QDateTime::currentDateTime()));
        QuestionSearch search(database(), keyword, SubjectScope(subject));
        QCOMPARE(search.finish(), QuestionSearch::Status::Done);
        int inNote = 0;
        for (const SearchHit &hit : search.hits())
            inNote += hit.inNote ? 1 : 0;
        QCOMPARE(search.hits().size() - inNote, titleHits);
        QCOMPARE(inNote, noteHits);
        const auto shown = search.render(0, search.hits().size(), 5, QString());
        for (const auto &q : shown) {
            QCOMPARE(q->html.startsWith(QLatin1String("<span class=\"note_hit\">")), noteHits > 0);
            QCOMPARE(q->id, QStringLiteral("km1q002"));
        }
    }

    // The wrong-question book's export carries the notes (a 笔记 column, GIFT
    // comment lines, Moodle XML comments) and reads back as the same
    // questions; an export without notes is as it always was.
    void exportCarriesNotes_data()
    {
        QTest::addColumn<QString>("note");
        QTest::newRow("none") << "";
        QTest::newRow("one line") << "先看页表";
        QTest::newRow("several lines and markup") << "第一行\n<b>第二行</b> {=x} // y";
        QTest::newRow("xml comment breakers") << "a--b-->c-";
    }

    void exportCarriesNotes()
    {
        QFETCH(QString, note);
        const QVector<BankQuestion> questions{choice(QStringLiteral("第一题"), note), choice(QStringLiteral("第二题"), QString())};
        const QVector<QStringList> rows = SheetExporter::rows(questions);
        QCOMPARE(rows.first().contains(QStringLiteral("笔记")), !note.isEmpty());
        if (!note.isEmpty()) {
            QCOMPARE(rows.at(1).last(), note);
            QCOMPARE(rows.at(2).last(), QString());
        }
        const QString gift = GiftExporter::write(questions);
        QCOMPARE(gift.contains(QStringLiteral("// 笔记: ")), !note.isEmpty());
        const ParsedBank fromGift = GiftParser::parse(gift);
        QCOMPARE(fromGift.questions.size(), 2);
        QCOMPARE(fromGift.questions.first().stemHtml, QStringLiteral("第一题"));
        const QByteArray xml = MoodleXmlExporter::write(questions, QString());
        QCOMPARE(xml.contains("<!-- 笔记: "), !note.isEmpty());
        const ParsedBank fromXml = MoodleXmlParser::parse(xml);
        QCOMPARE(fromXml.questions.size(), 2);
        QCOMPARE(fromXml.questions.first().explanationHtml, QStringLiteral("因为甲"));
    }

    // The printed book shows each note as text under its question; a printed
    // paper shows none.
    void printedBookCarriesNotes_data()
    {
        QTest::addColumn<bool>("book");
        QTest::addColumn<int>("answers");
        QTest::newRow("book, answers after each") << true << int(PrintDocument::Answers::AfterEach);
        QTest::newRow("book, key at the end") << true << int(PrintDocument::Answers::KeyAtEnd);
        QTest::newRow("paper") << false << int(PrintDocument::Answers::AfterEach);
    }

    void printedBookCarriesNotes()
    {
        QFETCH(bool, book);
        QFETCH(int, answers);
        Db db(TestSupport::sampleBankSql());
        QVERIFY(Db::exec(QStringLiteral(
            "insert into error_answer(questionId,subjectId,examid,fuleixingid,sequence) values('km1q001','km1','km1p1','km1f1',1);")));
        QVERIFY(NoteStore::save(database(), SubjectScope(), QStringLiteral("km1q001"), QStringLiteral("<i>记</i> & 背"),
                                QDateTime::currentDateTime()));
        PrintDocument document(database(), QStringLiteral("/opt/tessera/"));
        const QString html = book ? document.wrongBook(QString(), PrintDocument::Answers(answers))
                                  : document.paper(QStringLiteral("km1p1"), PrintDocument::Answers(answers));
        QCOMPARE(html.count(QStringLiteral("<div class=\"pq_note\"><b>笔记：</b>&lt;i&gt;记&lt;/i&gt; &amp; 背</div>")),
                 book ? 1 : 0);
        QVERIFY(!html.contains(QStringLiteral("<i>记</i>")));
    }

    // The book read for export holds its wrong questions with their notes;
    // the bank's own export never reads a note.
    void wrongBookReadsNotes()
    {
        Db db(TestSupport::sampleBankSql());
        QVERIFY(Db::exec(QStringLiteral(
            "insert into error_answer(questionId,subjectId,examid,fuleixingid,sequence) values('km1q002','km1','km1p1','km1f1',2);\n"
            "insert into error_answer(questionId,subjectId,examid,fuleixingid,sequence) values('km1q001','km1','km1p1','km1f1',1);")));
        QVERIFY(NoteStore::save(database(), SubjectScope(QStringLiteral("km1")), QStringLiteral("km1q002"),
                                QStringLiteral("记住"), QDateTime::currentDateTime()));
        BankReader reader(database());
        const QVector<BankQuestion> book = reader.wrongBook(SubjectScope(QStringLiteral("km1")));
        QCOMPARE(book.size(), 2);
        QCOMPARE(book.at(0).note, QString());
        QCOMPARE(book.at(1).note, QStringLiteral("记住"));
        QVERIFY(!BankQuestion::anyNote(reader.paper(QStringLiteral("km1p1"))));
        QVERIFY(!BankQuestion::anyNote(reader.subject(QStringLiteral("km1"))));
    }
};

TESSERA_TEST_MAIN(NotePagesTest)
#include "tst_notepages.moc"
