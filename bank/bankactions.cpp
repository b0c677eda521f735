#include "bankactions.h"

#include "bankexport.h"
#include "bankreader.h"
#include "bankwriter.h"
#include "constants.h"
#include "datafilecheck.h"
#include "dbconnection.h"
#include "importdialog.h"
#include "importreport.h"
#include "pageprinter.h"
#include "printdocument.h"
#include "subjectscope.h"
#include "subjectstore.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSqlQuery>
#include <QVector>

#include <memory>

namespace {

QSqlDatabase database()
{
    return DbConnection::instance(appDirPath, true)->database();
}

QString imageDir()
{
    return BankWriter::imageDirOf(DbConnection::instance(appDirPath, true)->dbPath);
}

// The current subject's papers as (id, name), in list order.
QList<QPair<QString, QString>> papers()
{
    QList<QPair<QString, QString>> list;
    const SubjectScope scope(SubjectStore::currentSubjectId());
    QSqlQuery query(database());
    query.prepare(QStringLiteral("select id, name from exam_paper") + scope.whereClause(QStringLiteral("subjectId"))
                  + QStringLiteral(" order by sortNo"));
    scope.bind(query);
    if (query.exec()) {
        while (query.next())
            list.append({query.value(0).toString(), query.value(1).toString()});
    }
    return list;
}

void tell(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Information, productTitle, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

} // namespace

namespace BankActions {

bool importFile(QWidget *parent, QString *openPaperId)
{
    // The import backs the file up beside it first and then writes to it.
    const QString dbPath = DbConnection::instance(appDirPath, true)->dbPath;
    const DataFileCheck::Result room =
        DataFileCheck::writeRoom(dbPath, DataFileCheck::roomWanted(QFileInfo(dbPath).size()));
    if (room.state != DataFileCheck::State::Usable) {
        tell(parent, QStringLiteral("现在不能导入题库：数据文件 %1 %2。\n请腾出磁盘空间，或让这个文件夹可以写入，然后再导入。")
                         .arg(QDir::toNativeSeparators(dbPath), room.problem));
        return false;
    }
    // The dialog chooses the file, or takes pasted text.
    ImportDialog dialog(QString(), database(), imageDir(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // The imported paper shows at once: its subject becomes the current one.
    SubjectStore::choose(dialog.outcome.subjectId);
    const QString subjectName = SubjectStore::currentSubjectName();
    std::unique_ptr<QMessageBox> box(importDoneBox(dialog, subjectName, parent));
    box->exec();
    if (openPaperId && box->clickedButton() && box->buttonRole(box->clickedButton()) == QMessageBox::AcceptRole)
        *openPaperId = dialog.outcome.paperId;
    return true;
}

QMessageBox *importDoneBox(const ImportDialog &dialog, const QString &subjectName, QWidget *parent)
{
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("导入完成"),
                                ImportReport::message(dialog.outcome, dialog.importedBank(),
                                                      dialog.paperEdit->text().trimmed(), subjectName),
                                QMessageBox::NoButton, parent);
    box->setTextFormat(Qt::PlainText); // the paper's name is as the file or the user gave it
    box->addButton(ImportReport::openButtonText(), QMessageBox::AcceptRole);
    box->addButton(QStringLiteral("关闭"), QMessageBox::RejectRole);
    return box;
}

void exportBank(QWidget *parent)
{
    const auto list = papers();
    QStringList items{QStringLiteral("整个科目（%1 套试卷）").arg(list.size())};
    for (const auto &paper : list)
        items << paper.second;
    // The book is the user's record: it alone carries the notes.
    const QString wrongBook = QStringLiteral("错题本（含笔记）");
    items << wrongBook;
    bool chosen = false;
    const QString item = QInputDialog::getItem(parent, QStringLiteral("导出题库"), QStringLiteral("导出哪些题目："),
                                               items, 0, false, &chosen);
    if (!chosen)
        return;
    QString filter;
    QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("导出题库"), QString(),
        QStringLiteral("GIFT (*.gift);;Moodle XML (*.xml);;表格 CSV (*.csv);;表格 Excel (*.xlsx)"), &filter);
    if (path.isEmpty())
        return;
    if (BankExport::formatOfPath(path).isEmpty())
        path += QLatin1Char('.') + filter.section(QStringLiteral("*."), 1).section(QLatin1Char(')'), 0, 0);
    BankReader reader(database());
    const int index = items.indexOf(item);
    const QVector<BankQuestion> questions = item == wrongBook ? reader.wrongBook(SubjectScope::current())
        : index <= 0                                           ? reader.subject(SubjectStore::currentSubjectId())
                                                               : reader.paper(list.at(index - 1).first);
    if (questions.isEmpty()) {
        tell(parent, QStringLiteral("没有找到可导出的题目，未写入文件。"));
        return;
    }
    QStringList ownForm;
    if (!BankExport::write(path, questions, imageDir(), &ownForm)) {
        tell(parent, QStringLiteral("无法写入 %1。").arg(path));
        return;
    }
    const QString own = BankExport::ownFormText(ownForm);
    tell(parent, QStringLiteral("已导出 %1 道题到 %2。").arg(questions.size()).arg(path)
                     + (own.isEmpty() ? QString() : QLatin1Char('\n') + own));
}

void print(QWidget *parent)
{
    // What can be printed: the wrong-question book and every paper, each with
    // its answers left out (papers only), after each question, or as a key at the end.
    using Answers = PrintDocument::Answers;
    struct Choice
    {
        QString label;
        QString paperId; // empty: the wrong-question book
        Answers answers;
    };
    const QString afterEach = QStringLiteral("（每题后附答案和解析）");
    const QString keyAtEnd = QStringLiteral("（答案和解析集中在末尾）");
    QVector<Choice> choices{{QStringLiteral("错题本") + afterEach, QString(), Answers::AfterEach},
                            {QStringLiteral("错题本") + keyAtEnd, QString(), Answers::KeyAtEnd}};
    for (const auto &paper : papers()) {
        choices.append({paper.second + QStringLiteral("（只有题目）"), paper.first, Answers::None});
        choices.append({paper.second + afterEach, paper.first, Answers::AfterEach});
        choices.append({paper.second + keyAtEnd, paper.first, Answers::KeyAtEnd});
    }
    QStringList items;
    for (const Choice &choice : choices)
        items << choice.label;
    bool chosen = false;
    const QString item = QInputDialog::getItem(parent, QStringLiteral("打印"), QStringLiteral("打印什么："), items,
                                               0, false, &chosen);
    if (!chosen)
        return;
    const Choice &choice = choices.at(qMax(0, items.indexOf(item)));
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(item);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印（可选择打印到 PDF 文件）"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintDocument document(database(), appDirPath);
    const QString html = choice.paperId.isEmpty() ? document.wrongBook(SubjectStore::currentSubjectId(), choice.answers)
                                                  : document.paper(choice.paperId, choice.answers);
    if (!PagePrinter::print(html, QUrl::fromLocalFile(appDirPath), &printer, 60000, parent))
        tell(parent, QStringLiteral("无法打印：页面没有准备好。"));
    else if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        tell(parent, QStringLiteral("已保存为 PDF 文件：%1").arg(QDir::toNativeSeparators(printer.outputFileName())));
}

} // namespace BankActions
