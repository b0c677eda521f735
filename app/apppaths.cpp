#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

const QString AppPaths::desktopId = QStringLiteral(TESSERA_DESKTOP_ID);
const QString AppPaths::sampleBankName = QStringLiteral("sample_bank.db");

namespace {

QString withSlash(const QString &dir)
{
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(dir));
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

// A folder holds the page files when the home page's style sheet is there.
bool holdsPageFiles(const QString &dirSlash)
{
    return QFileInfo::exists(dirSlash + QStringLiteral("css/welcss.css"));
}

// An empty data.db is what opening a missing file leaves: it holds nothing.
bool holdsDatabase(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

// Copies every file under from to the same place under to, leaving files that
// are already there alone. A missing from has nothing to copy.
bool copyMissingFiles(const QString &from, const QString &to)
{
    const QDir source(from);
    QDirIterator files(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(file);
        if (QFileInfo::exists(target))
            continue;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

} // namespace

AppPaths AppPaths::locate(const QString &executableDir, const QString &userDataDir)
{
    AppPaths paths;
    const QString beside = withSlash(executableDir);
    const QString shared = withSlash(beside + QStringLiteral("../share/tessera"));
    paths.m_installed = !holdsPageFiles(beside) && holdsPageFiles(shared);
    paths.m_pageDir = paths.m_installed ? shared : beside;
    paths.m_dataDir = paths.m_installed ? withSlash(userDataDir) : beside;
    return paths;
}

const AppPaths &AppPaths::current()
{
    static const AppPaths paths = locate(QCoreApplication::applicationDirPath(),
                                         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return paths;
}

QString AppPaths::prepareDataFolder() const
{
    const QString database = m_dataDir + QStringLiteral("data.db");
    if (holdsDatabase(database))
        return QString();
    if (!QDir().mkpath(m_dataDir))
        return QStringLiteral("cannot create the data folder %1").arg(m_dataDir);
    for (const QString &media : {QStringLiteral("img"), QStringLiteral("mp4")}) {
        if (!copyMissingFiles(m_pageDir + media, m_dataDir + media))
            return QStringLiteral("cannot copy the question media to %1").arg(m_dataDir + media);
    }
    return copySampleBank(m_pageDir + sampleBankName, database)
        ? QString()
        : QStringLiteral("cannot copy the sample bank %1 to %2").arg(m_pageDir + sampleBankName, database);
}

bool AppPaths::copySampleBank(const QString &samplePath, const QString &dbPath)
{
    // The bank is copied under another name and renamed when complete, so an
    // interrupted copy never leaves a partial data.db behind; the copy is the
    // user's to write, whatever the shipped file's permissions.
    if (QFileInfo(dbPath).size() > 0)
        return false;
    const QString partial = dbPath + QStringLiteral(".new");
    QFile::remove(partial);
    const bool copied = QFile::copy(samplePath, partial)
        && QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::remove(dbPath); // empty, if there at all
    if (!copied || !QFile::rename(partial, dbPath)) {
        QFile::remove(partial);
        return false;
    }
    return true;
}
