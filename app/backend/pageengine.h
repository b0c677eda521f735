#pragma once

#include <QObject>
#include <QUrl>
#include <QVariant>
#include <functional>

class QPageLayout;
class QPrinter;
class QWidget;

// What PageView asks of a web engine. One implementation is compiled in:
// QtWebKit or Qt WebEngine.
class PageEngine : public QObject
{
    Q_OBJECT
public:
    using Continuation = std::function<void(const QVariant &)>;
    using Done = std::function<void(bool)>;

    // The engine for a view inside parent.
    static PageEngine *create(QWidget *parent);
    static void prepareProcess();
    static QString name();
    // CSS pixels per inch of a printed page's layout.
    static qreal printedPixelsPerInch();
    // Pages load the program's files, compiled-in resources and inline data,
    // never anything from the network, whatever a question's text asks for.
    static bool loadsLocally(const QUrl &url)
    {
        const QString scheme = url.scheme().toLower();
        return scheme == QLatin1String("file") || scheme == QLatin1String("qrc") || scheme == QLatin1String("data")
            || scheme == QLatin1String("about") || scheme == QLatin1String("blob");
    }

    virtual QWidget *view() const = 0;
    virtual QWidget *inputWidget() const = 0;
    virtual void setHtml(const QString &html, const QUrl &baseUrl) = 0;
    // then may be empty; QtWebKit calls it before returning.
    virtual void runJavaScript(const QString &script, Continuation then) = 0;
    virtual void publish(const QString &name, QObject *object) = 0;
    virtual void setZoomFactor(qreal factor) = 0;
    virtual qreal zoomFactor() const = 0;
    virtual void print(QPrinter *printer, Done done) = 0;
    virtual void printToPdf(const QString &path, const QPageLayout &layout, Done done) = 0;

signals:
    void loadFinished(bool ok);
    void scriptMessage(const QString &message, int line);

protected:
    using QObject::QObject;
};
