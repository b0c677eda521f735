#include "importmeasure.h"

#include "bankfile.h"
#include "backupstore.h"
#include "bankwriter.h"
#include "benchbank.h"
#include "schemamigration.h"

#include <QFile>
#include <QSqlQuery>
#include <QVariant>
#include <QTemporaryDir>

namespace {

const QString connectionName = QStringLiteral("bench_import");

QByteArray giftFile(int questions)
{
    QByteArray gift;
    for (int i = 0; i < questions; ++i)
        gift += "::q" + QByteArray::number(i) + ":: 第" + QByteArray::number(i)
            + "题：下列哪一项属于输出设备？ {=打印机 ~键盘 ~鼠标 ~扫描仪}\n\n";
    return gift;
}

} // namespace

ImportMeasure::ImportMeasure(const BenchContext &context)
    : m_context(context)
{
}

MeasureResult ImportMeasure::import()
{
    MeasureResult result(QStringLiteral("import"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.db"));
    BenchBank bank;
    if (!dir.isValid()
        || !bank.create(path, QStringLiteral(TESSERA_SOURCE_DIR "/data/schema.sql"), BenchBank::smokeShape())) {
        result.failed = true;
        return result;
    }
    return importInto(result, path, dir.filePath(QStringLiteral("img")));
}

MeasureResult ImportMeasure::importIntoBank()
{
    MeasureResult result(QStringLiteral("import_into_bank"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.db"));
    // The program's connection keeps recent writes in its journal until a
    // checkpoint; the copy takes them along this way.
    QSqlQuery(m_context.db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    if (!dir.isValid() || !QFile::copy(m_context.bankDir + QStringLiteral("data.db"), path)) {
        result.failed = true;
        return result;
    }
    result = importInto(result, path, dir.filePath(QStringLiteral("img")));
    result.extras << QStringLiteral("bank_rows=%1").arg(m_context.bankRows);
    return result;
}

MeasureResult ImportMeasure::importInto(MeasureResult result, const QString &path, const QString &imageDir)
{
    const int questions = m_context.smoke ? 50 : 5000;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(path);
        const ParsedBank parsed = BankFile::parse(giftFile(questions), QStringLiteral("gift"));
        if (!db.open() || SchemaMigration::migrate(db).outcome == SchemaMigration::Outcome::Failed
            || parsed.questions.size() != questions) {
            result.failed = true;
        } else {
            int run = 0;
            const auto ourRun = [&] {
                ImportRequest request;
                request.newSubjectName = QStringLiteral("导入科目");
                request.sourceName = QStringLiteral("file%1.gift").arg(++run);
                request.paperName = QStringLiteral("导入试卷%1").arg(run);
                request.imageDir = imageDir;
                QElapsedTimer timer;
                timer.start();
                const bool ok = BankWriter(db).write(parsed, request).ok;
                return ok ? elapsedMs(timer) : -1.0;
            };
            const auto floorRun = [&] {
                QElapsedTimer timer;
                timer.start();
                bool ok = db.transaction();
                QSqlQuery insert(db);
                ok = insert.prepare(QStringLiteral("insert into exam_question(id,questionTypeid,title,titleImage,"
                                                   "option1,option2,option3,option4,answer,relationship) "
                                                   "values(:id,1,:t,:t,'打印机','键盘','鼠标','扫描仪','A','')")) && ok;
                for (int i = 0; ok && i < questions; ++i) {
                    insert.bindValue(QStringLiteral(":id"), QStringLiteral("floor-%1-%2").arg(run).arg(i));
                    insert.bindValue(QStringLiteral(":t"), QStringLiteral("第%1题：下列哪一项属于输出设备？").arg(i));
                    ok = insert.exec();
                }
                ok = db.commit() && ok;
                return ok ? elapsedMs(timer) : -1.0;
            };
            result.collect(m_context.runs, ourRun, floorRun);
            // The backup an import waits for, and its compressing, which the
            // program does afterwards in the background.
            QElapsedTimer backup;
            backup.start();
            const bool backedUp = static_cast<bool>(BackupStore::quickBackup(db, path, QStringLiteral("bench")));
            const double backupMs = backedUp ? elapsedMs(backup) : -1.0;
            backup.restart();
            const bool packed = static_cast<bool>(BackupStore::packPlainCopies(path));
            result.extras << QStringLiteral("questions=%1").arg(questions)
                          << QStringLiteral("backup_ms=%1").arg(backupMs, 0, 'f', 0)
                          << QStringLiteral("compressed_later_ms=%1").arg(packed ? elapsedMs(backup) : -1.0, 0, 'f', 0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    return result;
}
