#include "csvreader.h"

#include "banktext.h"

#include <QRegularExpression>

namespace {

QChar separatorOf(const QString &text)
{
    int commas = 0;
    int tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('\n'))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char('\t'))
            ++tabs;
    }
    return tabs > commas ? QLatin1Char('\t') : QLatin1Char(',');
}

// Cells a spreadsheet program would take as a formula, and cells that begin
// with the apostrophe that protects them (so that one round trip is exact).
bool needsProtection(const QString &cell)
{
    return !cell.isEmpty() && QStringLiteral("=+-@'").contains(cell.at(0));
}

QString unprotected(const QString &cell)
{
    return cell.startsWith(QLatin1Char('\'')) && needsProtection(cell.mid(1)) ? cell.mid(1) : cell;
}

} // namespace

SheetTable CsvReader::read(const QByteArray &bytes)
{
    SheetTable table;
    int badLine = 0;
    const QString text = BankText::decode(bytes, nullptr, &badLine);
    if (badLine > 0)
        table.problems.append({badLine, BankText::undecodableText(), BankProblem::Error});
    const QChar separator = separatorOf(text);
    SheetRow row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    int line = 1;
    int quoteLine = 0;
    row.line = 1;
    const auto endField = [&]() {
        row.cells << unprotected(field);
        field.clear();
        fieldStarted = false;
    };
    const auto endRow = [&]() {
        endField();
        bool empty = true;
        for (const QString &cell : qAsConst(row.cells))
            empty = empty && cell.trimmed().isEmpty();
        if (!empty)
            table.rows.append(row);
        row = SheetRow();
        row.line = line;
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
        } else if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
            quoteLine = line;
        } else if (c == separator) {
            endField();
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRow();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        table.problems.append({quoteLine, QStringLiteral("引号没有闭合：从这一行开始的单元格直到文件末尾都没有结束的“\"”"),
                               BankProblem::Error});
    else if (fieldStarted || !row.cells.isEmpty() || !field.isEmpty())
        endRow();
    return table;
}

QByteArray CsvReader::write(const QVector<QStringList> &rows)
{
    static const QRegularExpression needsQuotes(QStringLiteral("[\",\\n\\r\\t]"));
    QString text;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (const QString &text : row) {
            const QString cell = needsProtection(text) ? QLatin1Char('\'') + text : text;
            if (cell.contains(needsQuotes)
                || cell.startsWith(QLatin1Char(' ')) || cell.endsWith(QLatin1Char(' '))) {
                QString quoted = cell;
                quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
                cells << QLatin1Char('"') + quoted + QLatin1Char('"');
            } else {
                cells << cell;
            }
        }
        text += cells.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
