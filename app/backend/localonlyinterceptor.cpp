#include "localonlyinterceptor.h"

#include "pageengine.h"

void LocalOnlyInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (!PageEngine::loadsLocally(info.requestUrl()))
        info.block(true);
}
