#pragma once

#include "backupstore.h"

#include <QDialog>
#include <QList>

class QListWidget;
class QPushButton;

// "恢复备份": lists the backups of data.db with their date and the records each
// holds, and puts the chosen one in place of data.db (after backing up the
// current file). Accepted once a backup was restored.
class RestoreBackupDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RestoreBackupDialog(const QString &dbPath, QWidget *parent = nullptr);

    // One line of the list: date, kind and records ("无法读取" for a file
    // that cannot be read).
    static QString entryText(const BackupEntry &entry);

    QListWidget *list = nullptr;
    QPushButton *restoreButton = nullptr;

private slots:
    void restoreChosen();

private:
    QList<BackupEntry> backups;
};
