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
};
