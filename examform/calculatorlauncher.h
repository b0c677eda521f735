#pragma once

#include <QString>
#include <QStringList>

// Starts the operating system's calculator for the exam window's calculator
// button: "calc.exe" beside the program or on the path where there is one,
// otherwise the first usual desktop calculator found on the path.
class CalculatorLauncher
{
public:
    // The desktop calculators tried, in order, where there is no calc.exe.
    static const QStringList desktopCalculators;

    // The executable that start() would run; empty when none exists.
    static QString locate(const QString &appDirSlash);

    // Starts the calculator; false (and nothing said) when there is none.
    static bool start(const QString &appDirSlash);
};
