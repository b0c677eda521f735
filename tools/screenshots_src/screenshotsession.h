#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

class QObject;
class QWidget;

// Saves pictures of windows into the screenshot folder and offers the small
// waits and look-ups the screenshot run needs. Screens are found by class and
// object name so that the run needs no header of the window it pictures.
class ScreenshotSession
{
public:
    // Pictures are saved as name + nameSuffix + ".png" in outputDir.
    explicit ScreenshotSession(const QString &outputDir, const QString &nameSuffix = QString());

    // Runs the event loop for ms milliseconds (pages load, timers fire).
    static void settle(int ms);

    // Saves widget (a window or any child) as name.png (with the session's
    // suffix); false when it is null.
    bool capture(QWidget *widget, const QString &name);

    // Saves a dialog as it shows over its window (the screen area of both);
    // a dialog without a parent window alone.
    bool captureOverWindow(QWidget *dialog, const QString &name);
    // The visible top-level window of the given class, or null.
    static QWidget *topLevel(const char *className);

    // The first descendant of root with the given class, or null.
    static QWidget *descendant(QObject *root, const char *className);

    // Clicks the button (push button, check box) named objectName inside
    // root; false when missing.
    static bool click(QObject *root, const QString &objectName);

    // Calls a slot or invokable by name; false when the object has none.
    static bool invoke(QObject *target, const char *member);

    // Runs script in the page of the page view named viewName inside root
    // (once its page is ready).
    static bool runScript(QObject *root, const QString &viewName, const QString &script);

    QStringList saved() const { return m_saved; }

private:
    QString filePath(const QString &name) const;

    QDir m_dir;
    QString m_suffix;
    QStringList m_saved;
};
