#pragma once

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QString>

// What every measure needs: the program's connection to the generated bank,
// the directory the pages load their files from, and how often to run.
struct BenchContext
{
    QSqlDatabase db;
    QString appDirSlash;   // the application directory followed by "/"
    QString bankDir;       // the directory holding the generated data.db, with "/"
    QString paperId;
    int bankRows = 0;      // exam_question rows of the bank
    int runs = 15;
    bool smoke = false;
};

// Milliseconds since the timer started, with sub-millisecond resolution.
inline double elapsedMs(const QElapsedTimer &timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}
