// tessera_bench_bare on Qt WebEngine: the floor of the start-up measure. A
// program of Qt WebEngine alone that shows an HTML file in a web view of the
// given size and, once the loaded page is painted, prints
// "painted peak_rss_kb=N" and ends. N is the PSS of the program and its
// helper processes, which draw the page: the memory the page costs.
// webkit_backend.cpp is the same on QtWebKit.
//
//   tessera_bench_bare PAGE.html WIDTH HEIGHT

#include "../processtreememory.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTextStream>
#include <QWebEngineView>

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
                QTextStream(stdout) << "painted peak_rss_kb=" << ProcessTreeMemory::treePssKb() << Qt::endl;
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
    // What Qt WebEngine asks of a widget program, as the program sets it.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && !qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--disable-gpu"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --disable-gpu");
    QApplication app(argc, argv);
    QFile page(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    if (argc < 4 || !page.open(QIODevice::ReadOnly))
        return 2;
    QWebEngineView view;
    PaintReporter reporter;
    // The page is drawn in the view's focus proxy, made with the first page.
    QPointer<QWidget> drawing;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&] {
        drawing = view.focusProxy() ? view.focusProxy() : &view;
        drawing->installEventFilter(&reporter);
        reporter.loaded = true;
        drawing->update();
    });
    view.resize(QString::fromLatin1(argv[2]).toInt(), QString::fromLatin1(argv[3]).toInt());
    // A page from a file base may load the program's files, as the program's pages do.
    view.setHtml(QString::fromUtf8(page.readAll()), QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath()));
    view.show();
    return app.exec();
}
