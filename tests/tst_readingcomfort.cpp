#include "testsupport.h"

#include "examrenli.h"
#include "fwelcome.h"
#include "pagetheme.h"
#include "pagetext.h"
#include "pageview.h"
#include "readingcomfort.h"
#include "settingsstore.h"
#include "soquestion.h"
#include "textsize.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>

using TextSize::KeyCommand;
using TextSize::Step;
using PageTheme::Theme;

namespace {

// The screen the largest size must still fit.
const QSize smallScreen(1366, 768);

// Of the page in view: elements reaching past the right edge of the viewport
// ("" when none), so that nothing is cut off or needs a sideways scroll.
const QString clippedScript = QStringLiteral(
    "(function(){var w=document.documentElement.clientWidth;var out=[];"
    "if(document.documentElement.scrollWidth>w+1)out.push('scrollWidth '+document.documentElement.scrollWidth+'>'+w);"
    "var all=document.querySelectorAll('body *');"
    "for(var i=0;i<all.length&&out.length<6;++i){var r=all[i].getBoundingClientRect();"
    "if(r.width>0&&r.right>w+1)out.push(all[i].tagName+'#'+all[i].id+'.'+all[i].className+' right '+Math.round(r.right)+'>'+w);}"
    "return out.join('; ');})()");

// An engine may keep the zoom in single precision.
bool sameZoom(qreal shown, qreal asked)
{
    return qAbs(shown - asked) < 0.001;
}

QString pageValue(PageView *view, const QString &script)
{
    return TestSupport::pageValue(view, script).toString();
}

// Native controls of window cut by the window's edge, or narrower or lower
// than their text needs; "" when none.
QString clippedControls(QWidget *window)
{
    QStringList out;
    const QRect area = window->rect();
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (!child->isVisible() || !(qobject_cast<QAbstractButton *>(child) || qobject_cast<QLabel *>(child)))
            continue;
        const QRect placed(child->mapTo(window, QPoint(0, 0)), child->size());
        if (!area.contains(placed))
            out << child->objectName() + QStringLiteral(" outside the window");
        const auto *label = qobject_cast<QLabel *>(child);
        const bool text = label ? !label->text().isEmpty() && !label->wordWrap()
                                : !static_cast<QAbstractButton *>(child)->text().isEmpty();
        if (text && child->width() < child->minimumSizeHint().width())
            out << child->objectName() + QStringLiteral(" narrower than its text");
        if (text && child->height() < child->minimumSizeHint().height())
            out << child->objectName() + QStringLiteral(" lower than its text (%1 < %2)").arg(child->height()).arg(child->minimumSizeHint().height());
    }
    return out.join(QStringLiteral("; "));
}

// The exam window on paper "E", ready, every dialog closed on its own.
struct OpenExam
{
    OpenExam()
        : window(0, 0, smallScreen.width(), smallScreen.height(), 1)
    {
        window.paperId = QStringLiteral("E");
        window.examStatus = 0;
        window.show();
        window.setGeometry(QRect(QPoint(0, 0), smallScreen));
        ready = QTest::qWaitFor([this] {
            return window.paper && window.paper->startTime.isValid() && !window.pagesLoading();
        }, 15000);
    }
    ~OpenExam() { window.countdownTimer->stop(); }

    TestSupport::ModalCloser closer;
    ExamRenLi window;
    bool ready = false;
};

} // namespace

class ReadingComfortTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::FreshDatabase> db;
    std::unique_ptr<ReadingComfort> comfort;

private slots:
    void initTestCase()
    {
        db = std::make_unique<TestSupport::FreshDatabase>(TestSupport::fixtureSql(QStringLiteral("examwindow_bank.sql")));
        QVERIFY(db->ok());
        comfort = std::make_unique<ReadingComfort>();
    }

    void init()
    {
        comfort->setTextSize(Step::Medium);
        comfort->setTheme(Theme::Day);
    }

    void sizeSteps_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("expected");
        const auto row = [](const char *name, Step start, KeyCommand command, Step expected) {
            QTest::newRow(name) << int(start) << int(command) << int(expected);
        };
        row("larger from the standard size", Step::Medium, KeyCommand::Larger, Step::Large);
        row("larger up to the largest", Step::Large, KeyCommand::Larger, Step::ExtraLarge);
        row("larger stops at the largest", Step::ExtraLarge, KeyCommand::Larger, Step::ExtraLarge);
        row("smaller from the standard size", Step::Medium, KeyCommand::Smaller, Step::Small);
        row("smaller stops at the smallest", Step::Small, KeyCommand::Smaller, Step::Small);
        row("reset from the largest", Step::ExtraLarge, KeyCommand::Reset, Step::Medium);
        row("reset from the smallest", Step::Small, KeyCommand::Reset, Step::Medium);
        row("no command keeps the size", Step::Large, KeyCommand::None, Step::Large);
    }

    void sizeSteps()
    {
        QFETCH(int, start);
        QFETCH(int, command);
        QFETCH(int, expected);
        QCOMPARE(int(TextSize::applied(Step(start), KeyCommand(command))), expected);
    }

    void sizesGrowInOrder()
    {
        const QList<Step> steps{Step::Small, Step::Medium, Step::Large, Step::ExtraLarge};
        QCOMPARE(TextSize::factor(Step::Medium), 1.0);
        for (int i = 1; i < steps.size(); ++i)
            QVERIFY(TextSize::factor(steps.at(i)) > TextSize::factor(steps.at(i - 1)));
        QCOMPARE(TextSize::label(Step::ExtraLarge), QStringLiteral("特大"));
    }

    void keyCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("command");
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("Ctrl+=") << int(Qt::Key_Equal) << ctrl << int(KeyCommand::Larger);
        QTest::newRow("Ctrl+Shift++") << int(Qt::Key_Plus) << int(ctrl | Qt::ShiftModifier) << int(KeyCommand::Larger);
        QTest::newRow("Ctrl and the keypad's +") << int(Qt::Key_Plus) << int(ctrl | Qt::KeypadModifier)
                                                 << int(KeyCommand::Larger);
        QTest::newRow("Ctrl+-") << int(Qt::Key_Minus) << ctrl << int(KeyCommand::Smaller);
        QTest::newRow("Ctrl and the keypad's -") << int(Qt::Key_Minus) << int(ctrl | Qt::KeypadModifier)
                                                 << int(KeyCommand::Smaller);
        QTest::newRow("Ctrl+0") << int(Qt::Key_0) << ctrl << int(KeyCommand::Reset);
        QTest::newRow("= alone is typed text") << int(Qt::Key_Equal) << 0 << int(KeyCommand::None);
        QTest::newRow("0 alone is typed text") << int(Qt::Key_0) << 0 << int(KeyCommand::None);
        QTest::newRow("Ctrl+Alt+= is another shortcut") << int(Qt::Key_Equal) << int(ctrl | Qt::AltModifier)
                                                        << int(KeyCommand::None);
        QTest::newRow("Ctrl+1 is no size key") << int(Qt::Key_1) << ctrl << int(KeyCommand::None);
        QTest::newRow("Ctrl+A selects") << int(Qt::Key_A) << ctrl << int(KeyCommand::None);
    }

    void keyCommands()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, command);
        QCOMPARE(int(TextSize::keyCommand(key, Qt::KeyboardModifiers(modifiers))), command);
    }

    void storedSizes_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        for (Step step : {Step::Small, Step::Medium, Step::Large, Step::ExtraLarge})
            QTest::newRow(qPrintable(QStringLiteral("round trip ") + TextSize::storedName(step)))
                << TextSize::storedName(step) << int(step);
        QTest::newRow("nothing stored yet") << QString() << int(Step::Medium);
        QTest::newRow("an unknown name") << QStringLiteral("huge") << int(Step::Medium);
        QTest::newRow("names are exact") << QStringLiteral("LARGE") << int(Step::Medium);
    }

    void storedSizes()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        QCOMPARE(int(TextSize::fromStoredName(stored)), expected);
    }

    void themeFromDesktop_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<int>("expected");
        QTest::newRow("white window") << QColor(Qt::white) << int(Theme::Day);
        QTest::newRow("light grey window") << QColor(0xef, 0xef, 0xef) << int(Theme::Day);
        QTest::newRow("dark grey window") << QColor(0x2b, 0x2b, 0x2b) << int(Theme::Night);
        QTest::newRow("dark blue window") << QColor(0x1e, 0x23, 0x3c) << int(Theme::Night);
        QTest::newRow("just light enough") << QColor(0x80, 0x80, 0x80) << int(Theme::Day);
        QTest::newRow("just too dark") << QColor(0x7f, 0x7f, 0x7f) << int(Theme::Night);
    }

    void themeFromDesktop()
    {
        QFETCH(QColor, window);
        QFETCH(int, expected);
        QCOMPARE(int(PageTheme::fromWindowColour(window)), expected);
    }

    void storedThemes_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("night") << QStringLiteral("night") << int(Theme::Night) << true;
        QTest::newRow("day") << QStringLiteral("day") << int(Theme::Day) << true;
        QTest::newRow("never chosen") << QString() << int(Theme::Day) << false;
        QTest::newRow("an unknown name is no choice") << QStringLiteral("Night") << int(Theme::Day) << false;
    }

    void storedThemes()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        QFETCH(bool, chosen);
        bool ok = !chosen;
        QCOMPARE(int(PageTheme::fromStoredName(stored, &ok)), expected);
        QCOMPARE(ok, chosen);
    }

    void rememberedAcrossStarts()
    {
        QVERIFY(comfort->setTextSize(Step::ExtraLarge));
        QVERIFY(comfort->setTheme(Theme::Night));
        comfort.reset();
        comfort = std::make_unique<ReadingComfort>();
        QCOMPARE(int(comfort->textSize()), int(Step::ExtraLarge));
        QCOMPARE(int(comfort->theme()), int(Theme::Night));
        QCOMPARE(SettingsStore::value(QStringLiteral("textSize")), QStringLiteral("extraLarge"));
    }

    void oddStoredValuesReadAsStandard()
    {
        QVERIFY(SettingsStore::setValue(QStringLiteral("textSize"), QStringLiteral("'; DROP TABLE app_setting;--")));
        QVERIFY(SettingsStore::setValue(QStringLiteral("theme"), QStringLiteral("purple")));
        comfort.reset();
        comfort = std::make_unique<ReadingComfort>();
        QCOMPARE(int(comfort->textSize()), int(Step::Medium));
        // No choice stored: the desktop's colour decides, as at a first start.
        QCOMPARE(int(comfort->theme()),
                 int(PageTheme::fromWindowColour(ReadingComfort::dayPalette().color(QPalette::Window))));
    }

    void keysStepEveryWindow_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("a plain window") << QStringLiteral("window");
        QTest::newRow("a text box") << QStringLiteral("text box");
        QTest::newRow("a page") << QStringLiteral("page");
    }

    void keysStepEveryWindow()
    {
        QFETCH(QString, target);
        QWidget window;
        auto *box = new QLineEdit(&window);
        auto *view = new PageView(&window);
        view->setGeometry(0, 40, 300, 200);
        window.resize(320, 260);
        window.show();
        QVERIFY(TestSupport::loadPage(view, QStringLiteral("<html><body><p>页</p></body></html>")));
        QWidget *receiver = target == QLatin1String("page") ? view->inputWidget()
            : target == QLatin1String("text box")           ? static_cast<QWidget *>(box)
                                                            : &window;
        QVERIFY(receiver);
        QTest::keyClick(receiver, Qt::Key_Equal, Qt::ControlModifier);
        QTest::keyClick(receiver, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(int(comfort->textSize()), int(Step::ExtraLarge));
        QVERIFY(sameZoom(view->zoomFactor(), TextSize::factor(Step::ExtraLarge)));
        // The key is taken for the size: a text box gets no "=".
        QCOMPARE(box->text(), QString());
        QTest::keyClick(receiver, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(int(comfort->textSize()), int(Step::Large));
        QTest::keyClick(receiver, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(int(comfort->textSize()), int(Step::Medium));
        QVERIFY(sameZoom(view->zoomFactor(), 1.0));
        QCOMPARE(SettingsStore::value(QStringLiteral("textSize")), QStringLiteral("medium"));
    }

    void windowFontsScaleTogether()
    {
        QWidget window;
        auto *plain = new QLabel(QStringLiteral("正文"), &window);
        auto *own = new QLabel(QStringLiteral("标题"), &window);
        QFont big = own->font();
        big.setPointSizeF(20);
        own->setFont(big);
        auto *bold = new QLabel(QStringLiteral("加粗"), &window);
        QFont heavy = bold->font();
        heavy.setBold(true);
        bold->setFont(heavy);
        window.show();
        const qreal plainSize = plain->font().pointSizeF();
        comfort->setTextSize(Step::ExtraLarge);
        QCOMPARE(own->font().pointSizeF(), 20 * 1.4);
        QCOMPARE(plain->font().pointSizeF(), plainSize * 1.4);
        QCOMPARE(bold->font().pointSizeF(), plain->font().pointSizeF());
        QVERIFY(bold->font().bold());
        comfort->setTextSize(Step::Small);
        QCOMPARE(own->font().pointSizeF(), 20 * 0.9);
        comfort->setTextSize(Step::Medium);
        QCOMPARE(own->font().pointSizeF(), 20.0);
        QCOMPARE(plain->font().pointSizeF(), plainSize);
    }

    void nightPagesReadTheirColours_data()
    {
        QTest::addColumn<int>("theme");
        QTest::addColumn<int>("look");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        const QString ground = QStringLiteral("getComputedStyle(document.body).backgroundColor");
        const QString text = QStringLiteral("getComputedStyle(document.querySelector('.content p')).color");
        const QString option = QStringLiteral("getComputedStyle(document.getElementById('o1')).backgroundColor");
        const QString picture = QStringLiteral("getComputedStyle(document.querySelector('.content img')).backgroundColor");
        const int full = int(PageView::ReadingLook::Full);
        const int sizeOnly = int(PageView::ReadingLook::SizeOnly);
        const int day = int(Theme::Day);
        const int night = int(Theme::Night);
        QTest::newRow("day ground") << day << full << ground << QStringLiteral("rgb(244, 250, 251)");
        QTest::newRow("night ground") << night << full << ground << QStringLiteral("rgb(23, 32, 35)");
        QTest::newRow("day question text") << day << full << text << QStringLiteral("rgb(33, 65, 74)");
        QTest::newRow("night question text") << night << full << text << QStringLiteral("rgb(213, 227, 230)");
        QTest::newRow("night option button") << night << full << option << QStringLiteral("rgb(31, 41, 45)");
        QTest::newRow("night picture keeps white paper") << night << full << picture
                                                         << QStringLiteral("rgb(255, 255, 255)");
        QTest::newRow("night picture not inverted") << night << full
            << QStringLiteral("(getComputedStyle(document.querySelector('.content img')).webkitFilter || 'none')")
            << QStringLiteral("none");
        QTest::newRow("a test centre's page keeps the day ground") << night << sizeOnly << ground
                                                                   << QStringLiteral("rgb(244, 250, 251)");
        QTest::newRow("a test centre's page keeps the day text") << night << sizeOnly << text
                                                                 << QStringLiteral("rgb(33, 65, 74)");
    }

    void nightPagesReadTheirColours()
    {
        QFETCH(int, theme);
        QFETCH(int, look);
        QFETCH(QString, script);
        QFETCH(QString, expected);
        comfort->setTheme(Theme(theme));
        PageView view;
        view.setReadingLook(PageView::ReadingLook(look));
        view.resize(600, 400);
        const QString base = appFileUrlBase();
        const QString page = QStringLiteral("<html><head><link href=\"") + base
            + QStringLiteral("css/maincss.css\" rel=\"stylesheet\"/><link href=\"") + base
            + QStringLiteral("css/welcss.css\" rel=\"stylesheet\"/></head><body><div class=\"content\"><p>题干</p>"
                             "<img src=\"images/a1.png\"/><div class=\"option\"><input type=\"button\" id=\"o1\" "
                             "class=\"button_01\" value=\"A.\"/><label for=\"o1\">甲</label></div></div></body></html>");
        QVERIFY(TestSupport::loadPage(&view, page));
        QTRY_COMPARE(pageValue(&view, script), expected);
    }

    void themeSwitchesShownPages()
    {
        PageView view;
        view.resize(400, 300);
        const QString page = QStringLiteral("<html><head><link href=\"") + appFileUrlBase()
            + QStringLiteral("css/maincss.css\" rel=\"stylesheet\"/></head><body>正文</body></html>");
        QVERIFY(TestSupport::loadPage(&view, page));
        const QString ground = QStringLiteral("getComputedStyle(document.body).backgroundColor");
        QTRY_COMPARE(pageValue(&view, ground), QStringLiteral("rgb(244, 250, 251)"));
        comfort->setTheme(Theme::Night);
        QTRY_COMPARE(pageValue(&view, ground), QStringLiteral("rgb(23, 32, 35)"));
        comfort->setTheme(Theme::Day);
        QTRY_COMPARE(pageValue(&view, ground), QStringLiteral("rgb(244, 250, 251)"));
    }

    void widgetPaletteSwitched()
    {
        const QColor dayWindow = ReadingComfort::dayPalette().color(QPalette::Window);
        QWidget plain;
        ExamRenLi exam(0, 0, 1024, 740, 1);
        comfort->setTheme(Theme::Night);
        QCOMPARE(int(PageTheme::fromWindowColour(QApplication::palette().color(QPalette::Window))), int(Theme::Night));
        QCOMPARE(int(PageTheme::fromWindowColour(plain.palette().color(QPalette::Window))), int(Theme::Night));
        QVERIFY(plain.palette().color(QPalette::WindowText).lightness() > 160);
        // The simulated test keeps a test centre's look.
        QCOMPARE(exam.palette().color(QPalette::Window), dayWindow);
        QCOMPARE(exam.lCount->palette().color(QPalette::WindowText),
                 ReadingComfort::dayPalette().color(QPalette::WindowText));
        // And draws it so: the labels under the window's style sheets are
        // painted with dark text, not the night palette's light one.
        exam.lCount->setText(QStringLiteral("总题数：88题"));
        const QImage drawn = exam.lCount->grab().toImage();
        int darkest = 255;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                darkest = qMin(darkest, QColor(drawn.pixel(x, y)).lightness());
        QVERIFY2(darkest < 90, qPrintable(QString::number(darkest)));
        comfort->setTheme(Theme::Day);
        QCOMPARE(QApplication::palette().color(QPalette::Window), dayWindow);
        QCOMPARE(plain.palette().color(QPalette::Window), dayWindow);
    }

    // Each page at each size: the zoom reaches the page and nothing runs past
    // its right edge.
    void pagesAtEachSize_data()
    {
        QTest::addColumn<int>("size");
        for (Step step : {Step::Small, Step::Medium, Step::Large, Step::ExtraLarge})
            QTest::newRow(qPrintable(TextSize::storedName(step))) << int(step);
    }

    void pagesAtEachSize()
    {
        QFETCH(int, size);
        comfort->setTextSize(Step(size));
        OpenExam exam;
        QVERIFY(exam.ready);
        for (PageView *view : {exam.window.webExam, exam.window.webbutton}) {
            const qreal zoom = TextSize::factor(Step(size));
            QVERIFY(sameZoom(view->zoomFactor(), zoom));
            // The page is laid out in a viewport the zoom has narrowed.
            const int inner = pageValue(view, QStringLiteral("String(window.innerWidth)")).toInt();
            QVERIFY2(qAbs(inner * zoom - view->width()) < 3 * zoom + 1,
                     qPrintable(QStringLiteral("%1 css px for %2 px").arg(inner).arg(view->width())));
            QCOMPARE(pageValue(view, clippedScript), QString());
        }
    }

    void examWindowWholeAtLargestSize()
    {
        comfort->setTextSize(Step::ExtraLarge);
        OpenExam exam;
        QVERIFY(exam.ready);
        QVERIFY2(exam.window.minimumSizeHint().width() <= smallScreen.width()
                     && exam.window.minimumSizeHint().height() <= smallScreen.height(),
                 qPrintable(QStringLiteral("needs %1x%2").arg(exam.window.minimumSizeHint().width())
                                .arg(exam.window.minimumSizeHint().height())));
        QCOMPARE(clippedControls(&exam.window), QString());
        // The answer card stays usable: every entry wide enough to hit, in view
        // across, the card scrolling down when it is long.
        const QString entries = QStringLiteral(
            "(function(){var w=document.documentElement.clientWidth;var a=document.querySelectorAll('.a_list a');"
            "if(!a.length)return 'no entries';for(var i=0;i<a.length;++i){var r=a[i].getBoundingClientRect();"
            "if(r.width<20||r.height<18||r.right>w+1)return a[i].id+' '+r.width+'x'+r.height;}return '';})()");
        QCOMPARE(pageValue(exam.window.webbutton, entries), QString());
        QVERIFY(exam.window.webbutton->width() >= 150);
    }

    void searchAndHomeWholeAtLargestSize()
    {
        comfort->setTextSize(Step::ExtraLarge);
        SoQuestion search;
        search.show();
        search.setGeometry(QRect(QPoint(0, 0), smallScreen));
        search.runSearch(QStringLiteral("题"));
        QTRY_VERIFY_WITH_TIMEOUT(!search.searching(), 15000);
        QVERIFY(TestSupport::waitForPage(search.soWebView));
        QCOMPARE(clippedControls(&search), QString());
        QCOMPARE(pageValue(search.soWebView, clippedScript), QString());

        Fwelcome home;
        home.resize(smallScreen.width(), smallScreen.height() - 90);
        home.show();
        QVERIFY(TestSupport::waitForPage(home.mainWebView));
        QCOMPARE(pageValue(home.mainWebView, clippedScript), QString());
        home.homeAction(QStringLiteral("statistics"));
        QTRY_VERIFY(pageValue(home.mainWebView, QStringLiteral("String(!!document.querySelector('h2'))"))
                    == QLatin1String("true"));
        QCOMPARE(pageValue(home.mainWebView, clippedScript), QString());
    }

    void homeOffersSizeAndTheme()
    {
        Fwelcome home;
        home.resize(1200, 700);
        home.show();
        QVERIFY(TestSupport::waitForPage(home.mainWebView));
        home.homeAction(QStringLiteral("nightTheme"));
        QCOMPARE(int(comfort->theme()), int(Theme::Night));
        QCOMPARE(SettingsStore::value(QStringLiteral("theme")), QStringLiteral("night"));
        home.homeAction(QStringLiteral("nightTheme"));
        QCOMPARE(int(comfort->theme()), int(Theme::Day));
        home.homeAction(QStringLiteral("textSize"));
        auto *menu = home.findChild<QMenu *>(QStringLiteral("textSizeMenu"));
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 4);
        menu->actions().at(2)->trigger();
        menu->close();
        QCOMPARE(int(comfort->textSize()), int(Step::Large));
        QTRY_VERIFY(pageValue(home.mainWebView, QStringLiteral("document.body.textContent")).contains(QStringLiteral("字号")));
    }

    void cleanupTestCase()
    {
        comfort.reset();
    }
};

TESSERA_TEST_MAIN(ReadingComfortTest)
#include "tst_readingcomfort.moc"
