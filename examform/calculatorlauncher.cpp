#include "calculatorlauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

const QStringList CalculatorLauncher::desktopCalculators = {
    QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),    QStringLiteral("galculator"),
    QStringLiteral("mate-calc"),        QStringLiteral("xcalc"),    QStringLiteral("qalculate-gtk"),
};

namespace {

const QString windowsCalculator = QStringLiteral("calc.exe");

QString besideProgram(const QString &appDirSlash)
{
    const QString path = appDirSlash + windowsCalculator;
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

QString CalculatorLauncher::locate(const QString &appDirSlash)
{
    QString path = besideProgram(appDirSlash);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(windowsCalculator);
    for (int i = 0; path.isEmpty() && i < desktopCalculators.size(); ++i)
        path = QStandardPaths::findExecutable(desktopCalculators.at(i));
    return path;
}

bool CalculatorLauncher::start(const QString &appDirSlash)
{
    // calc.exe is opened through the desktop services, as on its own platform.
    for (const QString &path : {besideProgram(appDirSlash),
                                QStandardPaths::findExecutable(windowsCalculator)}) {
        if (!path.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            return true;
    }
    for (const QString &name : desktopCalculators) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty() && QProcess::startDetached(path, QStringList()))
            return true;
    }
    return false;
}
