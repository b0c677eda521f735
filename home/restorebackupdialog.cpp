#include "restorebackupdialog.h"

#include "dialogframe.h"
#include "readingcomfort.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QString reasonText(const QString &reason)
{
    if (reason == QLatin1String("daily"))
        return QStringLiteral("每日备份");
    if (reason == QLatin1String("migration"))
        return QStringLiteral("升级前备份");
    if (reason == QLatin1String("import"))
        return QStringLiteral("导入前备份");
    if (reason == QLatin1String("restore"))
        return QStringLiteral("恢复前备份");
    if (reason == QLatin1String("delete"))
        return QStringLiteral("删除前备份");
    return reason;
}

void tell(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("恢复备份"), text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

} // namespace

RestoreBackupDialog::RestoreBackupDialog(const QString &dbPath, QWidget *parent)
    : QDialog(parent)
    , backups(BackupStore::list(dbPath))
{
    setWindowTitle(QStringLiteral("恢复备份"));
    DialogFrame::apply(this);
    setStyleSheet(QStringLiteral("QDialog{background-color: %1;}")
                      .arg(PageTheme::windowGround(ReadingComfort::currentTheme())));
    resize(560, 320);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        backups.isEmpty()
            ? QStringLiteral("%1 里还没有备份。").arg(QDir::toNativeSeparators(BackupStore::folderFor(dbPath)))
            : QStringLiteral("选择一份备份，用它替换现在的数据文件（现在的文件会先备份一份）："),
        this));
    list = new QListWidget(this);
    list->setAccessibleName(QStringLiteral("备份"));
    for (const BackupEntry &entry : backups)
        list->addItem(entryText(entry));
    list->setCurrentRow(0);
    layout->addWidget(list);
    // Wide enough for whole lines: each ends in its backup's size. Measured
    // in the dialog's own style and font.
    ensurePolished();
    list->ensurePolished();
    const int lineWidth = list->sizeHintForColumn(0) + 2 * list->frameWidth()
        + list->verticalScrollBar()->sizeHint().width() + layout->contentsMargins().left()
        + layout->contentsMargins().right();
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int widest = screen ? screen->availableGeometry().width() * 9 / 10 : lineWidth;
    resize(qBound(width(), lineWidth, qMax(width(), widest)), height());
    if (!backups.isEmpty())
        layout->addWidget(new QLabel(totalText(backups, BackupStore::bankBytes(dbPath), QFileInfo(dbPath).size()), this));
    auto *buttons = new QDialogButtonBox(this);
    restoreButton = buttons->addButton(QStringLiteral("恢复"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    restoreButton->setEnabled(!backups.isEmpty());
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &RestoreBackupDialog::restoreChosen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString RestoreBackupDialog::entryText(const BackupEntry &entry)
{
    // The size comes before the records, so that a narrow screen cuts off
    // counts rather than it.
    const QString head = QStringLiteral("%1  %2（%3）  ")
                             .arg(entry.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), reasonText(entry.reason),
                                  sizeText(entry.bytes));
    if (!entry.readable())
        return head + QStringLiteral("无法读取");
    return head
        + QStringLiteral("成绩 %1 份，错题 %2 道，收藏 %3 道").arg(entry.results).arg(entry.bookRows).arg(entry.favourites)
        + (entry.notes >= 0 ? QStringLiteral("，笔记 %1 条").arg(entry.notes) : QString());
}

QString RestoreBackupDialog::sizeText(qint64 bytes)
{
    const double kib = 1024.0;
    if (bytes < kib * kib)
        return QStringLiteral("%1 KB").arg(bytes > 0 ? qMax<qint64>(1, qRound64(bytes / kib)) : 0);
    if (bytes < kib * kib * kib)
        return QStringLiteral("%1 MB").arg(bytes / (kib * kib), 0, 'f', 1);
    return QStringLiteral("%1 GB").arg(bytes / (kib * kib * kib), 0, 'f', 2);
}

QString RestoreBackupDialog::totalText(const QList<BackupEntry> &entries, qint64 bankBytes, qint64 dataFileBytes)
{
    qint64 total = bankBytes;
    for (const BackupEntry &entry : entries)
        total += entry.bytes;
    const QString shared = bankBytes > 0 ? QStringLiteral("（其中共用的题库副本 %1）").arg(sizeText(bankBytes)) : QString();
    return QStringLiteral("%1 份备份共占 %2%3，数据文件 %4。")
        .arg(entries.size())
        .arg(sizeText(total), shared, sizeText(dataFileBytes));
}

void RestoreBackupDialog::restoreChosen()
{
    const int row = list->currentRow();
    if (row < 0 || row >= backups.size())
        return;
    const BackupEntry chosen = backups.at(row);
    if (!chosen.readable()) {
        tell(this, QStringLiteral("这份备份无法读取，请选择另一份。"));
        return;
    }
    const WriteOutcome outcome = BackupStore::restore(chosen.path);
    if (!outcome) {
        tell(this, QStringLiteral("未能恢复备份：%1。现在的数据文件没有改变。").arg(outcome.reason()));
        return;
    }
    tell(this, QStringLiteral("已用 %1 的备份恢复。恢复前的数据文件也已备份，可以随时再恢复回来。")
                   .arg(chosen.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    accept();
}
