#include "bankfile.h"

#include "aikenparser.h"
#include "banktext.h"
#include "bookfile.h"
#include "bookrecogniser.h"
#include "csvreader.h"
#include "giftparser.h"
#include "moodlexmlparser.h"
#include "sheetparser.h"
#include "xlsxreader.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Files larger than this are refused rather than read into memory: with the
// bound on each part of a zipped file, an import stays within a few hundred MB.
constexpr qint64 largestFile = 64ll * 1024 * 1024;
// A text file is held three times over while it is read (bytes, text,
// questions): past this size an import would take more than 300 MB.
constexpr qint64 largestText = 24ll * 1024 * 1024;

} // namespace

QStringList BankFile::formats()
{
    return QStringList{QStringLiteral("gift"), QStringLiteral("aiken"), QStringLiteral("xml"), QStringLiteral("csv"),
                       QStringLiteral("xlsx")}
        + BookFile::formats();
}

QString BankFile::detectFormat(const QByteArray &bytes, const QString &fileName)
{
    const QString book = BookFile::detectFormat(bytes, fileName);
    if (!book.isEmpty())
        return book;
    if (bytes.startsWith("PK\x03\x04"))
        return QStringLiteral("xlsx");
    const QString text = BankText::decode(bytes.left(64 * 1024));
    const QString start = text.trimmed();
    if (start.startsWith(QLatin1String("<?xml")) || start.startsWith(QLatin1String("<quiz")))
        return QStringLiteral("xml");
    const QString firstLine = start.section(QLatin1Char('\n'), 0, 0);
    if (SheetParser::looksLikeHeader(firstLine))
        return QStringLiteral("csv");
    static const QRegularExpression aikenAnswer(QStringLiteral("^\\s*ANSWER\\s*[:：]\\s*[A-Za-z]"),
                                                QRegularExpression::MultilineOption);
    static const QRegularExpression giftMarks(QStringLiteral("^\\s*(::|\\$CATEGORY:)|[^\\\\]\\{[^}]*\\}"),
                                              QRegularExpression::MultilineOption);
    const bool aiken = aikenAnswer.match(text).hasMatch();
    const bool gift = giftMarks.match(text).hasMatch();
    if (aiken && !gift)
        return QStringLiteral("aiken");
    if (gift && !aiken)
        return QStringLiteral("gift");
    if (BookRecogniser::looksLikeBook(text))
        return QStringLiteral("book");
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("gift"))
        return QStringLiteral("gift");
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("tsv"))
        return QStringLiteral("csv");
    if (suffix == QLatin1String("xml"))
        return QStringLiteral("xml");
    if (gift)
        return QStringLiteral("gift");
    return suffix == QLatin1String("txt") ? QStringLiteral("book") : QString();
}

ParsedBank BankFile::parse(const QByteArray &bytes, const QString &format, const QString &baseDir)
{
    ParsedBank bank;
    int badLine = 0;
    if (format == QLatin1String("gift")) {
        bank = GiftParser::parse(BankText::decode(bytes, nullptr, &badLine), baseDir);
    } else if (format == QLatin1String("aiken")) {
        bank = AikenParser::parse(BankText::decode(bytes, nullptr, &badLine));
    } else if (format == QLatin1String("xml")) {
        bank = MoodleXmlParser::parse(bytes, baseDir);
    } else if (format == QLatin1String("csv")) {
        bank = SheetParser::parse(CsvReader::read(bytes), format, baseDir);
    } else if (format == QLatin1String("xlsx")) {
        bank = SheetParser::parse(XlsxReader::read(bytes), format, baseDir);
    } else if (BookFile::formats().contains(format)) {
        bank = BookFile::parse(bytes, format);
    } else {
        bank.addError(0, QStringLiteral("认不出文件的格式（可用 gift、aiken、xml、csv、xlsx、docx、doc、wps、pdf 或题本文本）"));
        return bank;
    }
    if (badLine > 0)
        bank.addError(badLine, BankText::undecodableText());
    bank.refuseControlCharacters();
    // Problems in file order, whenever a parser found them.
    std::stable_sort(bank.problems.begin(), bank.problems.end(),
                     [](const BankProblem &a, const BankProblem &b) { return a.line < b.line; });
    return bank;
}

ParsedBank BankFile::read(const QString &path, const QString &format)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ParsedBank bank;
        bank.addError(0, QStringLiteral("无法打开文件：%1").arg(file.errorString()));
        return bank;
    }
    if (file.size() > largestFile) {
        ParsedBank bank;
        bank.addError(0, QStringLiteral("文件太大（题库文件最大 64 MiB）"));
        return bank;
    }
    const QByteArray bytes = file.readAll();
    const QString chosen = format.isEmpty() ? detectFormat(bytes, path) : format;
    if (chosen != QLatin1String("xlsx") && bytes.size() > largestText) {
        ParsedBank bank;
        bank.addError(0, QStringLiteral("文件太大（文本的题库文件最大 24 MiB，请分成几个文件）"));
        return bank;
    }
    return parse(bytes, chosen, QFileInfo(path).absolutePath());
}
