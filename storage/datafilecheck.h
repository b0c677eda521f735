#pragma once

#include <QString>

// What stands between data.db and the program, found before the program uses
// the file: a missing or empty file is never created empty behind the user's
// back, and a file that cannot serve is named with its problem instead of
// showing empty pages.
class DataFileCheck
{
public:
    enum class State {
        Usable,
        Missing,      // no file, or a file of 0 bytes
        NotAFile,     // a folder or something else by that name
        Unreadable,   // the file cannot be opened for reading
        NotADatabase, // not an SQLite file at all
        Damaged,      // an SQLite file that fails its quick check
        ReadOnly,     // sound, but the file takes no writes
        FolderReadOnly, // its folder takes no new files (journal, backups)
        DiskFull,     // its disk has no room left for the journal
    };

    struct Result
    {
        State state = State::Usable;
        // The problem in the user's words, one sentence; empty when usable.
        QString problem;
        // What the database reported, line by line (for a damaged file the
        // integrity check's findings); empty when it has nothing to add.
        QString details;
    };

    // Free room below which the program does not open the file: SQLite's
    // shared-memory file and the journal need it before the first read.
    static const qint64 minimumRoom = 1024 * 1024;
    // The room the program wants beside a file of fileSize bytes: about the
    // file's size, for the day's backup, and the journal's minimum.
    static qint64 roomWanted(qint64 fileSize);

    // How much the check reads. Every table but the questions' (which hold
    // all of the user's records) gets an integrity check, indexes included:
    // hundredths of a second. The whole file adds a quick check of every
    // page: at 300,000 questions (190 MB) about a second, several from a cold
    // disk. Pages is that quick check alone, without the write probe: it runs
    // beside the program's open connection once the window is up.
    enum class Depth { WholeFile, RecordTables, Pages };

    // Looks at the file at path: header, room on the disk and a write probe
    // on the folder, then, on a connection of its own which it closes, the
    // checks of depth and a write probe on the file. Nothing opens the file
    // on a full disk or in a folder that takes no writes.
    static Result examine(const QString &path, Depth depth = Depth::WholeFile);

    // Whether the folder and the disk of the file at path take the files the
    // program writes beside it, with at least needed bytes free: Usable,
    // FolderReadOnly or DiskFull. Does not open the file.
    static Result writeRoom(const QString &path, qint64 needed = minimumRoom);

    // The message for a start that cannot go on as usual: the path, the
    // problem and the way out.
    static QString message(const Result &result, const QString &path);
};
