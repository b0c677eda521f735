#include "testsupport.h"

#include "determine.h"
#include "examdatedialog.h"
#include "examrenli.h"
#include "fwelcome.h"
#include "guidedialog.h"
#include "importdialog.h"
#include "infoform.h"
#include "loginform.h"
#include "mainwindow.h"
#include "paperdrawdialog.h"
#include "prompt.h"
#include "restorebackupdialog.h"
#include "soquestion.h"
#include "subject.h"

#include <QAccessible>
#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>

namespace {

// A control the reader can reach (by Tab, click or a screen reader's review)
// and that must therefore say what it is.
bool isControl(QWidget *widget)
{
    return widget->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton *>(widget);
}

// The controls of window whose accessible name is empty, by object name and
// class; "" when every one has a name.
QString unnamedControls(QWidget *window)
{
    QStringList out;
    for (QWidget *child : window->findChildren<QWidget *>()) {
        // The page engines' own inner widgets speak for the page view that
        // holds them; a popup (a combo box's list) is a window of its own.
        if (!isControl(child) || child->isHidden() || child->window() != window || qobject_cast<PageView *>(child->parentWidget())
            || (child->parentWidget() && qobject_cast<PageView *>(child->parentWidget()->parentWidget())))
            continue;
        if (child->focusProxy())
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(child);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            out << child->objectName() + QLatin1Char('(') + QLatin1String(child->metaObject()->className())
                    + QLatin1Char(')');
    }
    return out.join(QStringLiteral(", "));
}

// Pairs of controls where Tab goes back against the reading order (up, or
// left within a row); "" when focus reads as the window does. Tab goes round,
// so one step back (from the last control to the first) is the wrap.
QString focusAgainstReading(QWidget *window)
{
    QList<QWidget *> chain;
    QWidget *first = window->nextInFocusChain();
    for (QWidget *w = first; w && w != window; w = w->nextInFocusChain()) {
        if (w->isVisibleTo(window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()
            && w->window() == window)
            chain << w;
        if (chain.size() > 200)
            break;
    }
    QStringList out;
    const auto place = [window](QWidget *w) { return w->mapTo(window, QPoint(0, 0)); };
    for (int i = 0; i < chain.size() && chain.size() > 1; ++i) {
        QWidget *from = chain.at(i);
        QWidget *to = chain.at((i + 1) % chain.size());
        const QPoint before = place(from);
        const QPoint after = place(to);
        const int rowTolerance = qMin(from->height(), to->height()) / 2;
        const bool sameRow = qAbs(after.y() - before.y()) <= rowTolerance;
        if ((sameRow && after.x() < before.x()) || (!sameRow && after.y() < before.y()))
            out << QStringLiteral("%1 (%2,%3) -> %4 (%5,%6)")
                       .arg(from->objectName()).arg(before.x()).arg(before.y())
                       .arg(to->objectName()).arg(after.x()).arg(after.y());
    }
    return out.size() <= 1 ? QString() : out.join(QStringLiteral(", "));
}

// Of the page in view: buttons, links acting as buttons, and input boxes that
// a screen reader would read without a name.
const QString unlabelledScript = QStringLiteral(
    "(function(){var out=[];"
    "function text(e){return (e.getAttribute('aria-label')||'').trim()||(e.getAttribute('title')||'').trim();}"
    "function labelled(e){if(text(e))return true;if(e.id){var l=document.querySelectorAll('label');"
    "for(var i=0;i<l.length;++i)if(l[i].htmlFor===e.id&&l[i].textContent.trim())return true;}"
    "for(var p=e.parentNode;p;p=p.parentNode)if(p.tagName==='LABEL'&&p.textContent.trim())return true;return false;}"
    "var all=document.querySelectorAll('input,button,textarea,select,a');"
    "for(var i=0;i<all.length;++i){var e=all[i];var t=(e.getAttribute('type')||'').toLowerCase();"
    "if(t==='hidden'||e.offsetParent===null)continue;var ok;"
    "if(e.tagName==='A'||e.tagName==='BUTTON')ok=labelled(e)||e.textContent.trim().length>0;"
    "else if(t==='button'||t==='submit')ok=labelled(e)||(e.value||'').trim().length>0;"
    "else ok=labelled(e);"
    "if(!ok)out.push(e.tagName+'#'+(e.id||'')+'.'+e.className);}"
    "return out.join(', ');})()");

QString unlabelledOnPage(PageView *view)
{
    return TestSupport::pageValue(view, unlabelledScript).toString();
}

// The exam window shown on paper E, with its first pages in.
bool openOnPaperE(ExamRenLi &exam)
{
    exam.paperId = QStringLiteral("E");
    exam.examStatus = 0;
    exam.show();
    return QTest::qWaitFor([&exam] { return exam.paper && exam.paper->startTime.isValid() && !exam.pagesLoading(); },
                           15000);
}

// The aria-label of every element a selector finds on the page, joined by "|".
QString ariaLabels(PageView *view, const QString &selector)
{
    return TestSupport::pageValue(view, QStringLiteral(
        "(function(){var b=document.querySelectorAll('%1');var n=[];"
        "for(var i=0;i<b.length;++i)n.push(b[i].getAttribute('aria-label'));return n.join('|');})()").arg(selector))
        .toString();
}

} // namespace

class AccessibleTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::FreshDatabase> db;

private slots:
    void initTestCase()
    {
        db = std::make_unique<TestSupport::FreshDatabase>(TestSupport::fixtureSql(QStringLiteral("examwindow_bank.sql")));
        QVERIFY(db->ok());
    }

    void everyControlHasAName_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *name : {"main", "search", "login", "candidate", "choice", "notice", "subject", "exam date",
                                 "paper draw", "restore backup", "import", "guide"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void everyControlHasAName()
    {
        QFETCH(QString, window);
        QTemporaryDir folder;
        std::unique_ptr<QWidget> shown;
        if (window == QLatin1String("main"))
            shown = std::make_unique<MainWindow>();
        else if (window == QLatin1String("search"))
            shown = std::make_unique<SoQuestion>();
        else if (window == QLatin1String("login"))
            shown = std::make_unique<LoginForm>();
        else if (window == QLatin1String("candidate"))
            shown = std::make_unique<InfoForm>();
        else if (window == QLatin1String("choice"))
            shown = std::make_unique<Determine>();
        else if (window == QLatin1String("notice"))
            shown = std::make_unique<Prompt>();
        else if (window == QLatin1String("subject"))
            shown = std::make_unique<Subject>();
        else if (window == QLatin1String("exam date"))
            shown = std::make_unique<ExamDateDialog>(QDate(2027, 5, 1), QDate(2026, 12, 8));
        else if (window == QLatin1String("paper draw"))
            shown = std::make_unique<PaperDrawDialog>(QStringLiteral("S1"), QDate(2026, 12, 8));
        else if (window == QLatin1String("restore backup"))
            shown = std::make_unique<RestoreBackupDialog>(db->path());
        else if (window == QLatin1String("guide"))
            shown = std::make_unique<GuideDialog>();
        else if (window == QLatin1String("import")) {
            const QString path = folder.filePath(QStringLiteral("练习.gift"));
            QVERIFY(TestSupport::writeFile(path, "::a::Q1 {T}\n\n::b::Q2 {=x ~y}\n"));
            shown = std::make_unique<ImportDialog>(path, TestSupport::database(), folder.filePath(QStringLiteral("img")));
        }
        QVERIFY(shown);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        QCOMPARE(unnamedControls(shown.get()), QString());
        QCOMPARE(focusAgainstReading(shown.get()), QString());
    }

    void examWindowControlsHaveNames()
    {
        TestSupport::ModalCloser closer;
        ExamRenLi exam(0, 0, 1024, 740, 1);
        QVERIFY(openOnPaperE(exam));
        QCOMPARE(unnamedControls(&exam), QString());
        QCOMPARE(focusAgainstReading(&exam), QString());
        // The pages: option buttons, blanks and card entries carry names.
        QCOMPARE(unlabelledOnPage(exam.webExam), QString());
        QCOMPARE(unlabelledOnPage(exam.webbutton), QString());
        QCOMPARE(TestSupport::pageValue(exam.webbutton, QStringLiteral("document.querySelector('.a_list a').getAttribute('aria-label')"))
                     .toString(),
                 QStringLiteral("第 1 题"));
        // The composite's fill-in has two blanks, each named by its place.
        QString named;
        for (int move = 0; move < 4 && named.isEmpty(); ++move) {
            QMetaObject::invokeMethod(&exam, "on_pbUp_clicked");
            QTRY_VERIFY(!exam.pagesLoading() && !exam.flushingTypedAnswers());
            named = ariaLabels(exam.webExam, QStringLiteral("input[type=text]"));
            QCOMPARE(unlabelledOnPage(exam.webExam), QString());
        }
        QCOMPARE(named, QStringLiteral("填空 1|填空 2"));
        exam.countdownTimer->stop();
    }

    void optionButtonsNamedByLetterAndText()
    {
        TestSupport::ModalCloser closer;
        ExamRenLi exam(0, 0, 1024, 740, 1);
        QVERIFY(openOnPaperE(exam));
        const QString names = ariaLabels(exam.webExam, QStringLiteral("input.button_01"));
        QCOMPARE(names, QStringLiteral("选项 A：甲|选项 B：乙|选项 C：丙|选项 D：丁"));
        exam.countdownTimer->stop();
    }

    void homeAndSearchPagesLabelled()
    {
        Fwelcome home;
        home.resize(1200, 700);
        home.show();
        QVERIFY(TestSupport::waitForPage(home.mainWebView));
        QCOMPARE(unlabelledOnPage(home.mainWebView), QString());
        for (const char *slot : {"zhentiJS", "cuotiJS", "shoucangJS"}) {
            QMetaObject::invokeMethod(&home, slot);
            QVERIFY(TestSupport::waitForPage(home.mainWebView));
            QCOMPARE(unlabelledOnPage(home.mainWebView), QString());
        }
        home.homeAction(QStringLiteral("statistics"));
        QVERIFY(TestSupport::waitForPage(home.mainWebView));
        QCOMPARE(unlabelledOnPage(home.mainWebView), QString());

        SoQuestion search;
        search.show();
        search.runSearch(QStringLiteral("题"));
        QTRY_VERIFY_WITH_TIMEOUT(!search.searching(), 15000);
        QVERIFY(TestSupport::waitForPage(search.soWebView));
        QCOMPARE(unlabelledOnPage(search.soWebView), QString());
    }
};

TESSERA_TEST_MAIN(AccessibleTest)
#include "tst_accessible.moc"
