#pragma once

#include "backgroundbackup.h"

#include <QString>
#include <memory>

class QObject;

// What the program does with data.db before its windows use it. Widget side
// of DataFileCheck and BackupStore.
namespace DataFileGate {

// Examines the data file at dbPath. When it cannot serve as it is, tells the
// user why and offers the way out that fits: create it from the shipped
// sample bank (sampleBankPath), restore the newest sound backup, open it
// read-only, or quit. True when the program can go on.
bool admit(const QString &dbPath, const QString &sampleBankPath);

// Starts the day's backup of the open data.db unless one was taken today; a
// failure is told on receiver's thread. Nothing when none is due.
std::unique_ptr<BackgroundBackup> startDailyBackup(QObject *receiver);

} // namespace DataFileGate
