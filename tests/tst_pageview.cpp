#include "pagetext.h"
#include "pageview.h"
#include "testsupport.h"

#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QLabel>
#include <QTcpServer>

using TestSupport::pageValue;

// The page-view seam, on whichever engine is built in: scripts wait for their
// page, values come back through continuations, every page carries the same
// guard, and nothing is loaded from the network.
class PageViewTest : public QObject
{
    Q_OBJECT

private slots:
    void scriptsWaitForTheirPage()
    {
        PageView view;
        QStringList order;
        view.setHtml(TestSupport::programPage(QStringLiteral("var ready = 'yes';"), QStringLiteral("<p id='p'>x</p>")));
        for (const QString &name : {QStringLiteral("first"), QStringLiteral("second")})
            view.runScript(QStringLiteral("typeof ready === 'string' ? '%1' : 'early'").arg(name),
                           [&order](const QVariant &value) { order << value.toString(); });
        QTRY_COMPARE_WITH_TIMEOUT(order, QStringList({"first", "second"}), 10000);
    }

    void replacedPageDropsWaitingScripts()
    {
        PageView view;
        QStringList answers;
        view.setHtml(TestSupport::programPage(QString(), QStringLiteral("<p>one</p>")));
        view.runScript(QStringLiteral("'from the first page'"), [&answers](const QVariant &v) { answers << v.toString(); });
        QVERIFY(TestSupport::loadPage(&view, QStringLiteral("<html><body><p>two</p></body></html>")));
        QCOMPARE(pageValue(&view, QStringLiteral("document.body.textContent")).toString(), QStringLiteral("two"));
        if (!answers.isEmpty())
            QCOMPARE(answers, QStringList({"from the first page"}));
        QCOMPARE(pageValue(&view, QStringLiteral("window.tesseraPage > 1")).toBool(), true);
    }

    void stampKeepsTheLayoutMode_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("mode");
        QTest::newRow("doctype and head") << QStringLiteral("<!DOCTYPE html><html><head></head><body>x</body></html>")
                                          << QStringLiteral("CSS1Compat");
        QTest::newRow("xhtml doctype, head with attributes")
            << QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                              "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\"> "
                              "<html><head profile='x'></head><body>x</body></html>")
            << QStringLiteral("CSS1Compat");
        QTest::newRow("doctype without head") << QStringLiteral("<!doctype html><p>x</p>") << QStringLiteral("CSS1Compat");
        QTest::newRow("no doctype") << QStringLiteral("<html><body><header>x</header></body></html>")
                                    << QStringLiteral("BackCompat");
    }

    void stampKeepsTheLayoutMode()
    {
        QFETCH(QString, html);
        QFETCH(QString, mode);
        PageView view;
        QVERIFY(TestSupport::loadPage(&view, html));
        QCOMPARE(pageValue(&view, QStringLiteral("document.compatMode")).toString(), mode);
        QCOMPARE(pageValue(&view, QStringLiteral("document.body.textContent")).toString(), QStringLiteral("x"));
    }

    void everyPageIsGuarded_data()
    {
        QTest::addColumn<QString>("event");
        QTest::newRow("context menu") << QStringLiteral("contextmenu");
        QTest::newRow("copy") << QStringLiteral("copy");
        QTest::newRow("cut") << QStringLiteral("cut");
        QTest::newRow("drag out") << QStringLiteral("dragstart");
    }

    void everyPageIsGuarded()
    {
        QFETCH(QString, event);
        PageView view;
        QVERIFY(TestSupport::loadPage(&view, QStringLiteral("<html><body><p id='p'>text</p></body></html>")));
        const QString script = QStringLiteral(
            "(function () { var e = document.createEvent('Event'); e.initEvent('%1', true, true);"
            " document.getElementById('p').dispatchEvent(e); return e.defaultPrevented; })()").arg(event);
        QCOMPARE(pageValue(&view, script).toBool(), true);
    }

    void bridgeReachesThePublishedObject()
    {
        PageView view;
        TestSupport::RecordingBridge bridge;
        bridge.attachTo(&view);
        QVERIFY(TestSupport::loadPage(&view, QStringLiteral("<html><body>"
                                                            "<script>myjstest.openkaojuang('early');</script>"
                                                            "</body></html>")));
        view.runScript(QStringLiteral("myjstest.openkaojuang('p1'); myjstest.showshoucang('c2');"));
        QTRY_COMPARE_WITH_TIMEOUT(bridge.calls,
                                  QStringList({"openkaojuang(early)", "openkaojuang(p1)", "showshoucang(c2)"}), 10000);
    }

    void nothingLoadsFromTheNetwork_data()
    {
        QTest::addColumn<QString>("element");
        QTest::newRow("image") << QStringLiteral("<img src='http://127.0.0.1:%1/a.png'>");
        QTest::newRow("script") << QStringLiteral("<script src='http://127.0.0.1:%1/a.js'></script>");
        QTest::newRow("style sheet") << QStringLiteral("<link rel='stylesheet' href='http://127.0.0.1:%1/a.css'>");
        QTest::newRow("frame") << QStringLiteral("<iframe src='http://127.0.0.1:%1/'></iframe>");
        QTest::newRow("request from script")
            << QStringLiteral("<script>var r = new XMLHttpRequest(); r.open('GET', 'http://127.0.0.1:%1/x');"
                              " try { r.send(); } catch (e) {}</script>");
    }

    void nothingLoadsFromTheNetwork()
    {
        QFETCH(QString, element);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        PageView view;
        QVERIFY(TestSupport::loadPage(
            &view, QStringLiteral("<html><body>%1<p>x</p></body></html>").arg(element.arg(server.serverPort()))));
        // Give a request every chance to arrive.
        QTest::qWait(300);
        QVERIFY(!server.hasPendingConnections());
        QVERIFY(!server.waitForNewConnection(200));
    }

    // Windows lay out alike on both engines: in a layout beside widgets that
    // ask for no more than their size, the view takes the room left over.
    void viewTakesTheRoomLeft_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("labelsBefore");
        QTest::addColumn<int>("labelsAfter");

        QTest::newRow("below a label") << int(QBoxLayout::TopToBottom) << 1 << 0;
        QTest::newRow("between labels") << int(QBoxLayout::TopToBottom) << 2 << 1;
        QTest::newRow("beside a label") << int(QBoxLayout::LeftToRight) << 1 << 0;
        QTest::newRow("between labels, side by side") << int(QBoxLayout::LeftToRight) << 1 << 2;
    }

    void viewTakesTheRoomLeft()
    {
        QFETCH(int, direction);
        QFETCH(int, labelsBefore);
        QFETCH(int, labelsAfter);
        QWidget window;
        auto *layout = new QBoxLayout(static_cast<QBoxLayout::Direction>(direction), &window);
        const auto addLabels = [&](int count) {
            for (int i = 0; i < count; ++i)
                layout->addWidget(new QLabel(QStringLiteral("当前试室：第一试室"), &window));
        };
        addLabels(labelsBefore);
        auto *view = new PageView(&window);
        layout->addWidget(view);
        addLabels(labelsAfter);
        window.resize(1000, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(TestSupport::loadPage(view, QStringLiteral("<html><body><p>x</p></body></html>")));
        int labelsLength = 0;
        for (const QLabel *label : window.findChildren<QLabel *>())
            labelsLength += direction == QBoxLayout::TopToBottom ? label->height() : label->width();
        const int viewLength = direction == QBoxLayout::TopToBottom ? view->height() : view->width();
        const int windowLength = direction == QBoxLayout::TopToBottom ? window.height() : window.width();
        // Every label keeps what it asks for, not a share of the room.
        for (const QLabel *label : window.findChildren<QLabel *>())
            QCOMPARE(direction == QBoxLayout::TopToBottom ? label->height() : label->width(),
                     direction == QBoxLayout::TopToBottom ? label->sizeHint().height() : label->sizeHint().width());
        QVERIFY2(viewLength + labelsLength >= windowLength - 2 * 11 - (labelsBefore + labelsAfter) * 10,
                 qPrintable(QStringLiteral("view %1 of %2").arg(viewLength).arg(windowLength)));
    }

    void largePageKeepsItsBase()
    {
        PageView view;
        QString html = QStringLiteral("<html><head><script src='js/jQuery.js'></script></head><body>");
        const QString filler = QStringLiteral("<p>填充文字填充文字填充文字填充文字填充文字</p>");
        while (html.size() < 1200 * 1024)
            html += filler;
        html += QStringLiteral("<p id='end'>end</p></body></html>");
        QVERIFY(TestSupport::loadPage(&view, html, 20000));
        QCOMPARE(pageValue(&view, QStringLiteral("typeof jQuery + document.getElementById('end').textContent")).toString(),
                 QStringLiteral("functionend"));
    }
};

TESSERA_TEST_MAIN(PageViewTest)
#include "tst_pageview.moc"
