#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVector>
#include <functional>

// Brings an existing data.db up to the schema this program needs. The file's
// PRAGMA user_version says how far it is; each pending step is additive (new
// tables, new columns with defaults, new indexes) and all pending steps run in
// one transaction, so a failure leaves the file exactly as it was.
class SchemaMigration
{
public:
    struct Step
    {
        int version;
        // One line for messages: what the step adds.
        QString purpose;
        // Applies the step inside the open transaction; false on failure.
        bool (*apply)(QSqlDatabase db);
    };

    enum class Outcome {
        UpToDate,   // nothing was pending
        Migrated,   // pending steps applied
        NotABank,   // the file holds no question bank: left alone
        Failed      // a step failed: rolled back, the file as it was
    };

    struct Result
    {
        Outcome outcome = Outcome::UpToDate;
        int fromVersion = 0;
        int toVersion = 0;
        // The failing step and the database's reason, for the user.
        QString error;
    };

    // How far a migration is, for a progress bar. Stage 0 prepares (the
    // program backs the file up there), stages 1 to stages - 1 are the pending
    // steps; stage == stages once all are done.
    struct Progress
    {
        int stage = 0;
        int stages = 1;
        // The running step's purpose; empty while preparing and at the end.
        QString purpose;
        // How far the running stage is, 0 to 1; -1 while it does not say.
        double stageFraction = -1;

        bool finished() const { return stage >= stages; }
        // The share of the whole migration done, 0 to 1: a stage that does
        // not say how far it is counts as not begun.
        double overall() const;
    };
    // Receives each change of progress, on the thread that migrates; within a
    // migration overall() never goes back.
    using ProgressReport = std::function<void(const Progress &)>;

    // The program's steps, in version order.
    static const QVector<Step> &steps();
    // The version steps() brings a file to.
    static int latestVersion();
    // The file's user_version; -1 when it cannot be read, with the reason in
    // error if given.
    static int fileVersion(QSqlDatabase db, QString *error = nullptr);

    // Called before pending steps run, never when none is pending; a false
    // return (with the reason) leaves the file untouched and fails the
    // migration. The program backs the file up here.
    using BeforeMigrating = std::function<bool(QSqlDatabase db, QString *reason)>;
    static void setBeforeMigrating(BeforeMigrating hook);

    // Runs every step of steps (default: the program's) whose version is above
    // the file's, in one transaction, and sets user_version to the last one.
    static Result migrate(QSqlDatabase db);
    static Result migrate(QSqlDatabase db, const QVector<Step> &steps);
    // The same, telling report how far it is: each stage as it begins, what
    // a long step says of itself (reportStepProgress), and the end when the
    // steps are committed. Nothing is reported when no step is pending.
    static Result migrate(QSqlDatabase db, const QVector<Step> &steps, const ProgressReport &report);

    // For a long step: done of total of its work is done. Passed on to the
    // report of the migration running on this thread; nothing outside one.
    static void reportStepProgress(qint64 done, qint64 total);
};
