#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

// Starts the operating system's calculator for the exam window's calculator
// button: "calc.exe" beside the program or on the path where there is one,
// otherwise the first usual desktop calculator found on the path. One exam
// runs at most one calculator: asking again while it runs starts nothing.
class CalculatorLauncher : public QObject
{
    Q_OBJECT
public:
    explicit CalculatorLauncher(QObject *parent = nullptr);
    // The calculator belongs to the exam and ends with it.
    ~CalculatorLauncher() override;

    // The desktop calculators tried, in order, where there is no calc.exe.
    static const QStringList desktopCalculators;

    // The executable that start() would run; empty when none exists.
    static QString locate(const QString &appDirSlash);

    // Starts the calculator unless the one started before still runs; false
    // (and nothing said) when there is none to start.
    bool start(const QString &appDirSlash);

    // The calculator started here is still running.
    bool running() const;

private:
    QProcess *m_process = nullptr;
};
