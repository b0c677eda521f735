#include "screenshotsession.h"

#include "pageview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QTextStream>
#include <QWidget>

ScreenshotSession::ScreenshotSession(const QString &outputDir, const QString &nameSuffix)
    : m_dir(outputDir)
    , m_suffix(nameSuffix)
{
    m_dir.mkpath(QStringLiteral("."));
}

QString ScreenshotSession::filePath(const QString &name) const
{
    return m_dir.filePath(name + m_suffix + QStringLiteral(".png"));
}

void ScreenshotSession::settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool ScreenshotSession::capture(QWidget *widget, const QString &name)
{
    QTextStream out(stdout);
    if (!widget) {
        out << "skipped " << name << " (screen not available)\n";
        return false;
    }
    const QString file = filePath(name);
    if (!widget->grab().save(file, "PNG")) {
        out << "could not write " << file << '\n';
        return false;
    }
    m_saved << name;
    out << "saved " << file << '\n';
    return true;
}

QWidget *ScreenshotSession::topLevel(const char *className)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->inherits(className))
            return w;
    return nullptr;
}

QWidget *ScreenshotSession::descendant(QObject *root, const char *className)
{
    if (!root)
        return nullptr;
    for (QWidget *w : root->findChildren<QWidget *>())
        if (w->inherits(className))
            return w;
    return nullptr;
}

bool ScreenshotSession::captureOverWindow(QWidget *dialog, const QString &name)
{
    QWidget *window = dialog && dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    if (!window)
        return capture(dialog, name);
    const QRect area = window->frameGeometry().united(dialog->frameGeometry());
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QString file = filePath(name);
    if (shot.isNull() || !shot.save(file, "PNG"))
        return capture(dialog, name);
    m_saved << name;
    QTextStream(stdout) << "saved " << file << '\n';
    return true;
}

bool ScreenshotSession::click(QObject *root, const QString &objectName)
{
    QAbstractButton *button = root ? root->findChild<QAbstractButton *>(objectName) : nullptr;
    if (!button)
        return false;
    button->click();
    return true;
}

bool ScreenshotSession::invoke(QObject *target, const char *member)
{
    return target && QMetaObject::invokeMethod(target, member, Qt::DirectConnection);
}

bool ScreenshotSession::runScript(QObject *root, const QString &viewName, const QString &script)
{
    PageView *view = root ? root->findChild<PageView *>(viewName) : nullptr;
    if (!view)
        return false;
    view->runScript(script);
    return true;
}
