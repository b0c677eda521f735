#include "bankexport.h"

#include "giftexporter.h"
#include "moodlexmlexporter.h"
#include "sheetexporter.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

bool save(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool writeSheet(const QString &path, const QVector<QStringList> &rows)
{
    return BankExport::formatOfPath(path) == QLatin1String("xlsx") ? SheetExporter::writeXlsx(path, rows)
                                                                   : SheetExporter::writeCsv(path, rows);
}

} // namespace

QString BankExport::formatOfPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("gift") || suffix == QLatin1String("txt"))
        return QStringLiteral("gift");
    if (suffix == QLatin1String("xml") || suffix == QLatin1String("csv") || suffix == QLatin1String("xlsx"))
        return suffix;
    return QString();
}

bool BankExport::write(const QString &path, const QVector<BankQuestion> &questions, const QString &imgDir)
{
    const QString format = formatOfPath(path);
    if (format == QLatin1String("gift"))
        return save(path, GiftExporter::write(questions).toUtf8());
    if (format == QLatin1String("xml"))
        return save(path, MoodleXmlExporter::write(questions, imgDir));
    if (format == QLatin1String("csv") || format == QLatin1String("xlsx"))
        return writeSheet(path, SheetExporter::rows(questions));
    return false;
}

bool BankExport::writeTemplate(const QString &path)
{
    return writeSheet(path, SheetExporter::templateRows());
}
