#pragma once

#include "pageengine.h"

#include <QStringList>
#include <memory>

class QTemporaryDir;
class QWebChannel;
class QWebEnginePage;
class QWebEngineView;

// PageView on Qt WebEngine: scripts run in another process and answer later;
// the page reaches published objects through Qt WebChannel. Every view shares
// the program's one profile, which loads nothing from the network.
class WebEnginePageEngine : public PageEngine
{
    Q_OBJECT
public:
    explicit WebEnginePageEngine(QWidget *parent);
    ~WebEnginePageEngine() override;

    QWidget *view() const override;
    QWidget *inputWidget() const override;
    void setHtml(const QString &html, const QUrl &baseUrl) override;
    void runJavaScript(const QString &script, Continuation then) override;
    void publish(const QString &name, QObject *object) override;
    void setZoomFactor(qreal factor) override;
    qreal zoomFactor() const override;
    void print(QPrinter *printer, Done done) override;
    void printToPdf(const QString &path, const QPageLayout &layout, Done done) override;

private:
    void injectBridge();

    QWebEngineView *m_view;
    QWebEnginePage *m_page;
    QWebChannel *m_channel;
    QStringList m_published;
    // A page too large to be handed over inline is read from a file here.
    std::unique_ptr<QTemporaryDir> m_largePages;
};
