#pragma once

#include <QWebEngineUrlRequestInterceptor>

// The network of Qt WebEngine pages: every request that would leave the
// machine is refused.
class LocalOnlyInterceptor : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
};
