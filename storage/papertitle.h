#pragma once

#include <QSqlDatabase>
#include <QString>

// The name a paper is shown by (exam_paper.name); empty for an unknown id.
namespace PaperTitle {

QString of(QSqlDatabase db, const QString &paperId);

} // namespace PaperTitle
