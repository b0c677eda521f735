#pragma once

#include <QSplashScreen>
#include <memory>

class QWidget;

// "正在更新数据文件…": shown while data.db is backed up and brought up to this
// version's schema. On a large bank that first opening takes seconds before
// any window exists, and a silent wait reads as a program that did not start.
class MigrationNotice
{
public:
    // Shows the notice and paints it at once: the migration that follows
    // holds the event loop.
    void show();
    // Closes the notice once the given window is shown; nothing when it was
    // never shown.
    void finish(QWidget *window);
    bool shown() const { return m_splash != nullptr; }

private:
    std::unique_ptr<QSplashScreen> m_splash;
};
