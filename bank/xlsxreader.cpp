#include "xlsxreader.h"

#include "zippart.h"

#include <QBuffer>
#include <QDir>
#include <QXmlStreamReader>
#include <quazip.h>

namespace {

QString attributeEndingIn(const QXmlStreamAttributes &attributes, const QString &name)
{
    for (const QXmlStreamAttribute &attribute : attributes) {
        if (attribute.name() == name)
            return attribute.value().toString();
    }
    return QString();
}

// The text of the rich-text element the reader stands on (<si> or <is>):
// its <t> elements, those inside phonetic runs (<rPh>) left out.
QString richText(QXmlStreamReader &reader)
{
    const QString end = reader.name().toString();
    QString text;
    int phonetic = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (reader.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (reader.name() == QLatin1String("t") && phonetic == 0)
                text += reader.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (reader.isEndElement()) {
            if (reader.name() == QLatin1String("rPh"))
                --phonetic;
            else if (reader.name() == end)
                break;
        }
    }
    return text;
}

int columnOf(const QString &reference, int fallback)
{
    int column = 0;
    int letters = 0;
    for (const QChar c : reference) {
        if (c.unicode() < 'A' || c.unicode() > 'Z')
            break;
        column = column * 26 + (c.unicode() - 'A' + 1);
        ++letters;
        if (letters > 3)
            return fallback;
    }
    return letters == 0 ? fallback : column - 1;
}

QString numberText(const QString &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? QString::number(number, 'g', 15) : value;
}

// "worksheets/sheet1.xml" relative to xl/, or "/xl/worksheets/sheet1.xml".
QString memberPath(const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    return QDir::cleanPath(QStringLiteral("xl/") + target);
}

} // namespace

SheetTable XlsxReader::read(const QByteArray &bytes)
{
    SheetTable table;
    const auto fail = [&table](const QString &reason) {
        table.problems.append({1, reason, BankProblem::Error});
        return table;
    };
    QByteArray data = bytes;
    QBuffer buffer(&data);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdUnzip))
        return fail(QStringLiteral("不是 XLSX 文件：无法作为压缩包打开"));
    QByteArray xml;
    QString problem;
    if (!ZipPart::readAll(&zip, QStringLiteral("xl/workbook.xml"), &xml, &problem))
        return fail(QStringLiteral("不是 XLSX 工作簿：") + problem);
    QString sheetRelation;
    for (QXmlStreamReader reader(xml); !reader.atEnd() && sheetRelation.isEmpty();) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QLatin1String("sheet"))
            sheetRelation = attributeEndingIn(reader.attributes(), QStringLiteral("id"));
    }

    QString sheetPath;
    QString sharedPath = QStringLiteral("xl/sharedStrings.xml");
    if (ZipPart::readAll(&zip, QStringLiteral("xl/_rels/workbook.xml.rels"), &xml, nullptr)) {
        for (QXmlStreamReader reader(xml); !reader.atEnd();) {
            if (reader.readNext() != QXmlStreamReader::StartElement
                || reader.name() != QLatin1String("Relationship"))
                continue;
            const QXmlStreamAttributes attributes = reader.attributes();
            const QString target = memberPath(attributes.value(QStringLiteral("Target")).toString());
            if (attributes.value(QStringLiteral("Id")) == sheetRelation)
                sheetPath = target;
            else if (attributes.value(QStringLiteral("Type")).endsWith(QLatin1String("/sharedStrings")))
                sharedPath = target;
        }
    }
    xml.clear();
    if (sheetPath.isEmpty())
        sheetPath = QStringLiteral("xl/worksheets/sheet1.xml");

    // Both large parts are read as streams, each under the bound.
    QStringList shared;
    {
        ZipPart part(&zip, sharedPath);
        if (part.status() != ZipPart::Status::Missing) {
            for (QXmlStreamReader reader(&part); !reader.atEnd();) {
                if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QLatin1String("si"))
                    shared << richText(reader);
            }
            if (part.status() != ZipPart::Status::Open)
                return fail(part.problem());
        }
    }

    ZipPart part(&zip, sheetPath);
    if (part.status() == ZipPart::Status::Missing)
        return fail(QStringLiteral("XLSX 文件缺少第一张工作表（%1）").arg(sheetPath));
    if (part.status() != ZipPart::Status::Open)
        return fail(part.problem());
    QXmlStreamReader reader(&part);
    SheetRow row;
    int rowNumber = 0;
    QString cellType;
    int column = 0;
    constexpr int widest = 64;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto name = reader.name();
            if (name == QLatin1String("row")) {
                const int given = reader.attributes().value(QStringLiteral("r")).toInt();
                rowNumber = given > 0 ? given : rowNumber + 1;
                row = SheetRow();
                row.line = rowNumber;
                column = 0;
            } else if (name == QLatin1String("c")) {
                cellType = reader.attributes().value(QStringLiteral("t")).toString();
                column = columnOf(reader.attributes().value(QStringLiteral("r")).toString(), column);
            } else if (name == QLatin1String("v") || name == QLatin1String("is")) {
                QString value;
                if (name == QLatin1String("is")) {
                    value = richText(reader);
                } else {
                    value = reader.readElementText();
                    if (cellType == QLatin1String("s")) {
                        const int index = value.toInt();
                        value = index >= 0 && index < shared.size() ? shared.at(index) : QString();
                    } else if (cellType.isEmpty() || cellType == QLatin1String("n")) {
                        value = numberText(value);
                    }
                }
                if (column < widest) {
                    while (row.cells.size() <= column)
                        row.cells << QString();
                    row.cells[column] = value;
                }
            }
        } else if (reader.isEndElement()) {
            if (reader.name() == QLatin1String("c")) {
                ++column;
            } else if (reader.name() == QLatin1String("row")) {
                bool empty = true;
                for (const QString &cell : qAsConst(row.cells))
                    empty = empty && cell.trimmed().isEmpty();
                if (!empty)
                    table.rows.append(row);
            }
        }
    }
    if (part.status() != ZipPart::Status::Open) {
        table.rows.clear();
        return fail(part.problem());
    }
    if (reader.hasError())
        table.problems.append({rowNumber, QStringLiteral("工作表的 XML 有错：%1").arg(reader.errorString()),
                               BankProblem::Error});
    return table;
}
