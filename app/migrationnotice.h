#pragma once

#include "schemamigration.h"

#include <QSplashScreen>
#include <memory>

class MigrationProgressBar;
class QLabel;
class QWidget;

// "正在更新数据文件…": shown while data.db is backed up and brought up to this
// version's schema. On a large bank that first opening takes seconds before
// any window exists; the migration runs on a thread of its own, and the
// notice's bar and line say how far it is.
class MigrationNotice
{
public:
    MigrationNotice();
    ~MigrationNotice();

    // Shows the notice at progress; the first call opens it.
    void show(const SchemaMigration::Progress &progress);
    // Closes the notice once the given window is shown; nothing when it was
    // never shown.
    void finish(QWidget *window);
    QSplashScreen *splash() const { return m_splash.get(); }

    // The line under the bar: which stage runs, of how many.
    static QString stageText(const SchemaMigration::Progress &progress);

private:
    std::unique_ptr<QSplashScreen> m_splash;
    MigrationProgressBar *m_bar = nullptr;
    QLabel *m_stage = nullptr;
};
