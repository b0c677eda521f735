#include "localonlynetwork.h"

#include "pageengine.h"

#include <QNetworkRequest>

QNetworkReply *LocalOnlyNetwork::createRequest(Operation op, const QNetworkRequest &request, QIODevice *data)
{
    if (PageEngine::loadsLocally(request.url()))
        return QNetworkAccessManager::createRequest(op, request, data);
    // An empty local address answers at once with an error.
    QNetworkRequest refused(request);
    refused.setUrl(QUrl(QStringLiteral("file:///nonexistent-remote-address")));
    return QNetworkAccessManager::createRequest(GetOperation, refused, nullptr);
}
