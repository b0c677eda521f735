#include "datafilegate.h"

#include "apppaths.h"
#include "backupstore.h"
#include "constants.h"
#include "datafilecheck.h"
#include "datafilelog.h"
#include "dbconnection.h"
#include "messageboxtexts.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace DataFileGate {

namespace {

using State = DataFileCheck::State;

// Shows text with the offered way out (none: only "退出") and the details, if
// any, behind the box's details button; true when the user takes it.
bool offer(const QString &text, const QString &wayOut, const QString &details = QString())
{
    const MessageBoxTexts chineseButtons;
    QMessageBox box(QMessageBox::Warning, productTitle, text);
    if (!details.isEmpty())
        box.setDetailedText(details);
    QAbstractButton *take = wayOut.isEmpty() ? nullptr : box.addButton(wayOut, QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("退出"), QMessageBox::RejectRole);
    box.exec();
    return take && box.clickedButton() == take;
}

void tell(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, productTitle, text);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

WriteOutcome createFromSample(const QString &dbPath, const QString &sampleBankPath)
{
    if (!QFileInfo(sampleBankPath).isFile())
        return WriteOutcome::failed(QStringLiteral("找不到示例题库 %1").arg(QDir::toNativeSeparators(sampleBankPath)));
    // Offered only for a missing or empty data.db: nothing to lose.
    if (!AppPaths::copySampleBank(sampleBankPath, dbPath))
        return WriteOutcome::failed(QStringLiteral("无法把示例题库复制为 %1").arg(QDir::toNativeSeparators(dbPath)));
    return WriteOutcome();
}

} // namespace

bool admit(const QString &dbPath, const QString &sampleBankPath)
{
    // The whole file once a day, with the day's backup; the tables of the
    // user's records at every start.
    const DataFileCheck::Result result = DataFileCheck::examine(
        dbPath, BackupStore::backedUpOn(dbPath, QDate::currentDate()) ? DataFileCheck::Depth::RecordTables
                                                                      : DataFileCheck::Depth::WholeFile);
    QString text = DataFileCheck::message(result, dbPath);
    // The database's own lines go to the log and behind the details button,
    // never into the message.
    if (!result.details.isEmpty() && DataFileLog::append(dbPath, result.problem, result.details))
        text += QStringLiteral("\n检查的详细结果已记入 %1。").arg(QDir::toNativeSeparators(DataFileLog::pathFor(dbPath)));
    WriteOutcome repaired;
    switch (result.state) {
    case State::Usable:
        return true;
    case State::ReadOnly:
        return offer(text, QStringLiteral("只读打开"), result.details);
    case State::Missing:
        if (!offer(text, QStringLiteral("用示例题库新建")))
            return false;
        repaired = createFromSample(dbPath, sampleBankPath);
        break;
    case State::Damaged:
    case State::NotADatabase: {
        const QString backup = BackupStore::newestSound(dbPath);
        if (backup.isEmpty()) {
            offer(text + QStringLiteral("\n没有找到完好的备份。"), QString(), result.details);
            return false;
        }
        const QString taken = QFileInfo(backup).fileName();
        if (!offer(text + QStringLiteral("\n最近一份完好的备份：%1。").arg(taken), QStringLiteral("用这份备份恢复"),
                   result.details))
            return false;
        repaired = BackupStore::replaceDamaged(dbPath, backup);
        break;
    }
    case State::FolderReadOnly:
    case State::DiskFull:
    case State::NotAFile:
    case State::Unreadable:
        // Nothing to take: the user frees room, mends the folder or the file.
        offer(text, QString(), result.details);
        return false;
    }
    if (!repaired || DataFileCheck::examine(dbPath).state != State::Usable) {
        tell(QStringLiteral("数据文件 %1 未能准备好：%2。程序将退出。")
                 .arg(QDir::toNativeSeparators(dbPath), repaired ? QStringLiteral("新的文件仍不能使用") : repaired.reason()));
        return false;
    }
    return true;
}

std::unique_ptr<BackgroundBackup> startDailyBackup(QObject *receiver)
{
    DbConnection *connection = DbConnection::instance(QStringLiteral("data.db"), true);
    if (!connection->opened || BackupStore::backedUpOn(connection->dbPath, QDate::currentDate()))
        return nullptr;
    return std::make_unique<BackgroundBackup>(connection->dbPath, QStringLiteral("daily"), receiver,
                                              [](const WriteOutcome &outcome) {
                                                  if (!outcome)
                                                      tell(QStringLiteral("今天的备份未能完成：%1。你的记录没有受影响；请检查磁盘空间或文件权限。")
                                                               .arg(outcome.reason()));
                                              });
}

} // namespace DataFileGate
