#include "bookfile.h"

#include "banktext.h"
#include "bookconverter.h"
#include "bookrecogniser.h"
#include "docxreader.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

namespace {

// Only the pictures some question shows are kept.
void keepShownImages(ParsedBank &bank, const QVector<BankImage> &images)
{
    if (images.isEmpty())
        return;
    QString shown;
    const auto add = [&shown](const BankQuestion &q) {
        shown += q.stemHtml + q.optionsHtml.join(QString()) + q.explanationHtml;
    };
    for (const BankQuestion &q : qAsConst(bank.questions)) {
        add(q);
        for (const BankQuestion &part : q.parts)
            add(part);
    }
    for (const BankImage &image : images) {
        if (shown.contains(image.name))
            bank.images.append(image);
    }
}

ParsedBank docx(const QByteArray &bytes, const QString &format)
{
    const BookDocument document = DocxReader::read(bytes);
    for (const BankProblem &problem : document.problems) {
        if (problem.severity == BankProblem::Error && problem.line == 0) {
            ParsedBank failed;
            failed.format = format;
            failed.problems = document.problems;
            return failed;
        }
    }
    ParsedBank bank = BookRecogniser::recognise(document.lines, format);
    bank.problems = document.problems + bank.problems;
    keepShownImages(bank, document.images);
    return bank;
}

// Page numbers a PDF's text carries between its pages.
QString withoutPageNumbers(QString text)
{
    static const QRegularExpression pageNumber(
        QStringLiteral("^[ \\f]*(?:-\\s*\\d+\\s*-|第\\s*\\d+\\s*页(?:\\s*[,，/]?\\s*共\\s*\\d+\\s*页)?|\\d+\\s*/\\s*\\d+|\\d{1,4})[ \\t]*$"),
        QRegularExpression::MultilineOption);
    return text.replace(pageNumber, QString());
}

// PDF text often gives a character as the radical of the same shape (the
// font maps both to one glyph): the ideograph the reader sees is meant.
QString withIdeographs(QString text)
{
    static const QHash<ushort, QChar> simplified{
        {0x2EC5, QChar(0x89C1)}, {0x2EC6, QChar(0x89D2)}, {0x2EC9, QChar(0x8D1D)}, {0x2ECB, QChar(0x8F66)},
        {0x2ED0, QChar(0x9485)}, {0x2ED3, QChar(0x957F)}, {0x2ED4, QChar(0x95E8)}, {0x2ED9, QChar(0x97E6)},
        {0x2EDA, QChar(0x9875)}, {0x2EDB, QChar(0x98CE)}, {0x2EDC, QChar(0x98DE)}, {0x2EE0, QChar(0x9963)},
        {0x2EE2, QChar(0x9A6C)}, {0x2EE5, QChar(0x9C7C)}, {0x2EE6, QChar(0x9E1F)}, {0x2EE7, QChar(0x5364)},
        {0x2EE8, QChar(0x9EA6)}, {0x2EE9, QChar(0x9EC4)}, {0x2EEC, QChar(0x9F50)}, {0x2EEE, QChar(0x9F7F)},
        {0x2EF0, QChar(0x9F99)}, {0x2EF3, QChar(0x9F9F)}};
    for (int i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        if (c >= 0x2F00 && c <= 0x2FD5) {
            const QString ideograph = QString(text.at(i)).normalized(QString::NormalizationForm_KC);
            if (ideograph.size() == 1)
                text[i] = ideograph.at(0);
        } else if (c >= 0x2E80 && c < 0x2F00) {
            text[i] = simplified.value(c, text.at(i));
        }
    }
    return text;
}

ParsedBank failed(const QString &format, const QString &reason)
{
    ParsedBank bank;
    bank.format = format;
    bank.addError(0, reason);
    return bank;
}

} // namespace

namespace BookFile {

QStringList formats()
{
    return {QStringLiteral("book"), QStringLiteral("docx"), QStringLiteral("doc"), QStringLiteral("wps"),
            QStringLiteral("pdf")};
}

QString detectFormat(const QByteArray &bytes, const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (bytes.startsWith("PK\x03\x04") && bytes.contains("word/"))
        return QStringLiteral("docx");
    if (bytes.startsWith("%PDF"))
        return QStringLiteral("pdf");
    if (bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return suffix == QLatin1String("wps") ? QStringLiteral("wps") : QStringLiteral("doc");
    return QString();
}

ParsedBank parse(const QByteArray &bytes, const QString &format)
{
    if (format == QLatin1String("book"))
        return BookRecogniser::recogniseText(BankText::decode(bytes));
    if (format == QLatin1String("docx"))
        return docx(bytes, format);
    // The converters read files: the bytes go to one of their own.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("book.") + format);
    QFile file(path);
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return failed(format, QStringLiteral("无法写入临时文件，不能转换"));
    file.close();
    if (format == QLatin1String("pdf")) {
        const BookConverter::Result text = BookConverter::pdfToText(path);
        if (!text.error.isEmpty())
            return failed(format, text.error);
        return BookRecogniser::recogniseText(withIdeographs(withoutPageNumbers(QString::fromUtf8(text.bytes))), format);
    }
    const BookConverter::Result converted = BookConverter::wordToDocx(path);
    if (!converted.error.isEmpty())
        return failed(format, converted.error);
    return docx(converted.bytes, format);
}

ParsedBank parseText(const QString &text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return BookRecogniser::recogniseText(plain, QStringLiteral("book"));
}

} // namespace BookFile
