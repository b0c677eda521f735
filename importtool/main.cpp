#include "apppaths.h"
#include "backupstore.h"
#include "bigramtokenizer.h"
#include "importcommand.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    // The program's own name, so that an installed copy finds the same user
    // data folder (~/.local/share/tessera) as tessera itself.
    QCoreApplication::setApplicationName(QStringLiteral("tessera"));
    QCoreApplication app(argc, argv);
    BigramTokenizer::installOnEveryConnection();
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    // An installed program's user who imports before the first start gets the
    // sample bank first, as tessera would give it; nothing there is replaced.
    const AppPaths &paths = AppPaths::current();
    // The file is backed up before a migration, as the program does.
    BackupStore::guardMigrations();
    if (paths.installed())
        paths.prepareDataFolder();
    return ImportCommand::run(QCoreApplication::arguments(), paths.dataDir() + QStringLiteral("data.db"), out, err);
}
