#pragma once

#include "exampaper.h"

#include <QSqlDatabase>
#include <QString>
#include <memory>

struct HistoryRecord;

// A handed-in attempt brought back as the exam window holds a paper right
// after its hand-in: the paper loaded, the stored answers and chosen sections
// put back, marked, and the time used as it was.
class HistoryReview
{
public:
    // The reviewed paper of the hand-in, null when the paper is gone from the
    // bank. appDirSlash is the application directory followed by "/".
    static std::unique_ptr<ExamPaper> load(QSqlDatabase db, const HistoryRecord &record,
                                           const QString &appDirSlash);
};
