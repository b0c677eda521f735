#include "testsupport.h"

#include "bankactions.h"
#include "dbconnection.h"
#include "importdialog.h"
#include "pageprinter.h"
#include "printdocument.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <memory>

// The import preview as the user meets it, and the printable pages of an
// imported paper.
namespace {

using Db = TestSupport::FreshDatabase;

using TestSupport::database;

// Writes a file into dir; its path.
QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    TestSupport::writeFile(dir.filePath(name), bytes);
    return dir.filePath(name);
}

const QByteArray faultyGift = "::a::Q1 {T}\n\n::b::Q2 {=x ~y}\n\n::c::Q3 {#2}\n\n::d::Q4 {=one =一}\n";

} // namespace

class ImportDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void previewThenImportIntoNewSubject()
    {
        Db db(TestSupport::sampleBankSql());
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("练习.gift"), faultyGift);
        ImportDialog dialog(path, database(), dir.filePath(QStringLiteral("img")));
        QCOMPARE(dialog.typesLabel->text(), QString::fromUtf8("单选 1 · 判断 1 · 填空 1"));
        QCOMPARE(dialog.paperEdit->text(), QString::fromUtf8("练习"));
        QVERIFY(dialog.problemsView->toPlainText().startsWith(QString::fromUtf8("第 5 行：")));
        QVERIFY(!dialog.importButton->isEnabled());

        dialog.skipBadBox->setChecked(true);
        dialog.subjectBox->setEditText(QString::fromUtf8("我的题库"));
        QVERIFY(dialog.changesLabel->text().contains(QString::fromUtf8("新建科目“我的题库”")));
        QVERIFY(dialog.importButton->isEnabled());
        dialog.importButton->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.outcome.ok);
        QCOMPARE(Db::scalar(QStringLiteral("select count(*) from exam_question where subjectid=(select id from "
                                           "exam_subject where name='我的题库')")),
                 3);

        // The same file again, now under that subject: an update in place.
        ImportDialog again(path, database(), dir.filePath(QStringLiteral("img")));
        again.subjectBox->setEditText(QString::fromUtf8("我的题库"));
        again.skipBadBox->setChecked(true);
        QVERIFY(again.changesLabel->text().contains(QString::fromUtf8("未变 3")));
    }

    // The import from the start page names a folder that takes no files or a
    // full disk before the file is even chosen.
    void importRefusedByTheDisk_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("message");
        QTest::newRow("read-only folder") << "read-only folder" << "所在的文件夹是只读的";
        QTest::newRow("full disk") << "full disk" << "所在的磁盘已满";
    }

    void importRefusedByTheDisk()
    {
        QFETCH(QString, place);
        QFETCH(QString, message);
        QTemporaryDir dir;
        std::unique_ptr<TestSupport::SmallDisk> disk;
        QString folder = dir.path();
        if (place == QLatin1String("full disk")) {
            disk = std::make_unique<TestSupport::SmallDisk>(2 << 20);
            if (!disk->mounted())
                QSKIP("mounting a small disk is not permitted here");
            folder = QFileInfo(disk->filePath(QStringLiteral("x"))).absolutePath();
        }
        const QString path = folder + QStringLiteral("/data.db");
        QVERIFY(TestSupport::writeDatabaseFile(path, TestSupport::sampleBankSql()));
        DbConnection *connection = DbConnection::instance(QString(), true);
        connection->dbPath = path;
        connection->reopen();
        QVERIFY(connection->opened);
        std::unique_ptr<TestSupport::Immutable> locked;
        if (disk) {
            QVERIFY(disk->fill());
        } else {
            locked = std::make_unique<TestSupport::Immutable>(folder);
            if (!locked->set())
                QSKIP("this file system offers no immutable folders");
        }

        TestSupport::ModalCloser closer;
        QVERIFY(!BankActions::importFile(nullptr));
        connection->database().close();
        locked.reset();
        QCOMPARE(closer.closedCount(), 1);
        QVERIFY2(closer.texts().value(0).contains(message), qPrintable(closer.texts().join(QLatin1Char('\n'))));
    }

    void printablePages_data()
    {
        QTest::addColumn<bool>("withAnswers");
        QTest::newRow("questions only") << false;
        QTest::newRow("with answers and explanations") << true;
    }

    void printablePages()
    {
        QFETCH(bool, withAnswers);
        Db db;
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("p.gift"),
                                       "::c::Case.\n\n::c/1::Part {T####why}\n\n::q::Q {=a ~b}\n");
        ImportDialog dialog(path, database(), dir.filePath(QStringLiteral("img")));
        dialog.subjectBox->setEditText(QStringLiteral("S"));
        dialog.importButton->click();
        QVERIFY(dialog.outcome.ok);

        const QString html = PrintDocument(database(), dir.path() + '/').paper(dialog.outcome.paperId, withAnswers);
        // Each entry (a case, its part, a question) is one block kept whole on a page.
        QCOMPARE(html.count(QStringLiteral("<div class=\"print_q\">")), 3);
        QVERIFY(html.contains(QStringLiteral(".print_q{page-break-inside:avoid")));
        QCOMPARE(html.contains(QStringLiteral("why")), withAnswers);
        QCOMPARE(html.contains(QString::fromUtf8("答案：")), withAnswers);

        // What the print dialog's "print to file" does with it.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("paper.pdf")));
        QVERIFY(PagePrinter::print(html, QUrl::fromLocalFile(dir.path() + '/'), &printer, 10000));
        QFile pdf(printer.outputFileName());
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF"));
    }
};

TESSERA_TEST_MAIN(ImportDialogTest)
#include "tst_import_dialog.moc"
