#include "historyreview.h"

#include "answersheet.h"
#include "attemptsnapshot.h"
#include "historystore.h"
#include "papergrader.h"
#include "paperloader.h"

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
    const QVector<AnswerSheetEntry> entries = AnswerSheet::read(record.answers).entries;
    for (int i = 0; i < entries.size(); ++i) {
        const AnswerSheetEntry &entry = entries.at(i);
        // An essay's typed text comes back with it: the review shows it.
        sheet.entries.append({i + 1, entry.qid, entry.answer, !entry.answer.isEmpty(), false, entry.essay});
    }
    sheet.applyTo(*paper);

    PaperGrader::markPaper(*paper);
    paper->startTime = QTime(0, 0);
    paper->endTime = paper->startTime.addSecs(record.useSecond % (24 * 3600));
    return paper;
}
