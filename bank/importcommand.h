#pragma once

#include <QStringList>
#include <QTextStream>

// The command line importer:
//   tessera-import [--db PATH] [--subject NAME] [--paper NAME] [--minutes N]
//                  [--format gift|aiken|xml|csv|xlsx|book|docx|doc|wps|pdf] [--dry-run] [--skip-bad] FILE...
//   tessera-import [--db PATH] [--subject NAME] [--paper NAME] --export FILE
//   tessera-import --template FILE.xlsx|FILE.csv
// Each file is one paper, written in one transaction; messages name the file
// and line. Returns the exit status: 0 when every file was imported (or,
// with --dry-run, would be), 1 when one was not, 2 for a wrong command line.
class ImportCommand
{
public:
    // defaultDb: the database the program uses.
    static int run(const QStringList &arguments, const QString &defaultDb, QTextStream &out, QTextStream &err);
};
