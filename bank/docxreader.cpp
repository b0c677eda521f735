#include "docxreader.h"

#include "imagecollector.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <quazip.h>
#include <quazipfile.h>

namespace {

// Reads parts of the zip, each at most DocxReader::largestPart expanded.
class Package
{
public:
    explicit Package(QuaZip &zip) : m_zip(zip) {}

    enum Outcome { Read, Missing, TooLarge, Broken };

    Outcome part(const QString &name, QByteArray *bytes)
    {
        if (!m_zip.setCurrentFile(name, QuaZip::csInsensitive))
            return Missing;
        QuaZipFileInfo64 info;
        if (!m_zip.getCurrentFileInfo(&info))
            return Broken;
        if (info.uncompressedSize > quint64(DocxReader::largestPart))
            return TooLarge;
        QuaZipFile file(&m_zip);
        if (!file.open(QIODevice::ReadOnly))
            return Broken;
        // The size in the header may lie: never more than the bound is read.
        *bytes = file.read(DocxReader::largestPart + 1);
        file.close();
        if (bytes->size() > DocxReader::largestPart)
            return TooLarge;
        return file.getZipError() == UNZ_OK ? Read : Broken;
    }

private:
    QuaZip &m_zip;
};

QString tooLarge(const QString &part)
{
    return QStringLiteral("Word 文件中的 %1 展开后超过 64 MB，不能读取").arg(part);
}

// A list level of word/numbering.xml.
struct Level
{
    int start = 1;
    QString format = QStringLiteral("decimal");
    QString text;
};

QString chineseNumber(int n)
{
    static const QString digits = QStringLiteral("零一二三四五六七八九");
    if (n <= 0 || n >= 100)
        return QString::number(n);
    if (n < 10)
        return digits.at(n);
    return (n / 10 == 1 ? QString() : QString(digits.at(n / 10))) + QStringLiteral("十")
        + (n % 10 ? QString(digits.at(n % 10)) : QString());
}

QString roman(int n)
{
    static const int values[] = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
    static const char *const numerals[] = {"M", "CM", "D", "CD", "C", "XC", "L", "XL", "X", "IX", "V", "IV", "I"};
    QString text;
    for (int i = 0; i < 13 && n > 0 && n < 4000; ++i) {
        while (n >= values[i]) {
            text += QLatin1String(numerals[i]);
            n -= values[i];
        }
    }
    return text;
}

QString formatted(int n, const QString &format)
{
    if (format == QLatin1String("upperLetter") || format == QLatin1String("lowerLetter")) {
        const QChar letter(ushort((format.startsWith(QLatin1Char('u')) ? 'A' : 'a') + (n - 1) % 26));
        return QString(letter);
    }
    if (format == QLatin1String("upperRoman"))
        return roman(n);
    if (format == QLatin1String("lowerRoman"))
        return roman(n).toLower();
    if (format.startsWith(QLatin1String("chinese")) || format.startsWith(QLatin1String("ideograph"))
        || format.startsWith(QLatin1String("taiwanese")))
        return chineseNumber(n);
    if (format == QLatin1String("decimalEnclosedParen") || format == QLatin1String("decimalEnclosedCircle"))
        return QStringLiteral("(%1)").arg(n);
    return QString::number(n);
}

// The automatic numbers of the document's lists.
class Numbering
{
public:
    void read(const QByteArray &xml)
    {
        QXmlStreamReader reader(xml);
        QString abstractId;
        QString numId;
        int level = -1;
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement)
                continue;
            const auto name = reader.name();
            const QString val = reader.attributes().value(QStringLiteral("w:val")).toString();
            if (name == QLatin1String("abstractNum")) {
                abstractId = reader.attributes().value(QStringLiteral("w:abstractNumId")).toString();
                numId.clear();
            } else if (name == QLatin1String("num")) {
                numId = reader.attributes().value(QStringLiteral("w:numId")).toString();
                abstractId.clear();
            } else if (name == QLatin1String("abstractNumId") && !numId.isEmpty()) {
                m_abstractOf.insert(numId, val);
            } else if (name == QLatin1String("lvl") && !abstractId.isEmpty()) {
                level = reader.attributes().value(QStringLiteral("w:ilvl")).toInt();
                if (level >= 0 && level < 9)
                    m_levels[abstractId].resize(qMax(m_levels[abstractId].size(), level + 1));
            } else if (level >= 0 && level < 9 && !abstractId.isEmpty()) {
                Level &l = m_levels[abstractId][level];
                if (name == QLatin1String("start"))
                    l.start = val.toInt();
                else if (name == QLatin1String("numFmt"))
                    l.format = val;
                else if (name == QLatin1String("lvlText"))
                    l.text = val;
            }
        }
    }

    // The visible number of the next paragraph of a list at a level.
    QString next(const QString &numId, int level)
    {
        const QString abstractId = m_abstractOf.value(numId);
        const QVector<Level> levels = m_levels.value(abstractId);
        if (level < 0 || level >= levels.size())
            return QString();
        QVector<int> &counters = m_counters[abstractId];
        counters.resize(levels.size());
        for (int i = 0; i < levels.size(); ++i) {
            if (i < level && counters[i] == 0)
                counters[i] = levels.at(i).start;
        }
        counters[level] = counters[level] == 0 ? levels.at(level).start : counters[level] + 1;
        for (int i = level + 1; i < counters.size(); ++i)
            counters[i] = 0;
        const Level &l = levels.at(level);
        if (l.format == QLatin1String("bullet") || l.format == QLatin1String("none"))
            return QString();
        QString text = l.text;
        for (int i = 0; i <= level; ++i)
            text.replace(QLatin1Char('%') + QString::number(i + 1), formatted(counters[i], levels.at(i).format));
        return text;
    }

private:
    QHash<QString, QString> m_abstractOf;
    QHash<QString, QVector<Level>> m_levels;
    QHash<QString, QVector<int>> m_counters;
};

// The text of one run, in the formatting it carries.
struct RunStyle
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QString vertical;      // "superscript", "subscript"
};

QString styled(const QString &escaped, const RunStyle &style)
{
    QString text = escaped;
    // Underlined blanks are the blanks of a fill-in question.
    if (style.underline && !text.isEmpty() && text.trimmed().isEmpty())
        return QStringLiteral("____");
    if (style.vertical == QLatin1String("superscript"))
        text = QLatin1String("<sup>") + text + QLatin1String("</sup>");
    else if (style.vertical == QLatin1String("subscript"))
        text = QLatin1String("<sub>") + text + QLatin1String("</sub>");
    if (style.italic)
        text = QLatin1String("<i>") + text + QLatin1String("</i>");
    if (style.bold)
        text = QLatin1String("<b>") + text + QLatin1String("</b>");
    return text;
}

bool switchedOn(const QXmlStreamReader &reader)
{
    const QStringRef val = reader.attributes().value(QStringLiteral("w:val"));
    return val.isEmpty() || (val != QLatin1String("0") && val != QLatin1String("false") && val != QLatin1String("none"));
}

class Walker
{
public:
    Walker(Package &package, const QHash<QString, QString> &relations, Numbering &numbering, BookDocument &document)
        : m_package(package), m_relations(relations), m_numbering(numbering), m_document(document)
    {
    }

    void walk(const QByteArray &xml)
    {
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            const QXmlStreamReader::TokenType token = reader.readNext();
            if (token == QXmlStreamReader::StartElement)
                start(reader);
            else if (token == QXmlStreamReader::EndElement)
                end(reader);
            else if (token == QXmlStreamReader::Characters && m_textOpen && m_skip == 0)
                m_line += styled(reader.text().toString().toHtmlEscaped(), m_math > 0 ? RunStyle() : m_run);
        }
        if (reader.hasError())
            m_document.problems.append({m_document.lines.size() + 1,
                                        QStringLiteral("word/document.xml 有错：%1").arg(reader.errorString()),
                                        BankProblem::Error});
        emitLine();
    }

private:
    void start(QXmlStreamReader &reader)
    {
        const QString name = reader.qualifiedName().toString();
        if (m_skip > 0) {
            ++m_skip;
            return;
        }
        if (name == QLatin1String("w:p")) {
            emitLine();
            m_numId.clear();
            m_level = 0;
        } else if (name == QLatin1String("w:numId")) {
            m_numId = reader.attributes().value(QStringLiteral("w:val")).toString();
        } else if (name == QLatin1String("w:ilvl")) {
            m_level = reader.attributes().value(QStringLiteral("w:val")).toInt();
        } else if (name == QLatin1String("w:r")) {
            m_run = RunStyle();
            numberParagraph();
        } else if (name == QLatin1String("w:b")) {
            m_run.bold = switchedOn(reader);
        } else if (name == QLatin1String("w:i")) {
            m_run.italic = switchedOn(reader);
        } else if (name == QLatin1String("w:u")) {
            m_run.underline = switchedOn(reader);
        } else if (name == QLatin1String("w:vertAlign")) {
            m_run.vertical = reader.attributes().value(QStringLiteral("w:val")).toString();
        } else if (name == QLatin1String("w:t") || name == QLatin1String("m:t")) {
            m_textOpen = true;
        } else if (name == QLatin1String("w:tab")) {
            m_line += QLatin1Char('\t');
        } else if (name == QLatin1String("w:br") || name == QLatin1String("w:cr")) {
            emitLine();
        } else if (name == QLatin1String("w:tc")) {
            emitLine();
        } else if (name == QLatin1String("m:oMath")) {
            numberParagraph();
            ++m_math;
        } else if (name == QLatin1String("m:den")) {
            m_line += QLatin1Char('/');
        } else if (name == QLatin1String("m:sup")) {
            m_line += QLatin1Char('^');
        } else if (name == QLatin1String("m:sub")) {
            m_line += QLatin1Char('_');
        } else if (name == QLatin1String("m:rad")) {
            m_line += QStringLiteral("√");
        } else if (name == QLatin1String("a:blip")) {
            picture(reader.attributes().value(QStringLiteral("r:embed")).toString());
        } else if (name == QLatin1String("v:imagedata")) {
            picture(reader.attributes().value(QStringLiteral("r:id")).toString());
        } else if (name == QLatin1String("w:delText") || name == QLatin1String("w:instrText")
                   || name == QLatin1String("mc:Fallback") || name == QLatin1String("w:rPrChange")
                   || name == QLatin1String("w:pPrChange")) {
            // Deleted text, field codes and the old copies of changed or
            // alternative content are not what the reader sees.
            m_skip = 1;
        }
    }

    void end(QXmlStreamReader &reader)
    {
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        const auto name = reader.qualifiedName();
        if (name == QLatin1String("w:t") || name == QLatin1String("m:t"))
            m_textOpen = false;
        else if (name == QLatin1String("m:oMath"))
            --m_math;
        else if (name == QLatin1String("w:p") || name == QLatin1String("w:tc"))
            emitLine();
    }

    // A list paragraph shows its number before its first run.
    void numberParagraph()
    {
        if (m_numId.isEmpty())
            return;
        const QString number = m_numbering.next(m_numId, m_level);
        m_numId.clear();
        if (!number.isEmpty())
            m_line += number.toHtmlEscaped() + QLatin1Char(' ');
    }

    void picture(const QString &relation)
    {
        const QString target = m_relations.value(relation);
        if (target.isEmpty())
            return;
        QByteArray bytes;
        const Package::Outcome outcome = m_package.part(target, &bytes);
        if (outcome != Package::Read) {
            m_document.problems.append({m_document.lines.size() + 1,
                                        outcome == Package::TooLarge ? tooLarge(target)
                                                                     : QStringLiteral("图片 %1 无法读取，题目中不显示").arg(target),
                                        BankProblem::Note});
            return;
        }
        QString suffix = QFileInfo(target).suffix().toLower();
        if (suffix == QLatin1String("jpeg"))
            suffix = QStringLiteral("jpg");
        const QString name = ImageCollector::storedName(bytes, suffix.isEmpty() ? QStringLiteral("png") : suffix);
        if (!m_stored.contains(name)) {
            m_stored.insert(name);
            m_document.images.append({name, bytes});
        }
        m_line += QStringLiteral("<img src=\"/%1\"/>").arg(name);
    }

    void emitLine()
    {
        if (!m_line.isEmpty()) {
            m_document.lines.append(RichLine::fromHtml(m_line, m_document.lines.size() + 1));
            m_line.clear();
        }
    }

    Package &m_package;
    const QHash<QString, QString> &m_relations;
    Numbering &m_numbering;
    BookDocument &m_document;
    QSet<QString> m_stored;
    QString m_line;
    QString m_numId;
    int m_level = 0;
    RunStyle m_run;
    bool m_textOpen = false;
    int m_math = 0;
    int m_skip = 0;
};

} // namespace

BookDocument DocxReader::read(const QByteArray &bytes)
{
    BookDocument document;
    const auto fail = [&document](const QString &reason) {
        document.problems.append({0, reason, BankProblem::Error});
        return document;
    };
    QByteArray data = bytes;
    QBuffer buffer(&data);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdUnzip))
        return fail(QStringLiteral("不是 Word（.docx）文件：无法作为压缩包打开"));
    Package package(zip);

    QByteArray xml;
    switch (package.part(QStringLiteral("word/document.xml"), &xml)) {
    case Package::Read:
        break;
    case Package::TooLarge:
        return fail(tooLarge(QStringLiteral("word/document.xml")));
    case Package::Missing:
        return fail(QStringLiteral("不是 Word（.docx）文件：缺少 word/document.xml"));
    case Package::Broken:
        return fail(QStringLiteral("Word 文件已损坏：word/document.xml 无法解压"));
    }

    QHash<QString, QString> relations;
    QByteArray rels;
    if (package.part(QStringLiteral("word/_rels/document.xml.rels"), &rels) == Package::Read) {
        for (QXmlStreamReader reader(rels); !reader.atEnd();) {
            if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != QLatin1String("Relationship"))
                continue;
            const QXmlStreamAttributes attributes = reader.attributes();
            if (attributes.value(QStringLiteral("TargetMode")) == QLatin1String("External"))
                continue;
            const QString target = attributes.value(QStringLiteral("Target")).toString();
            relations.insert(attributes.value(QStringLiteral("Id")).toString(),
                             target.startsWith(QLatin1Char('/')) ? target.mid(1)
                                                                 : QDir::cleanPath(QStringLiteral("word/") + target));
        }
    }
    Numbering numbering;
    QByteArray numberingXml;
    const Package::Outcome numbers = package.part(QStringLiteral("word/numbering.xml"), &numberingXml);
    if (numbers == Package::Read)
        numbering.read(numberingXml);
    else if (numbers == Package::TooLarge)
        return fail(tooLarge(QStringLiteral("word/numbering.xml")));

    Walker(package, relations, numbering, document).walk(xml);
    return document;
}
