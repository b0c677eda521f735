#include "backuparchive.h"

#include "pagedelta.h"
#include "zippart.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QScopeGuard>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <zlib.h>

#include <cstdio>

namespace {

const QString dataMember = QStringLiteral("data.db");
const QString pagesMember = QStringLiteral("pages.bin");
const QString summaryMember = QStringLiteral("summary.json");
const QString bankKey = QStringLiteral("bank");
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

// Writes a zip of the file at source, as member, and summary to zipPath,
// through a partial file renamed when whole.
WriteOutcome writeArchive(const QString &source, const QString &member, const QJsonObject &summary,
                          const QString &zipPath)
{
    const QString partial = zipPath + QStringLiteral(".part");
    QFile content(source);
    if (!content.open(QIODevice::ReadOnly))
        return WriteOutcome::failed(QStringLiteral("无法读取数据文件的副本（%1）").arg(content.errorString()));
    QString problem;
    {
        QuaZip zip(partial);
        if (!zip.open(QuaZip::mdCreate))
            return WriteOutcome::failed(QStringLiteral("无法建立备份文件 %1").arg(zipPath));
        QByteArray summaryBytes = QJsonDocument(summary).toJson(QJsonDocument::Compact);
        QBuffer summaryDevice(&summaryBytes);
        summaryDevice.open(QIODevice::ReadOnly);
        const bool written = writeMember(&zip, member, &content, &problem)
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

// Streams the member name of the zip at path into out; false with problem set
// when the member is not whole.
bool expandMember(const QString &path, const QString &name, QIODevice *out, QString *problem)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip)) {
        *problem = openProblem(path);
        return false;
    }
    ZipPart part(&zip, name, largestDataFile);
    QByteArray buffer(int(chunk), Qt::Uninitialized);
    while (part.status() == ZipPart::Status::Open) {
        const qint64 got = part.read(buffer.data(), chunk);
        if (got <= 0)
            break;
        if (out->write(buffer.constData(), got) != got) {
            *problem = QStringLiteral("无法写入展开的数据文件，磁盘可能已满");
            return false;
        }
    }
    // The stream ends at the member's end; only then has its checksum been
    // compared, which tells a whole member from a damaged one.
    *problem = part.problem();
    return part.status() == ZipPart::Status::Open;
}

QStringList bankCopies(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("bank-*.zip")}, QDir::Files, QDir::Name | QDir::Reversed);
}

QString freshBankName(const QString &folder, const QDateTime &now)
{
    const QString stem = folder + QStringLiteral("/bank-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem + BackupArchive::suffix();
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QStringLiteral("-%1").arg(n) + BackupArchive::suffix();
    return name;
}

struct Bank
{
    QString path;
    int pageSize = 0;
};

Bank newestBank(const QString &folder)
{
    Bank bank;
    const QStringList names = bankCopies(folder);
    if (names.isEmpty())
        return bank;
    bank.path = folder + QLatin1Char('/') + names.first();
    QString problem;
    bank.pageSize = BackupArchive::summary(bank.path, &problem).value(QStringLiteral("pageSize")).toInt();
    return bank;
}

// The pages of copy that bank does not hold alike, written to out; not ok
// when the bank copy did not come through whole.
PageDelta::Outcome diffAgainst(const Bank &bank, const QString &copy, QIODevice *out)
{
    QuaZip zip(bank.path);
    if (!zip.open(QuaZip::mdUnzip))
        return PageDelta::Outcome();
    ZipPart part(&zip, dataMember, largestDataFile);
    PageDelta::Outcome outcome = PageDelta::diff(copy, &part, out);
    // Read to its end, so that its checksum is compared too.
    char rest[64 * 1024];
    while (part.status() == ZipPart::Status::Open && part.read(rest, sizeof rest) > 0) {
    }
    outcome.ok = outcome.ok && part.status() == ZipPart::Status::Open;
    return outcome;
}

// Writes the pages of the daily backup at zipPath over its bank copy,
// expanded at target.
WriteOutcome applyPages(const QString &zipPath, const QJsonObject &about, const QString &target)
{
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdUnzip))
        return WriteOutcome::failed(openProblem(zipPath));
    ZipPart part(&zip, pagesMember, largestDataFile);
    if (part.status() != ZipPart::Status::Open)
        return WriteOutcome::failed(part.problem());
    const WriteOutcome applied = PageDelta::apply(&part, target, about.value(QStringLiteral("pageSize")).toInt(),
                                                  qint64(about.value(QStringLiteral("pages")).toDouble()),
                                                  about.value(QStringLiteral("sha1")).toString().toLatin1());
    // A damaged member ends the records early: its own problem says more
    // than what follows from it.
    return part.status() == ZipPart::Status::Open ? applied : WriteOutcome::failed(part.problem());
}

} // namespace

WriteOutcome BackupArchive::pack(const QString &dbCopy, const QJsonObject &summary, const QString &zipPath)
{
    return writeArchive(dbCopy, dataMember, summary, zipPath);
}

WriteOutcome BackupArchive::packAgainstBank(const QString &dbCopy, QJsonObject summary, const QString &zipPath,
                                            const QDateTime &now)
{
    const QString folder = QFileInfo(zipPath).absolutePath();
    const QString pages = zipPath + QStringLiteral(".pages");
    const auto removePages = qScopeGuard([&pages] { QFile::remove(pages); });
    QFile pagesFile(pages);
    if (!pagesFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return WriteOutcome::failed(QStringLiteral("无法写入 %1").arg(pages));

    Bank bank = newestBank(folder);
    PageDelta::Outcome delta;
    if (bank.pageSize > 0 && bank.pageSize == PageDelta::pageSizeOf(dbCopy))
        delta = diffAgainst(bank, dbCopy, &pagesFile);
    if (!delta.ok || delta.changed * 4 > delta.pages) {
        // The copy becomes the bank copy, and the backup the empty set of
        // pages on it.
        delta = PageDelta::diff(dbCopy, nullptr, nullptr);
        if (!delta.ok)
            return WriteOutcome::failed(delta.problem);
        bank.path = freshBankName(folder, now);
        const WriteOutcome banked = pack(dbCopy, QJsonObject{{QStringLiteral("pageSize"), delta.pageSize},
                                                             {QStringLiteral("sha1"), QString::fromLatin1(delta.sha1)}},
                                         bank.path);
        if (!banked)
            return banked;
        pagesFile.resize(0);
    }
    pagesFile.close();
    summary.insert(bankKey, QFileInfo(bank.path).fileName());
    summary.insert(QStringLiteral("pageSize"), delta.pageSize);
    summary.insert(QStringLiteral("pages"), double(delta.pages));
    summary.insert(QStringLiteral("sha1"), QString::fromLatin1(delta.sha1));
    return writeArchive(pages, pagesMember, summary, zipPath);
}

void BackupArchive::removeUnusedBanks(const QString &folder)
{
    QDir dir(folder);
    QStringList named;
    for (const QString &backup : dir.entryList({QStringLiteral("data-*.zip")}, QDir::Files)) {
        QString problem;
        named << summary(dir.filePath(backup), &problem).value(bankKey).toString();
    }
    // A copy written within the hour may be one that a backup under way on
    // another thread is about to name.
    const QDateTime now = QDateTime::currentDateTime();
    for (const QString &bank : bankCopies(folder)) {
        if (!named.contains(bank) && QFileInfo(dir.filePath(bank)).lastModified().secsTo(now) > 3600)
            dir.remove(bank);
    }
}

qint64 BackupArchive::bankBytes(const QString &folder)
{
    qint64 bytes = 0;
    for (const QString &bank : bankCopies(folder))
        bytes += QFileInfo(folder + QLatin1Char('/') + bank).size();
    return bytes;
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
    QString problem;
    const QJsonObject about = summary(zipPath, &problem);
    if (about.isEmpty())
        return WriteOutcome::failed(problem);
    const QString bankName = about.value(bankKey).toString();
    const QString source = bankName.isEmpty() ? zipPath : QFileInfo(zipPath).absolutePath() + QLatin1Char('/') + bankName;
    if (!bankName.isEmpty() && !QFileInfo::exists(source))
        problem = QStringLiteral("这份备份所依据的题库副本 %1 已不存在").arg(bankName);
    if (problem.isEmpty()) {
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            problem = QStringLiteral("无法写入 %1（%2）").arg(target, out.errorString());
        else if (!expandMember(source, dataMember, &out, &problem) && !bankName.isEmpty())
            problem = QStringLiteral("这份备份所依据的题库副本 %1 已损坏：%2").arg(bankName, problem);
    }
    if (problem.isEmpty() && !bankName.isEmpty()) {
        const WriteOutcome applied = applyPages(zipPath, about, target);
        if (!applied)
            problem = applied.reason();
    }
    if (!problem.isEmpty()) {
        QFile::remove(target);
        return WriteOutcome::failed(problem);
    }
    return WriteOutcome();
}
