#include "importedtexts.h"

#include "htmlsanitiser.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace {

struct CleanedRow
{
    qint64 rowid = 0;
    QVariantList values;
};

// Reads the columns of the chosen rows and keeps those whose sanitised text
// differs. A NULL stays NULL.
bool changedRows(QSqlDatabase db, const QString &table, const QStringList &columns, const QString &rows,
                 QVector<CleanedRow> *changed)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString select = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3");
    if (!query.exec(select.arg(columns.join(QLatin1Char(',')), table, rows)))
        return false;
    while (query.next()) {
        CleanedRow row{query.value(0).toLongLong(), {}};
        bool differs = false;
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant value = query.value(c + 1);
            if (value.isNull()) {
                row.values << value;
                continue;
            }
            const QString text = value.toString();
            const QString clean = HtmlSanitiser::clean(text);
            differs = differs || clean != text;
            row.values << (clean.isNull() ? QStringLiteral("") : clean);
        }
        if (differs)
            changed->append(row);
    }
    return true;
}

bool writeRows(QSqlDatabase db, const QString &table, const QStringList &columns, const QVector<CleanedRow> &rows)
{
    if (rows.isEmpty())
        return true;
    QStringList assignments;
    for (const QString &column : columns)
        assignments << column + QStringLiteral("=?");
    QSqlQuery update(db);
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?");
    if (!update.prepare(sql.arg(table, assignments.join(QLatin1Char(',')))))
        return false;
    for (const CleanedRow &row : rows) {
        for (int c = 0; c < row.values.size(); ++c)
            update.bindValue(c, row.values.at(c));
        update.bindValue(row.values.size(), row.rowid);
        if (!update.exec())
            return false;
    }
    return true;
}

// rows: the condition that picks the table's imported rows.
bool sanitiseColumns(QSqlDatabase db, const QString &table, const QStringList &columns, const QString &rows)
{
    QVector<CleanedRow> changed;
    return changedRows(db, table, columns, rows, &changed) && writeRows(db, table, columns, changed);
}

} // namespace

bool ImportedTexts::sanitise(QSqlDatabase db)
{
    const QString importedQuestion = QStringLiteral("id IN (SELECT questionId FROM import_question)");
    // A chapter that a shipped question also files under keeps its name: it
    // was there before the import found it by that name.
    const QString importedChapter = QStringLiteral(
        "id IN (SELECT chapterId FROM exam_question WHERE id IN (SELECT questionId FROM import_question)) "
        "AND id NOT IN (SELECT ifnull(chapterId,'') FROM exam_question "
        "WHERE id NOT IN (SELECT questionId FROM import_question))");
    const QString importedPaper = QStringLiteral("IN (SELECT paperId FROM import_paper)");
    return sanitiseColumns(db, QStringLiteral("exam_question"),
                           {QStringLiteral("title"), QStringLiteral("titleImage"), QStringLiteral("option1"),
                            QStringLiteral("option2"), QStringLiteral("option3"), QStringLiteral("option4"),
                            QStringLiteral("option5"), QStringLiteral("answer"), QStringLiteral("analysis"),
                            QStringLiteral("source")},
                           importedQuestion)
        && sanitiseColumns(db, QStringLiteral("exam_chapter"), {QStringLiteral("name")}, importedChapter)
        && sanitiseColumns(db, QStringLiteral("exam_paper"), {QStringLiteral("name"), QStringLiteral("asname")},
                           QStringLiteral("id ") + importedPaper)
        && sanitiseColumns(db, QStringLiteral("exam_paper_static"), {QStringLiteral("captionName")},
                           QStringLiteral("paperId ") + importedPaper);
}
