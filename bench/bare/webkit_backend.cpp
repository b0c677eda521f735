// tessera_bench_bare on QtWebKit: the floor of the start-up measure. A program
// of QtWebKit alone that shows an HTML file in a web view of the given size
// and, once the loaded page is painted, prints "painted peak_rss_kb=N" (its
// peak resident memory) and ends. webengine_backend.cpp is the same on Qt
// WebEngine.
//
//   tessera_bench_bare PAGE.html WIDTH HEIGHT

#include "../peakrss.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <QWebView>

namespace {

class PaintReporter : public QObject
{
public:
    bool loaded = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (loaded && event->type() == QEvent::Paint) {
            // Reported once this paint is done.
            QMetaObject::invokeMethod(qApp, [] {
                QTextStream(stdout) << "painted peak_rss_kb=" << ownPeakRssKb() << Qt::endl;
                QCoreApplication::exit(0);
            }, Qt::QueuedConnection);
            loaded = false;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QFile page(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    if (argc < 4 || !page.open(QIODevice::ReadOnly))
        return 2;
    QWebView view;
    PaintReporter reporter;
    view.installEventFilter(&reporter);
    QObject::connect(&view, &QWebView::loadFinished, [&] {
        reporter.loaded = true;
        view.update();
    });
    view.resize(QString::fromLatin1(argv[2]).toInt(), QString::fromLatin1(argv[3]).toInt());
    view.setHtml(QString::fromUtf8(page.readAll()), QUrl());
    view.show();
    return app.exec();
}
