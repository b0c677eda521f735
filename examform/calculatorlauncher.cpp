#include "calculatorlauncher.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

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

CalculatorLauncher::CalculatorLauncher(QObject *parent)
    : QObject(parent)
{
}

CalculatorLauncher::~CalculatorLauncher()
{
    if (running()) {
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

QString CalculatorLauncher::locate(const QString &appDirSlash)
{
    QString path = besideProgram(appDirSlash);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(windowsCalculator);
    for (int i = 0; path.isEmpty() && i < desktopCalculators.size(); ++i)
        path = QStandardPaths::findExecutable(desktopCalculators.at(i));
    return path;
}

bool CalculatorLauncher::running() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

bool CalculatorLauncher::start(const QString &appDirSlash)
{
    if (running())
        return true;
    const QString path = locate(appDirSlash);
    if (path.isEmpty())
        return false;
    if (!m_process)
        m_process = new QProcess(this);
    m_process->start(path, QStringList());
    return m_process->waitForStarted(3000);
}
