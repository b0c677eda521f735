#pragma once

#include "backupstore.h"

#include <QDialog>
#include <QList>

class QListWidget;
class QPushButton;

// "恢复备份": lists the backups of data.db with their date, the records each
// holds and its size, with the room they take together, and puts the chosen one in place of data.db (after backing up the
// current file). Accepted once a backup was restored.
class RestoreBackupDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RestoreBackupDialog(const QString &dbPath, QWidget *parent = nullptr);

    // One line of the list: date, kind and records ("无法读取" for a file
    // that cannot be read).
    static QString entryText(const BackupEntry &entry);
    // A size in the units a reader takes in at a glance ("812 KB", "27.4 MB").
    static QString sizeText(qint64 bytes);
    // The room all backups take, the bank copies they share included, beside
    // the data file's size.
    static QString totalText(const QList<BackupEntry> &entries, qint64 bankBytes, qint64 dataFileBytes);

    QListWidget *list = nullptr;
    QPushButton *restoreButton = nullptr;

private slots:
    void restoreChosen();

private:
    QList<BackupEntry> backups;
};
