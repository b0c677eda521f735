#include "sheetexporter.h"

#include "banktext.h"
#include "csvreader.h"
#include "sheetparser.h"

#include <QFile>
#include <QSaveFile>
#include <dlfcn.h>
#include <xlsxwriter.h>

namespace {

// libxlsxwriter writes its zip through minizip (its own copy, or the system's
// library), whose function names QuaZip (which reads XLSX) also exports with
// another layout. Linked into one program, libxlsxwriter or the system's
// minizip would call QuaZip's copies and crash; loaded into a link namespace
// of its own, it and its minizip see only each other.
class XlsxWriterLibrary
{
public:
    static const XlsxWriterLibrary &instance()
    {
        static const XlsxWriterLibrary library;
        return library;
    }
    bool loaded() const { return m_handle != nullptr; }

    decltype(&::workbook_new) workbookNew = nullptr;
    decltype(&::workbook_add_worksheet) addWorksheet = nullptr;
    decltype(&::workbook_add_format) addFormat = nullptr;
    decltype(&::format_set_bold) setBold = nullptr;
    decltype(&::format_set_text_wrap) setTextWrap = nullptr;
    decltype(&::worksheet_write_string) writeString = nullptr;
    decltype(&::worksheet_freeze_panes) freezePanes = nullptr;
    decltype(&::worksheet_set_column) setColumn = nullptr;
    decltype(&::workbook_close) close = nullptr;

private:
    XlsxWriterLibrary()
    {
#ifdef TESSERA_SANITIZE
        // The sanitizer runtime does not follow a library into a namespace of
        // its own: the sanitizer build writes no XLSX (the export says so)
        // rather than crash.
        return;
#endif
        m_handle = dlmopen(LM_ID_NEWLM, TESSERA_XLSXWRITER_SONAME, RTLD_NOW | RTLD_LOCAL);
        if (!m_handle)
            return;
        const auto bind = [this](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(m_handle, name));
            return function != nullptr;
        };
        if (!(bind(workbookNew, "workbook_new") && bind(addWorksheet, "workbook_add_worksheet")
              && bind(addFormat, "workbook_add_format") && bind(setBold, "format_set_bold")
              && bind(setTextWrap, "format_set_text_wrap") && bind(writeString, "worksheet_write_string")
              && bind(freezePanes, "worksheet_freeze_panes") && bind(setColumn, "worksheet_set_column")
              && bind(close, "workbook_close"))) {
            dlclose(m_handle);
            m_handle = nullptr;
        }
    }

    void *m_handle = nullptr;
};

QString number(double value)
{
    return value == 0 ? QString() : QString::number(value, 'g', 12);
}

QStringList rowOf(const BankQuestion &q, const QString &questionNumber, const QString &caseNumber)
{
    QString answer;
    switch (q.type) {
    case BankQuestion::TrueFalse:
        answer = q.answerLetters == QLatin1String("A") ? QStringLiteral("正确") : QStringLiteral("错误");
        break;
    case BankQuestion::FillIn:
        answer = BankText::joinBlanks(q.blanks);
        break;
    case BankQuestion::SingleChoice:
    case BankQuestion::MultipleChoice:
        answer = q.answerLetters;
        break;
    default:
        break;
    }
    QStringList cells{questionNumber, BankQuestion::typeName(q.type), q.stemHtml};
    for (int i = 0; i < 5; ++i)
        cells << q.optionsHtml.value(i);
    cells << answer << q.explanationHtml << QString::number(q.marks, 'g', 12) << q.chapterName() << QString()
          << number(q.difficulty) << caseNumber;
    return cells;
}

} // namespace

QVector<QStringList> SheetExporter::rows(const QVector<BankQuestion> &questions)
{
    QVector<QStringList> rows{SheetParser::templateHeader()};
    // The candidate's notes (the wrong-question book's export) get a last
    // column, which an import does not read.
    const bool notes = BankQuestion::anyNote(questions);
    if (notes)
        rows.first() << QStringLiteral("笔记");
    const auto row = [notes](const BankQuestion &q, const QString &questionNumber, const QString &caseNumber) {
        QStringList cells = rowOf(q, questionNumber, caseNumber);
        if (notes)
            cells << q.note;
        return cells;
    };
    int counter = 0;
    for (const BankQuestion &q : questions) {
        ++counter;
        const QString questionNumber = q.key.isEmpty() ? QString::number(counter) : q.key;
        rows << row(q, questionNumber, QString());
        for (int i = 0; i < q.parts.size(); ++i) {
            const BankQuestion &part = q.parts.at(i);
            const QString partKey = part.key.isEmpty() ? QString::number(i + 1) : part.key;
            rows << row(part, questionNumber + QLatin1Char('-') + partKey, questionNumber);
        }
    }
    return rows;
}

QVector<QStringList> SheetExporter::templateRows()
{
    const auto example = [](std::initializer_list<const char *> cells) {
        QStringList list;
        for (const char *cell : cells)
            list << QString::fromUtf8(cell);
        return list;
    };
    return {SheetParser::templateHeader(),
            example({"1", "单选", "我国的首都是（　　）。", "上海", "北京", "广州", "深圳", "", "B",
                     "北京是中华人民共和国的首都。", "1", "常识", "地理", "易", ""}),
            example({"2", "多选", "下列属于输入设备的有（　　）。", "键盘", "鼠标", "打印机", "扫描仪", "", "A、B、D",
                     "打印机是输出设备。", "2", "计算机基础", "硬件", "中", ""}),
            example({"3", "判断", "一个字节由8个二进制位组成。", "", "", "", "", "", "正确", "", "1", "计算机基础", "", "易",
                     ""}),
            example({"4", "填空", "计算机硬件由运算器、____、存储器、输入设备和____组成。", "", "", "", "", "",
                     "控制器|输出设备¦输出装置", "每空可写几个可接受的答案，用“¦”分隔。", "2", "计算机基础", "", "中", ""}),
            example({"5", "简答", "简述灭火的基本方法。", "", "", "", "", "", "隔离法、窒息法、冷却法、抑制法",
                     "", "5", "消防安全", "", "难", ""}),
            example({"6", "案例", "某车间发生电气火灾，请根据材料回答下列问题。", "", "", "", "", "", "", "", "", "消防安全",
                     "", "", ""}),
            example({"6-1", "单选", "电气火灾初起时，首先应（　　）。", "用水扑救", "切断电源", "开窗通风", "", "", "B",
                     "", "2", "消防安全", "", "", "6"}),
            example({"6-2", "判断", "可以用泡沫灭火器扑救带电设备火灾。", "", "", "", "", "", "错", "", "1", "消防安全",
                     "", "", "6"})};
}

bool SheetExporter::writeCsv(const QString &path, const QVector<QStringList> &rows)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(CsvReader::write(rows));
    return file.commit();
}

bool SheetExporter::writeXlsx(const QString &path, const QVector<QStringList> &rows)
{
    const XlsxWriterLibrary &xlsx = XlsxWriterLibrary::instance();
    if (!xlsx.loaded())
        return false;
    lxw_workbook *workbook = xlsx.workbookNew(QFile::encodeName(path).constData());
    if (!workbook)
        return false;
    lxw_worksheet *sheet = xlsx.addWorksheet(workbook, "题库");
    lxw_format *bold = xlsx.addFormat(workbook);
    xlsx.setBold(bold);
    lxw_format *wrapped = xlsx.addFormat(workbook);
    xlsx.setTextWrap(wrapped);
    bool ok = sheet != nullptr;
    for (int r = 0; ok && r < rows.size(); ++r) {
        for (int c = 0; ok && c < rows.at(r).size(); ++c) {
            const QString &cell = rows.at(r).at(c);
            if (cell.isEmpty())
                continue;
            ok = xlsx.writeString(sheet, lxw_row_t(r), lxw_col_t(c), cell.toUtf8().constData(),
                                  r == 0 ? bold : wrapped) == LXW_NO_ERROR;
        }
    }
    if (ok) {
        xlsx.freezePanes(sheet, 1, 0);
        xlsx.setColumn(sheet, 2, 2, 48, nullptr);
        xlsx.setColumn(sheet, 3, 9, 16, nullptr);
    }
    return xlsx.close(workbook) == LXW_NO_ERROR && ok;
}
