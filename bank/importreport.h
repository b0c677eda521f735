#pragma once

#include "bankwriter.h"
#include "parsedbank.h"

#include <QString>

// What the program says once a file has been imported: the paper, its
// questions by type, what changed in a paper imported under that name
// before, the subject it went to and where the candidate finds it.
namespace ImportReport {

// The button of the message that opens the paper's login, as the list would.
QString openButtonText();
QString message(const ImportOutcome &outcome, const ParsedBank &bank, const QString &paperName,
                const QString &subjectName);

} // namespace ImportReport
