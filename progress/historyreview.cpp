#include "historyreview.h"

#include "attemptsnapshot.h"
#include "historystore.h"
#include "papergrader.h"
#include "paperloader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

std::unique_ptr<ExamPaper> HistoryReview::load(QSqlDatabase db, const HistoryRecord &record,
                                               const QString &appDirSlash)
{
    std::unique_ptr<ExamPaper> paper =
        PaperLoader(db, ExamQuestion::FormalPaper, appDirSlash).loadFormalPaper(record.paperId);
    if (!paper || paper->questions.empty())
        return nullptr;

    // The sheet lists the entries in paper order: a snapshot of it puts each
    // answer back where it was given.
    AttemptSnapshot sheet;
    sheet.chosenSections = record.chosenSections;
    const QJsonArray entries = QJsonDocument::fromJson(record.answers.toUtf8()).array();
    for (int i = 0; i < entries.size(); ++i) {
        const QJsonObject entry = entries.at(i).toObject();
        const QString answer = entry.value(QStringLiteral("answer")).toString();
        sheet.entries.append({i + 1, entry.value(QStringLiteral("qid")).toString(), answer, !answer.isEmpty(), false});
    }
    sheet.applyTo(*paper);

    PaperGrader::markPaper(*paper);
    paper->startTime = QTime(0, 0);
    paper->endTime = paper->startTime.addSecs(record.useSecond % (24 * 3600));
    return paper;
}
