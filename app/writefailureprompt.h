#pragma once

#include "writeoutcome.h"

#include <QString>
#include <functional>

class QWidget;

// Says in the same plain way, for every write of the program, that something
// was not saved and why, and offers to try again.
namespace WriteFailurePrompt {

// What was being written; each has its own message.
enum class Write { HandIn, Favourite, BookRemoval };

// The message for a failed write with the reason in the user's words.
QString message(Write what, const QString &reason);

// Runs write; while it fails, shows the message with "重试" and "取消" and
// runs it again on "重试". Returns the last outcome.
WriteOutcome saveOrAsk(QWidget *parent, Write what, const std::function<WriteOutcome()> &write);

} // namespace WriteFailurePrompt
