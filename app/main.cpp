#include "apppaths.h"
#include "backupstore.h"
#include "commandline.h"
#include "datafilegate.h"
#include "frontwindow.h"
#include "mainwindow.h"
#include "migrationnotice.h"
#include "pageview.h"
#include "singleinstance.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    // --help and --version answer before any display is needed.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine early = CommandLine::parse(given);
    if (early.action() == CommandLine::Action::Help || early.action() == CommandLine::Action::Version)
        return early.print();

    // The user's data folder is named after the program (~/.local/share/tessera).
    QCoreApplication::setApplicationName(QStringLiteral("tessera"));
    PageView::prepareProcess();
    QApplication application(argc, argv);
    // Qt has taken its own options (-platform, -session, ...) out by now.
    const CommandLine line = CommandLine::parse(QCoreApplication::arguments().mid(1));
    if (line.action() != CommandLine::Action::Run)
        return line.print();
    QGuiApplication::setDesktopFileName(AppPaths::desktopId);
    QApplication::setWindowIcon(QIcon::fromTheme(AppPaths::desktopId, QIcon(QStringLiteral(":/image/appicon.png"))));

    const AppPaths &paths = AppPaths::current();
    SingleInstance instance(paths.dataDir());
    if (!instance.claim()) {
        qInfo("tessera is already running on this data folder: its window comes forward");
        return 0;
    }
    if (paths.installed()) {
        const QString problem = paths.prepareDataFolder();
        if (!problem.isEmpty())
            qWarning("tessera: %s", qPrintable(problem));
    }
    MigrationNotice notice;
    BackupStore::guardMigrations([&notice] { notice.show(); });
    if (!DataFileGate::admit(paths.dataDir() + QStringLiteral("data.db"), paths.pageDir() + AppPaths::sampleBankName))
        return 1;

    MainWindow window;
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     [&window] { bringProgramForward(&window); });
    window.show();
    notice.finish(&window);
    // Declared after the window, so ended first: the program waits for the copy.
    const std::unique_ptr<BackgroundBackup> dailyBackup = DataFileGate::startDailyBackup(&window);
    return application.exec();
}
