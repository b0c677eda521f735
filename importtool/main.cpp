#include "importcommand.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessera-import"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    return ImportCommand::run(QCoreApplication::arguments(),
                              QCoreApplication::applicationDirPath() + QStringLiteral("/data.db"), out, err);
}
