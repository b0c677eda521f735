#pragma once

#include "pagetheme.h"

#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <functional>

class PageEngine;
class QPageLayout;
class QPrinter;
class QTimer;

// The one place the program meets a web engine: a widget that shows a page
// the program builds, runs scripts in it and publishes bridge objects to its
// scripts. Two engines stand behind it, chosen when the program is built:
// QtWebKit, which answers at once, and Qt WebEngine, which answers later.
// Callers write for the later answer (continuations); QtWebKit simply calls
// them before the call returns.
//
// Scripts run only in a page that is ready (its document parsed and its own
// scripts run); calls made earlier wait for it and then run in order, and
// calls still waiting when another page is set are dropped.
//
// Every page gets the same guard: no context menu, no copying, no dragging
// out, and nothing loaded from the network.
class PageView : public QWidget
{
    Q_OBJECT
public:
    using Continuation = std::function<void(const QVariant &)>;
    using Done = std::function<void(bool)>;

    explicit PageView(QWidget *parent = nullptr);
    ~PageView() override;

    // What the process must set before the application object exists.
    static void prepareProcess();
    // "QtWebKit" or "Qt WebEngine".
    static QString engineName();

    // Shows html; relative URLs resolve against baseUrl, by default the
    // folder of the program's page files.
    void setHtml(const QString &html, const QUrl &baseUrl = QUrl());
    // Runs script once the page is ready.
    void runScript(const QString &script);
    // Runs script once the page is ready and hands its value to then; then
    // is not called when the view goes first or the page is replaced before
    // the script could run.
    void runScript(const QString &script, Continuation then);
    // The page set last is not ready yet.
    bool loading() const { return !m_ready; }

    // Publishes object to the scripts of every page shown from now on as
    // window.name. The object's public slots are what the page may call.
    void publish(const QString &name, QObject *object);

    // The room a page asks for in a layout, the same on both engines (one
    // has no wish of its own, and the windows' layouts would give the room
    // to their strips and bars instead).
    QSize sizeHint() const override;

    void setZoomFactor(qreal factor);
    qreal zoomFactor() const;

    // How much of the reader's look (text size and theme) a view takes: all of
    // it, the size only (the simulated test keeps a test centre's colours), or
    // none (pages made for printing).
    enum class ReadingLook { Full, SizeOnly, None };
    void setReadingLook(ReadingLook look);
    ReadingLook readingLook() const { return m_look; }
    // The text size and theme of every view, shown now and later; shown pages
    // change at once.
    static void setReaderLook(qreal zoom, PageTheme::Theme theme);
    // The theme this view's pages are drawn in.
    PageTheme::Theme theme() const;

    // The widget that takes keyboard input for the page (the engine's focus
    // proxy where it has one).
    QWidget *inputWidget() const;

    // The CSS pixels the engine lays an inch of printed paper out in: a page
    // that lays itself out in paper pages (printed page numbers) measures by it.
    static qreal printedPixelsPerInch();
    // Prints the page to printer, or writes it as a PDF file; done tells
    // whether it worked. Both may finish later.
    void print(QPrinter *printer, Done done);
    void printToPdf(const QString &path, const QPageLayout &layout, Done done);

signals:
    // The page set last is ready: its waiting scripts have run.
    void pageReady();
    // A message of the page's scripts (an error, or console output).
    void scriptMessage(const QString &message, int line);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void engineLoaded();
    void checkReady();
    void becomeReady();
    void guard(QWidget *widget);
    qreal readingZoom() const;
    void applyReadingLook();

    PageEngine *m_engine;
    quint64 m_page = 0;
    bool m_closing = false;
    bool m_ready = true;
    bool m_checking = false;
    QList<QPair<QString, Continuation>> m_waiting;
    QTimer *m_poll;
    ReadingLook m_look = ReadingLook::Full;
};
