#include "apppaths.h"
#include "backupstore.h"
#include "bigramtokenizer.h"
#include "commandline.h"
#include "constants.h"
#include "datafilegate.h"
#include "dbconnection.h"
#include "focusring.h"
#include "frontwindow.h"
#include "mainwindow.h"
#include "migrationnotice.h"
#include "pageview.h"
#include "plaincopypacker.h"
#include "qttranslations.h"
#include "readingcomfort.h"
#include "singleinstance.h"

#include <QApplication>
#include <QDebug>
#include <QIcon>

int main(int argc, char *argv[])
{
    // --help, --version and a refusal answer before any display is needed;
    // Qt's own options are left to Qt.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine line = CommandLine::parse(CommandLine::withoutToolkitOptions(given));
    if (line.action() != CommandLine::Action::Run)
        return line.print();
    BigramTokenizer::installOnEveryConnection();

    // The user's data folder is named after the program (~/.local/share/tessera).
    QCoreApplication::setApplicationName(QStringLiteral("tessera"));
    PageView::prepareProcess();
    QApplication application(argc, argv);
    QtTranslations::install();
    FocusRing::followApplicationFocus();
    QGuiApplication::setDesktopFileName(AppPaths::desktopId);
    QApplication::setWindowIcon(QIcon::fromTheme(AppPaths::desktopId, QIcon(QStringLiteral(":/image/appicon.png"))));

    const AppPaths &paths = AppPaths::current();
    SingleInstance instance(paths.dataDir());
    if (!instance.claim()) {
        qInfo().noquote() << QStringLiteral("职考通已在使用这个数据文件夹，它的窗口已移到最前。");
        return 0;
    }
    if (paths.installed()) {
        const QString problem = paths.prepareDataFolder();
        if (!problem.isEmpty())
            qWarning("tessera: %s", qPrintable(problem));
    }
    // An upgrade runs on a thread of its own; meanwhile the notice shows how
    // far it is and repaints.
    MigrationNotice notice;
    BackupStore::guardMigrations();
    DbConnection::setUpgradeReport([&notice](const SchemaMigration::Progress &progress) { notice.show(progress); });
    if (!DataFileGate::admit(paths.dataDir() + QStringLiteral("data.db"), paths.pageDir() + AppPaths::sampleBankName))
        return 1;

    // The data file is opened where the program keeps it before anything
    // reads a setting: the reader's size and theme come from it, before the
    // first window so that it opens in them.
    appDirPath = paths.dataDir();
    DbConnection::instance(appDirPath, true);
    DbConnection::setUpgradeReport(nullptr);
    ReadingComfort comfort;
    MainWindow window;
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     [&window] { bringProgramForward(&window); });
    window.show();
    notice.finish(&window);
    // Declared after the window, so ended first: the program waits for the
    // check, the copy and the compressing of quick backups. They start once
    // the start page is painted.
    std::unique_ptr<DailyFileSweep> dailyCheck;
    PlainCopyPacker packer(DbConnection::instance(appDirPath, true)->dbPath);
    DataFileGate::whenStartPageShown(&window, [&dailyCheck, &window, &packer] {
        packer.begin();
        dailyCheck = DataFileGate::startDailyCheck(&window, [&window](bool restored) {
            if (restored)
                emit window.my_refresh();
            else
                QCoreApplication::exit(1);
        });
    });
    return application.exec();
}
