#pragma once

#include <QNetworkAccessManager>

// The network of a QtWebKit page: the program's own files, compiled-in
// resources and inline data only. A page never reaches the network, whatever
// a question's text asks for.
class LocalOnlyNetwork : public QNetworkAccessManager
{
    Q_OBJECT
public:
    using QNetworkAccessManager::QNetworkAccessManager;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *data) override;
};
