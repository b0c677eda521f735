#pragma once

#include "dailyfilesweep.h"

#include <QString>
#include <functional>
#include <memory>

class QWidget;

// What the program does with data.db before its windows use it, and on the
// first start of a day once they are up. Widget side of DataFileCheck and
// BackupStore.
namespace DataFileGate {

// Examines the data file at dbPath, of its tables the user's records'
// (Depth RecordTables). When it cannot serve as it is, tells the
// user why and offers the way out that fits: create it from the shipped
// sample bank (sampleBankPath), restore the newest sound backup, open it
// read-only, or quit. True when the program can go on.
bool admit(const QString &dbPath, const QString &sampleBankPath);

// On the first start of a day (DailyFileSweep::due), once the window is up:
// checks the whole file on a thread, then takes the day's backup. A finding
// is told in window as at a start that finds it, with the same way out: the
// newest sound backup takes the damaged file's place, the connection opens
// it, and settled(true) runs; otherwise settled(false), and the program is
// to end. Nothing when the check is not due.
std::unique_ptr<DailyFileSweep> startDailyCheck(QWidget *window, std::function<void(bool restored)> settled = nullptr);

// Runs then once window's start page (the page view "mainWebView") is
// painted; at once when it has none.
void whenStartPageShown(QWidget *window, std::function<void()> then);

} // namespace DataFileGate
