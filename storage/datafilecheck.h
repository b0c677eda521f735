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
        ReadOnly,     // sound, but neither the file nor its folder takes writes
    };

    struct Result
    {
        State state = State::Usable;
        // The problem in the user's words; empty when usable.
        QString problem;
    };

    // How much the check reads. Every table but the questions' (which hold
    // all of the user's records) gets an integrity check, indexes included:
    // hundredths of a second. The whole file adds a quick check of every
    // page: at 300,000 questions (190 MB) about a second, several from a cold
    // disk.
    enum class Depth { WholeFile, RecordTables };

    // Looks at the file at path on a connection of its own, which it closes:
    // header, the checks of depth, and a write probe on file and folder.
    static Result examine(const QString &path, Depth depth = Depth::WholeFile);

    // The message for a start that cannot go on as usual: the path, the
    // problem and the way out.
    static QString message(const Result &result, const QString &path);
};
