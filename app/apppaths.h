#pragma once

#include <QString>

// Where the program finds its files. A build folder or a portable copy holds
// everything beside the executable. An installed program reads its page files
// (style sheets, scripts, page images and the shipped sample bank) from
// <prefix>/share/tessera/ and keeps the user's files in the user's data folder:
// data.db, the question media (img/, mp4/) that pages address, backups.
class AppPaths
{
public:
    // Id of the desktop entry, the icons and the AppStream metadata.
    static const QString desktopId;
    // Name of the pristine sample bank among the installed page files.
    static const QString sampleBankName;

    // The folders of a program whose executable lies in executableDir; an
    // installed program keeps its user's files in userDataDir.
    static AppPaths locate(const QString &executableDir, const QString &userDataDir);

    // The running program's folders: its executable's directory and, when
    // installed, AppDataLocation. Worked out once, on the first call.
    static const AppPaths &current();

    bool installed() const { return m_installed; }
    // Folder of the page files, followed by "/".
    QString pageDir() const { return m_pageDir; }
    // Folder of data.db and the question media, followed by "/".
    QString dataDir() const { return m_dataDir; }

    // Gives a data folder without a usable data.db (missing or empty) the shipped
    // sample bank and question media. A data.db that holds anything is never
    // replaced, nor is a media file already there. Empty on success, otherwise
    // what went wrong (the data folder then has no new data.db).
    QString prepareDataFolder() const;
    // Copies the shipped sample bank to dbPath, writable, complete or not at
    // all; refuses a dbPath that holds anything.
    static bool copySampleBank(const QString &samplePath, const QString &dbPath);

private:
    QString m_pageDir;
    QString m_dataDir;
    bool m_installed = false;
};
