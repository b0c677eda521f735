#include "bankexport.h"

#include "clozetext.h"
#include "exportpictures.h"
#include "giftexporter.h"
#include "parsedbank.h"
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

bool BankExport::write(const QString &path, const QVector<BankQuestion> &questions, const QString &imgDir,
                       QStringList *ownForm)
{
    const QString format = formatOfPath(path);
    if (ownForm) {
        ownForm->clear();
        const auto note = [&](const BankQuestion &q) {
            const bool several = q.type == BankQuestion::FillIn && q.blanks.size() > 1;
            if (several && (format == QLatin1String("gift") || (format == QLatin1String("xml") && !ClozeText::fits(q))))
                ownForm->append(ParsedBank::openingOf(q.stemHtml));
        };
        for (const BankQuestion &q : questions) {
            note(q);
            for (const BankQuestion &part : q.parts)
                note(part);
        }
    }
    if (format.isEmpty())
        return false;
    if (format == QLatin1String("xml"))
        return save(path, MoodleXmlExporter::write(questions, imgDir));
    // The other formats carry their pictures in a folder beside the file.
    QVector<BankQuestion> carried = questions;
    if (!ExportPictures::carry(path, imgDir, &carried))
        return false;
    if (format == QLatin1String("gift"))
        return save(path, GiftExporter::write(carried).toUtf8());
    if (format == QLatin1String("csv") || format == QLatin1String("xlsx"))
        return writeSheet(path, SheetExporter::rows(carried));
    return false;
}

QString BankExport::ownFormText(const QStringList &ownForm)
{
    if (ownForm.isEmpty())
        return QString();
    return QStringLiteral("%1 道有几个空的填空题，这种格式没有相应的写法，按本程序的写法（各空用“|”分隔）写出：%2")
        .arg(ownForm.size())
        .arg(ownForm.join(QStringLiteral("；")));
}

bool BankExport::writeTemplate(const QString &path)
{
    return writeSheet(path, SheetExporter::templateRows());
}
