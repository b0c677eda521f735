#pragma once

#include "pageengine.h"

#include <QMap>
#include <QPointer>

class QWebView;

// PageView on QtWebKit: every call is answered before it returns.
class WebKitPageEngine : public PageEngine
{
    Q_OBJECT
public:
    explicit WebKitPageEngine(QWidget *parent);

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
    void publishAll();

    QWebView *m_view;
    QMap<QString, QPointer<QObject>> m_published;
};
