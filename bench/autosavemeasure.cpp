#include "autosavemeasure.h"

#include "attemptsnapshot.h"
#include "attemptwriter.h"
#include "dbconnection.h"
#include "paperanswers.h"
#include "paperloader.h"

#include <QSqlQuery>

AutosaveMeasure::AutosaveMeasure(const BenchContext &context)
    : m_context(context)
{
}

MeasureResult AutosaveMeasure::autosave()
{
    MeasureResult result(QStringLiteral("autosave"));
    result.targetMs = 1;
    std::unique_ptr<ExamPaper> paper =
        PaperLoader(m_context.db, 0, m_context.appDirSlash).loadFormalPaper(m_context.paperId);
    if (!paper || paper->questions.empty()) {
        result.failed = true;
        return result;
    }
    PaperAnswers::answerAll(*paper);
    const QDateTime startedAt = QDateTime::currentDateTime();
    AttemptWriter writer(DbConnection::instance(m_context.bankDir, true)->dbPath);
    QVector<double> writes;

    const auto ourRun = [&] {
        QElapsedTimer timer;
        timer.start();
        writer.write(AttemptSnapshot::capture(*paper, m_context.paperId, 0, startedAt, 600, 7), startedAt);
        const double windowMs = elapsedMs(timer);
        writer.waitIdle();
        writes << elapsedMs(timer);
        return windowMs;
    };
    const QString snapshot = QString::fromUtf8(
        AttemptSnapshot::capture(*paper, m_context.paperId, 0, startedAt, 600, 7).toJson());
    QSqlDatabase db = m_context.db;
    const auto floorRun = [&] {
        QElapsedTimer timer;
        timer.start();
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT OR REPLACE INTO exam_attempt(paperId, mode, snapshot) VALUES('bench-floor', 0, :snapshot)"));
        insert.bindValue(QStringLiteral(":snapshot"), snapshot);
        const bool ok = insert.exec() && db.commit();
        return ok ? elapsedMs(timer) : -1;
    };
    result.collect(m_context.runs, ourRun, floorRun);
    const double floorMs = MeasureResult::median(result.floor);
    result.extras << QStringLiteral("write_ms=%1").arg(MeasureResult::median(writes), 0, 'f', 2)
                  << QStringLiteral("write_ratio=%1")
                         .arg(floorMs > 0 ? MeasureResult::median(writes) / floorMs : 0, 0, 'f', 2);
    return result;
}
