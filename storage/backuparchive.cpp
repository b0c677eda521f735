#include "backuparchive.h"

#include "zippart.h"

#include <QBuffer>
#include <QFile>
#include <QJsonDocument>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <zlib.h>

#include <cstdio>

namespace {

const QString dataMember = QStringLiteral("data.db");
const QString summaryMember = QStringLiteral("summary.json");
// No data file grows this large; the bound only keeps the expanding stream
// from running on forever on a forged header.
const qint64 largestDataFile = 64ll * 1024 * 1024 * 1024;
const qint64 chunk = 1024 * 1024;
// Fast deflate: several times smaller already, and the copy of a large bank
// takes seconds, not tens of them.
const int deflateLevel = 1;

bool writeMember(QuaZip *zip, const QString &name, QIODevice *from, QString *problem)
{
    QuaZipFile member(zip);
    QuaZipNewInfo info(name);
    info.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (!member.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, deflateLevel)) {
        *problem = QStringLiteral("无法写入备份文件（%1）").arg(member.getZipError());
        return false;
    }
    QByteArray buffer(int(chunk), Qt::Uninitialized);
    for (;;) {
        const qint64 got = from->read(buffer.data(), chunk);
        if (got < 0) {
            *problem = QStringLiteral("无法读取数据文件的副本（%1）").arg(from->errorString());
            return false;
        }
        if (got == 0)
            break;
        if (member.write(buffer.constData(), got) != got) {
            *problem = QStringLiteral("无法写入备份文件，磁盘可能已满");
            return false;
        }
    }
    member.close();
    if (member.getZipError() != ZIP_OK) {
        *problem = QStringLiteral("无法写入备份文件，磁盘可能已满");
        return false;
    }
    return true;
}

// Whether the file begins as a zip does; a file that does not is no
// compressed backup at all, one that does but will not open is cut off.
bool looksLikeZip(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("PK\x03\x04", 4);
}

QString openProblem(const QString &path)
{
    if (!QFile::exists(path))
        return QStringLiteral("备份文件已不存在");
    if (!looksLikeZip(path))
        return QStringLiteral("这个文件不是压缩的备份，无法读取");
    return QStringLiteral("备份文件不完整或已损坏（可能在写入或复制时中断），无法读取");
}

} // namespace

WriteOutcome BackupArchive::pack(const QString &dbCopy, const QJsonObject &summary, const QString &zipPath)
{
    const QString partial = zipPath + QStringLiteral(".part");
    QFile source(dbCopy);
    if (!source.open(QIODevice::ReadOnly))
        return WriteOutcome::failed(QStringLiteral("无法读取数据文件的副本（%1）").arg(source.errorString()));
    QString problem;
    {
        QuaZip zip(partial);
        if (!zip.open(QuaZip::mdCreate))
            return WriteOutcome::failed(QStringLiteral("无法建立备份文件 %1").arg(zipPath));
        QByteArray summaryBytes = QJsonDocument(summary).toJson(QJsonDocument::Compact);
        QBuffer summaryDevice(&summaryBytes);
        summaryDevice.open(QIODevice::ReadOnly);
        const bool written = writeMember(&zip, dataMember, &source, &problem)
            && writeMember(&zip, summaryMember, &summaryDevice, &problem);
        zip.close();
        if (written && zip.getZipError() != ZIP_OK)
            problem = QStringLiteral("无法写入备份文件，磁盘可能已满");
    }
    if (problem.isEmpty()
        && std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(zipPath).constData()) != 0)
        problem = QStringLiteral("无法建立备份文件 %1").arg(zipPath);
    if (!problem.isEmpty()) {
        QFile::remove(partial);
        return WriteOutcome::failed(problem);
    }
    return WriteOutcome();
}

QJsonObject BackupArchive::summary(const QString &zipPath, QString *problem)
{
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdUnzip)) {
        *problem = openProblem(zipPath);
        return QJsonObject();
    }
    QByteArray bytes;
    if (!ZipPart::readAll(&zip, summaryMember, &bytes, problem, chunk))
        return QJsonObject();
    const QJsonObject summary = QJsonDocument::fromJson(bytes).object();
    if (summary.isEmpty())
        *problem = QStringLiteral("备份文件的摘要无法读取");
    return summary;
}

WriteOutcome BackupArchive::unpack(const QString &zipPath, const QString &target)
{
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdUnzip))
        return WriteOutcome::failed(openProblem(zipPath));
    ZipPart part(&zip, dataMember, largestDataFile);
    if (part.status() != ZipPart::Status::Open)
        return WriteOutcome::failed(part.problem());
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return WriteOutcome::failed(QStringLiteral("无法写入 %1（%2）").arg(target, out.errorString()));
    QByteArray buffer(int(chunk), Qt::Uninitialized);
    QString problem;
    for (;;) {
        const qint64 got = part.read(buffer.data(), chunk);
        if (got < 0) {
            problem = part.problem();
            break;
        }
        if (got == 0)
            break;
        if (out.write(buffer.constData(), got) != got) {
            problem = QStringLiteral("无法写入 %1，磁盘可能已满").arg(target);
            break;
        }
    }
    out.close();
    // The stream ends at the member's end; only then has its checksum been
    // compared, which tells a whole member from a damaged one.
    if (problem.isEmpty() && part.status() != ZipPart::Status::Open)
        problem = part.problem();
    if (!problem.isEmpty()) {
        QFile::remove(target);
        return WriteOutcome::failed(problem);
    }
    return WriteOutcome();
}
