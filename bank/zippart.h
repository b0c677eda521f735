#pragma once

#include <QIODevice>
#include <QString>
#include <memory>

class QuaZip;
class QuaZipFile;

// One part of a zip archive (a member of an XLSX or DOCX file) read as a
// stream whose expanded size is bounded: a small file that expands to
// hundreds of megabytes is refused when its bytes pass the bound, whatever its
// header claims, instead of being held in memory. Read it with a streaming
// reader (QXmlStreamReader on the device); after reading, status() tells
// whether the whole part came through.
class ZipPart : public QIODevice
{
public:
    // The bound of every part of a question file.
    static constexpr qint64 largestPart = 64ll * 1024 * 1024;
    enum class Status { Open, Missing, TooLarge, Damaged };

    // Opens the part of that name (compared without case) of an open archive.
    ZipPart(QuaZip *zip, const QString &name, qint64 bound = largestPart);
    ~ZipPart() override;

    Status status() const { return m_status; }
    // What went wrong, for the user, naming the part and the bound; "" while Open.
    QString problem() const;

    // A whole small part (relations, workbook) into memory, under the same
    // bound; false with problem set when it is not all there.
    static bool readAll(QuaZip *zip, const QString &name, QByteArray *bytes, QString *problem,
                        qint64 bound = largestPart);

    bool isSequential() const override { return true; }
    bool atEnd() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    QString m_name;
    qint64 m_bound;
    qint64 m_read = 0;
    bool m_finished = false;
    Status m_status = Status::Open;
    std::unique_ptr<QuaZipFile> m_file;
};
