#pragma once

#include <QString>

// How the progress tables and the run snapshot keep a moment: local ISO time
// to the second ("2026-03-01T09:30:00").
inline QString storedTimeFormat()
{
    return QStringLiteral("yyyy-MM-ddTHH:mm:ss");
}
