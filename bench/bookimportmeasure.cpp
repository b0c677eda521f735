#include "bookimportmeasure.h"

#include "bankfile.h"
#include "bankwriter.h"
#include "benchbank.h"
#include "importpreview.h"
#include "schemamigration.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <quazip.h>
#include <quazipfile.h>

#include <utility>

namespace {

const QString connectionName = QStringLiteral("bench_import_docx");

QByteArray paragraph(const QString &text)
{
    return "<w:p><w:r><w:t xml:space=\"preserve\">" + text.toHtmlEscaped().toUtf8() + "</w:t></w:r></w:p>";
}

// Sections of each type in turn, 3,000 questions in all.
QByteArray documentXml(int questions)
{
    QByteArray body;
    const int perSection = qMax(1, questions / 5);
    const QStringList headings{QStringLiteral("一、单项选择题（每题1分）"), QStringLiteral("二、多项选择题（每题2分）"),
                               QStringLiteral("三、判断题"), QStringLiteral("四、填空题"), QStringLiteral("五、简答题")};
    for (int i = 0; i < questions; ++i) {
        const int section = qMin(i / perSection, 4);
        const int number = i - section * perSection + 1;
        if (number == 1)
            body += paragraph(headings.at(section));
        const QString n = QString::number(number);
        switch (section) {
        case 0:
            body += paragraph(n + QStringLiteral("．第%1题：下列哪一项属于输出设备？（ ）").arg(i));
            for (const char *option : {"A．键盘", "B．打印机", "C．鼠标", "D．扫描仪"})
                body += paragraph(QString::fromUtf8(option));
            body += paragraph(QStringLiteral("答案：B"));
            body += paragraph(QStringLiteral("解析：打印机把结果输出到纸上。"));
            break;
        case 1:
            body += paragraph(n + QStringLiteral("．第%1题：下列属于个人防护用品的有（ ）").arg(i));
            body += paragraph(QStringLiteral("A．安全帽  B．安全带  C．防护眼镜  D．灭火器"));
            body += paragraph(QStringLiteral("【答案】ABC"));
            break;
        case 2:
            body += paragraph(n + QStringLiteral("．第%1题：特种作业人员必须持证上岗。（ √ ）").arg(i));
            break;
        case 3:
            body += paragraph(n + QStringLiteral("．第%1题：我国火警电话是____，急救电话是____。").arg(i));
            body += paragraph(QStringLiteral("答案：119；120"));
            break;
        default:
            body += paragraph(n + QStringLiteral("．第%1题：简述三级安全教育的内容。").arg(i));
            body += paragraph(QStringLiteral("参考答案："));
            body += paragraph(QStringLiteral("公司级、车间级、班组级安全教育。"));
            body += paragraph(QStringLiteral("考核合格后方可上岗。"));
            break;
        }
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document "
           "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
        + body + "</w:body></w:document>";
}

QByteArray docx(int questions)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    QuaZipFile file(&zip);
    file.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("word/document.xml")));
    file.write(documentXml(questions));
    file.close();
    zip.close();
    return bytes;
}

// The floor: the document's text, and nothing made of it.
int textAlone(const QByteArray &bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(QStringLiteral("word/document.xml")))
        return -1;
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray xml = file.readAll();
    QXmlStreamReader reader(xml);
    QStringList lines;
    QString line;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isCharacters())
            line += reader.text();
        else if (reader.isEndElement() && reader.name() == QLatin1String("p"))
            lines << std::exchange(line, QString());
    }
    return lines.size();
}

} // namespace

BookImportMeasure::BookImportMeasure(const BenchContext &context)
    : m_context(context)
{
}

QVector<MeasureResult> BookImportMeasure::importDocx()
{
    MeasureResult preview(QStringLiteral("import_docx"));
    MeasureResult import(QStringLiteral("import_docx_write"));
    preview.targetMs = 3000;
    import.targetMs = 5000;
    const int questions = m_context.smoke ? 50 : 3000;
    const QByteArray bytes = docx(questions);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.db"));
    BenchBank bank;
    if (!dir.isValid()
        || !bank.create(path, QStringLiteral(TESSERA_SOURCE_DIR "/data/schema.sql"), BenchBank::smokeShape())) {
        preview.failed = import.failed = true;
        return {preview, import};
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(path);
        if (!db.open() || SchemaMigration::migrate(db).outcome == SchemaMigration::Outcome::Failed) {
            preview.failed = import.failed = true;
        } else {
            int run = 0;
            const auto request = [&] {
                ImportRequest r;
                r.newSubjectName = QStringLiteral("导入科目");
                r.paperName = QStringLiteral("导入试卷");
                r.sourceName = QStringLiteral("book%1.docx").arg(++run);
                r.imageDir = dir.filePath(QStringLiteral("img"));
                return r;
            };
            const auto floorRun = [&] {
                QElapsedTimer timer;
                timer.start();
                return textAlone(bytes) > questions ? elapsedMs(timer) : -1.0;
            };
            const auto previewRun = [&] {
                QElapsedTimer timer;
                timer.start();
                const ParsedBank parsed = BankFile::parse(bytes, BankFile::detectFormat(bytes));
                BankWriter(db).plan(parsed, request());
                const QStringList lines = ImportPreview::questionLines(parsed);
                const double ms = elapsedMs(timer);
                return parsed.questions.size() == questions && parsed.errorCount() == 0 && lines.size() == questions
                    ? ms : -1.0;
            };
            const auto importRun = [&] {
                QElapsedTimer timer;
                timer.start();
                const ParsedBank parsed = BankFile::parse(bytes, BankFile::detectFormat(bytes));
                const bool ok = BankWriter(db).write(parsed, request()).ok;
                const double ms = elapsedMs(timer);
                return ok && parsed.questions.size() == questions ? ms : -1.0;
            };
            const int runs = m_context.smoke ? 1 : qMin(m_context.runs, 5);
            preview.collect(runs, previewRun, floorRun);
            import.collect(runs, importRun, floorRun);
            preview.extras << QStringLiteral("questions=%1").arg(questions);
            import.extras << QStringLiteral("questions=%1").arg(questions);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    return {preview, import};
}
