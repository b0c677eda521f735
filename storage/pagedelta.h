#pragma once

#include "writeoutcome.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// The pages in which a database file differs from an earlier file of the
// same page size, as records of a page's number and bytes. A day's backup of
// a large bank is mostly the bank's pages, the same from day to day; kept
// once, each day adds only the pages of the user's records.
class PageDelta
{
public:
    struct Outcome
    {
        bool ok = false;
        int pageSize = 0;
        qint64 pages = 0;    // of the newer file
        qint64 changed = 0;  // pages written to the records
        QByteArray sha1;     // of the newer file, hex
        QString problem;
    };

    // The page size an SQLite file at path declares in its header; 0 when it
    // cannot be read.
    static int pageSizeOf(const QString &path);

    // Reads the file at path and base (the earlier file's bytes, a stream;
    // null for none) side by side and writes to out every page of the file
    // that base does not hold alike; out null only counts them.
    static Outcome diff(const QString &path, QIODevice *base, QIODevice *out);

    // Writes the records of records into the file at target (the earlier
    // file), cuts it to pages pages of pageSize and checks it against sha1.
    static WriteOutcome apply(QIODevice *records, const QString &target, int pageSize, qint64 pages,
                              const QByteArray &sha1);
};
