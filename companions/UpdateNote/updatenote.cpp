#include "updatenote.h"

UpdateNote::UpdateNote()
    : softUpdateUrl(QStringLiteral("https://updates.example.com/query?"))
    , version(QStringLiteral("3.2.0"))
{
}

UpdateNote::~UpdateNote() = default;

QString UpdateNote::getSoftUpdateURL() { return softUpdateUrl; }
QString UpdateNote::getVersion() { return version; }

UpdateNote *getUpdateNote()
{
    return new UpdateNote;
}
