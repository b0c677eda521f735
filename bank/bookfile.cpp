#include "bookfile.h"

#include "banktext.h"
#include "bookconverter.h"
#include "bookrecogniser.h"
#include "docxreader.h"

#include <QFile>
#include <QFileInfo>
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
        return BookRecogniser::recogniseText(withoutPageNumbers(QString::fromUtf8(text.bytes)), format);
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
