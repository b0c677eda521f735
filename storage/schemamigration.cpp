#include "schemamigration.h"

#include "schemasteps.h"
#include "sqltransaction.h"
#include "writeoutcome.h"

#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

bool holdsQuestionBank(QSqlDatabase db)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral(
               "select count(*) from sqlite_master where type='table' and name='exam_question'"))
        && query.next() && query.value(0).toInt() > 0;
}

SchemaMigration::BeforeMigrating &beforeMigrating()
{
    static SchemaMigration::BeforeMigrating hook;
    return hook;
}

// The report of the migration running on this thread, for its steps.
thread_local std::function<void(double)> *runningStepReport = nullptr;

QString lastError(QSqlDatabase db)
{
    const QString text = db.lastError().text().trimmed();
    return text.isEmpty() ? QStringLiteral("数据库拒绝了这项修改") : text;
}

} // namespace

void SchemaMigration::setBeforeMigrating(BeforeMigrating hook)
{
    beforeMigrating() = std::move(hook);
}

const QVector<SchemaMigration::Step> &SchemaMigration::steps()
{
    return SchemaSteps::all();
}

int SchemaMigration::latestVersion()
{
    return steps().isEmpty() ? 0 : steps().constLast().version;
}

int SchemaMigration::fileVersion(QSqlDatabase db, QString *error)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        if (error)
            *error = WriteOutcome::reasonOf(query.lastError());
        return -1;
    }
    return query.value(0).toInt();
}

SchemaMigration::Result SchemaMigration::migrate(QSqlDatabase db)
{
    return migrate(db, steps());
}

double SchemaMigration::Progress::overall() const
{
    if (stages <= 0 || finished())
        return 1;
    return (stage + qBound(0.0, stageFraction, 1.0)) / stages;
}

void SchemaMigration::reportStepProgress(qint64 done, qint64 total)
{
    if (runningStepReport && total > 0)
        (*runningStepReport)(double(done) / double(total));
}

SchemaMigration::Result SchemaMigration::migrate(QSqlDatabase db, const QVector<Step> &steps)
{
    return migrate(db, steps, nullptr);
}

SchemaMigration::Result SchemaMigration::migrate(QSqlDatabase db, const QVector<Step> &steps,
                                                 const ProgressReport &report)
{
    Result result;
    result.fromVersion = result.toVersion = fileVersion(db, &result.error);
    if (result.fromVersion < 0) {
        result.outcome = Outcome::Failed;
        return result;
    }
    if (!holdsQuestionBank(db)) {
        result.outcome = Outcome::NotABank;
        return result;
    }
    QVector<Step> pending;
    for (const Step &step : steps) {
        if (step.version > result.fromVersion)
            pending.append(step);
    }
    if (pending.isEmpty())
        return result;
    Progress progress;
    progress.stages = pending.size() + 1;
    const auto tell = [&report, &progress] {
        if (report)
            report(progress);
    };
    tell();
    QString reason;
    if (beforeMigrating() && !beforeMigrating()(db, &reason)) {
        result.outcome = Outcome::Failed;
        result.error = QStringLiteral("升级前未能备份数据文件：") + reason;
        return result;
    }

    SqlTransaction transaction(db);
    if (!transaction.started()) {
        result.outcome = Outcome::Failed;
        result.error = lastError(db);
        return result;
    }
    // A step's own word on how far it is moves the bar forward only.
    std::function<void(double)> stepReport = [&progress, &tell](double fraction) {
        fraction = qBound(0.0, fraction, 1.0);
        if (fraction > progress.stageFraction) {
            progress.stageFraction = fraction;
            tell();
        }
    };
    runningStepReport = &stepReport;
    const auto unhook = qScopeGuard([] { runningStepReport = nullptr; });
    for (const Step &step : pending) {
        ++progress.stage;
        progress.purpose = step.purpose;
        progress.stageFraction = -1;
        tell();
        if (!step.apply(db)) {
            result.outcome = Outcome::Failed;
            result.error = step.purpose + QStringLiteral("：") + lastError(db);
            return result;  // the transaction rolls back
        }
    }
    // user_version lives in the file header and is written by the same commit.
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA user_version = %1").arg(pending.constLast().version))
        || !transaction.commit()) {
        result.outcome = Outcome::Failed;
        result.error = lastError(db);
        return result;
    }
    result.outcome = Outcome::Migrated;
    result.toVersion = pending.constLast().version;
    progress.stage = progress.stages;
    progress.purpose.clear();
    progress.stageFraction = -1;
    tell();
    return result;
}
