#include "datafilegate.h"

#include "apppaths.h"
#include "backupstore.h"
#include "constants.h"
#include "datafilecheck.h"
#include "datafilelog.h"
#include "dbconnection.h"
#include "messageboxtexts.h"
#include "pageview.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

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

void tell(const QString &text, QWidget *parent = nullptr)
{
    QMessageBox box(QMessageBox::Warning, productTitle, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

// The message for a file that cannot serve as it is; the database's own
// lines go to the log and behind the details button, never into the message.
QString messageFor(const DataFileCheck::Result &result, const QString &dbPath)
{
    QString text = DataFileCheck::message(result, dbPath);
    if (!result.details.isEmpty() && DataFileLog::append(dbPath, result.problem, result.details))
        text += QStringLiteral("\n检查的详细结果已记入 %1。").arg(QDir::toNativeSeparators(DataFileLog::pathFor(dbPath)));
    return text;
}

// Offers the newest sound backup in place of the damaged file at dbPath; the
// backup the user takes, or empty when there is none or the user quits.
QString offerSoundBackup(const QString &text, const QString &dbPath, const QString &details)
{
    const QString backup = BackupStore::newestSound(dbPath);
    if (backup.isEmpty()) {
        offer(text + QStringLiteral("\n没有找到完好的备份。"), QString(), details);
        return QString();
    }
    const QString taken = QFileInfo(backup).fileName();
    if (!offer(text + QStringLiteral("\n最近一份完好的备份：%1。").arg(taken), QStringLiteral("用这份备份恢复"), details))
        return QString();
    return backup;
}

// After a way out was taken: whether the file now serves, told when not.
bool soundAfterRepair(const QString &dbPath, const WriteOutcome &repaired)
{
    if (!repaired || DataFileCheck::examine(dbPath).state != State::Usable) {
        tell(QStringLiteral("数据文件 %1 未能准备好：%2。程序将退出。")
                 .arg(QDir::toNativeSeparators(dbPath), repaired ? QStringLiteral("新的文件仍不能使用") : repaired.reason()));
        return false;
    }
    return true;
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
    // The tables of the user's records at every start, before anything writes
    // to them; the whole file on the first start of a day, once the window is
    // up (startDailyCheck).
    const DataFileCheck::Result result = DataFileCheck::examine(dbPath, DataFileCheck::Depth::RecordTables);
    const QString text = messageFor(result, dbPath);
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
        const QString backup = offerSoundBackup(text, dbPath, result.details);
        if (backup.isEmpty())
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
    return soundAfterRepair(dbPath, repaired);
}

std::unique_ptr<DailyFileSweep> startDailyCheck(QWidget *window, std::function<void(bool)> settled)
{
    DbConnection *connection = DbConnection::instance(QStringLiteral("data.db"), true);
    if (!connection->opened || !DailyFileSweep::due(connection->dbPath, QDate::currentDate()))
        return nullptr;
    const QString dbPath = connection->dbPath;
    return std::make_unique<DailyFileSweep>(
        dbPath,
        [dbPath, window, settled](const DataFileCheck::Result &result) {
            // As at a start that finds it, only with the window up: the way
            // out is taken on the closed file, or the program ends.
            const QString text = messageFor(result, dbPath);
            const bool damaged = result.state == State::Damaged || result.state == State::NotADatabase;
            if (!damaged)
                offer(text, QString(), result.details);
            const QString backup = damaged ? offerSoundBackup(text, dbPath, result.details) : QString();
            bool restored = false;
            if (!backup.isEmpty()) {
                DbConnection *connection = DbConnection::instance(QStringLiteral("data.db"), true);
                connection->database().close();
                restored = soundAfterRepair(dbPath, BackupStore::replaceDamaged(dbPath, backup));
                if (restored) {
                    connection->reopen();
                    tell(QStringLiteral("已用备份恢复数据文件，损坏的文件已改名保留在原处。"), window);
                }
            }
            if (settled)
                settled(restored);
        },
        [window](const WriteOutcome &outcome) {
            if (!outcome)
                tell(QStringLiteral("今天的备份未能完成：%1。你的记录没有受影响；请检查磁盘空间或文件权限。").arg(outcome.reason()),
                     window);
        });
}

void whenStartPageShown(QWidget *window, std::function<void()> then)
{
    auto *page = window->findChild<PageView *>(QStringLiteral("mainWebView"));
    if (!page) {
        QTimer::singleShot(0, window, std::move(then));
        return;
    }
    // Once: the connection goes with its first call.
    const auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(page, &PageView::pageReady, window, [connection, window, then] {
        QObject::disconnect(*connection);
        // A turn of the event loop later: the page is painted first.
        QTimer::singleShot(0, window, then);
    });
}

} // namespace DataFileGate
