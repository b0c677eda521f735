#include "pagedelta.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtEndian>

namespace {

const int numberBytes = 4;

// Reads exactly size bytes unless the stream ends; the count read.
qint64 readFully(QIODevice *from, char *into, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 got = from->read(into + done, size - done);
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

QByteArray sha1Of(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result().toHex();
}

} // namespace

int PageDelta::pageSizeOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3\0", 16)))
        return 0;
    const int size = qFromBigEndian<quint16>(header.constData() + 16);
    // The largest page size, 65536, does not fit the field and is written 1.
    return size == 1 ? 65536 : size;
}

PageDelta::Outcome PageDelta::diff(const QString &path, QIODevice *base, QIODevice *out)
{
    Outcome outcome;
    outcome.pageSize = pageSizeOf(path);
    QFile file(path);
    if (outcome.pageSize == 0 || !file.open(QIODevice::ReadOnly)) {
        outcome.problem = QStringLiteral("无法读取数据文件的副本");
        return outcome;
    }
    QCryptographicHash hash(QCryptographicHash::Sha1);
    QByteArray page(outcome.pageSize, Qt::Uninitialized);
    QByteArray earlier(outcome.pageSize, Qt::Uninitialized);
    bool baseGoesOn = base != nullptr;
    char number[numberBytes];
    for (;;) {
        const qint64 got = readFully(&file, page.data(), outcome.pageSize);
        if (got == 0)
            break;
        if (got != outcome.pageSize) {
            outcome.problem = QStringLiteral("数据文件的副本不是整页的");
            return outcome;
        }
        hash.addData(page);
        baseGoesOn = baseGoesOn && readFully(base, earlier.data(), outcome.pageSize) == outcome.pageSize;
        if (!baseGoesOn || earlier != page) {
            qToBigEndian<quint32>(quint32(outcome.pages), number);
            if (out && (out->write(number, numberBytes) != numberBytes || out->write(page) != page.size())) {
                outcome.problem = QStringLiteral("无法写入备份文件，磁盘可能已满");
                return outcome;
            }
            ++outcome.changed;
        }
        ++outcome.pages;
    }
    outcome.sha1 = hash.result().toHex();
    outcome.ok = true;
    return outcome;
}

WriteOutcome PageDelta::apply(QIODevice *records, const QString &target, int pageSize, qint64 pages,
                              const QByteArray &sha1)
{
    QFile file(target);
    if (pageSize <= 0 || !file.open(QIODevice::ReadWrite))
        return WriteOutcome::failed(QStringLiteral("无法写入 %1").arg(target));
    QByteArray page(pageSize, Qt::Uninitialized);
    char number[numberBytes];
    for (;;) {
        const qint64 got = readFully(records, number, numberBytes);
        if (got == 0)
            break;
        const qint64 index = qFromBigEndian<quint32>(number);
        if (got != numberBytes || index >= pages || readFully(records, page.data(), pageSize) != pageSize)
            return WriteOutcome::failed(QStringLiteral("备份中的页记录不完整"));
        if (!file.seek(index * pageSize) || file.write(page) != pageSize)
            return WriteOutcome::failed(QStringLiteral("无法写入 %1，磁盘可能已满").arg(target));
    }
    if (!file.resize(pages * qint64(pageSize)))
        return WriteOutcome::failed(QStringLiteral("无法写入 %1，磁盘可能已满").arg(target));
    file.close();
    if (sha1Of(target) != sha1)
        return WriteOutcome::failed(QStringLiteral("备份与它所依据的题库副本合起来不是备份时的数据文件"));
    return WriteOutcome();
}
