#include "zippart.h"

#include <quazip.h>
#include <quazipfile.h>

ZipPart::ZipPart(QuaZip *zip, const QString &name, qint64 bound)
    : m_name(name)
    , m_bound(bound)
{
    if (!zip->setCurrentFile(name, QuaZip::csInsensitive)) {
        m_status = Status::Missing;
        return;
    }
    QuaZipFileInfo64 info;
    if (!zip->getCurrentFileInfo(&info)) {
        m_status = Status::Damaged;
        return;
    }
    // A header that admits the size is refused at once; one that lies is
    // caught by counting the bytes as they come.
    if (info.uncompressedSize > quint64(bound)) {
        m_status = Status::TooLarge;
        return;
    }
    m_file = std::make_unique<QuaZipFile>(zip);
    if (!m_file->open(QIODevice::ReadOnly)) {
        m_status = Status::Damaged;
        return;
    }
    // Unbuffered: every read reaches readData, which counts and bounds it.
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

ZipPart::~ZipPart()
{
    if (m_file && m_file->isOpen())
        m_file->close();
}

QString ZipPart::problem() const
{
    const qint64 mib = m_bound / (1024 * 1024);
    switch (m_status) {
    case Status::Open:
        return QString();
    case Status::Missing:
        return QStringLiteral("压缩包中缺少 %1").arg(m_name);
    case Status::TooLarge:
        return QStringLiteral("压缩包中的 %1 展开后超过 %2 MiB，不能读取（文件的每个部分展开后最多 %2 MiB）")
            .arg(m_name).arg(mib);
    case Status::Damaged:
        break;
    }
    return QStringLiteral("压缩包中的 %1 已损坏，无法解压").arg(m_name);
}

bool ZipPart::atEnd() const
{
    return m_finished || m_status != Status::Open;
}

qint64 ZipPart::readData(char *data, qint64 maxSize)
{
    if (m_status != Status::Open)
        return -1;
    if (m_finished)
        return 0;
    // One byte past the bound is asked for, so that a part of exactly the
    // bound's size passes and a larger one is seen.
    const qint64 wanted = qMin(maxSize, m_bound + 1 - m_read);
    const qint64 got = m_file->read(data, wanted);
    if (got < 0 || (got == 0 && m_file->getZipError() != UNZ_OK)) {
        m_status = Status::Damaged;
        setErrorString(problem());
        return -1;
    }
    m_read += got;
    if (m_read > m_bound) {
        m_status = Status::TooLarge;
        setErrorString(problem());
        return -1;
    }
    if (got == 0) {
        m_finished = true;
        m_file->close();
        if (m_file->getZipError() != UNZ_OK) {
            m_status = Status::Damaged;
            setErrorString(problem());
            return -1;
        }
        return 0;
    }
    return got;
}

qint64 ZipPart::writeData(const char *, qint64)
{
    return -1;
}

bool ZipPart::readAll(QuaZip *zip, const QString &name, QByteArray *bytes, QString *problem, qint64 bound)
{
    bytes->clear();
    ZipPart part(zip, name, bound);
    char chunk[64 * 1024];
    while (part.status() == Status::Open && !part.atEnd()) {
        const qint64 got = part.read(chunk, sizeof chunk);
        if (got <= 0)
            break;
        bytes->append(chunk, int(got));
    }
    if (problem)
        *problem = part.problem();
    if (part.status() != Status::Open)
        bytes->clear();
    return part.status() == Status::Open;
}
