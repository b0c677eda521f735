#pragma once

#include "pagetheme.h"
#include "textsize.h"

#include <QFont>
#include <QObject>
#include <QPalette>

class QWidget;

// The reader's look of the whole program: the text size (pages and the
// windows' own labels together) and the day or night theme. It remembers both
// in the settings, follows the desktop's dark preference until the reader
// chooses, and takes Ctrl+= / Ctrl+- / Ctrl+0 in every window.
//
// One lives for the program's run; windows reach it through current().
class ReadingComfort : public QObject
{
    Q_OBJECT
public:
    // Reads the remembered look and applies it; desktopWindow is the colour
    // that stands for the desktop's preference while the reader has not chosen.
    explicit ReadingComfort(QObject *parent = nullptr);
    ~ReadingComfort() override;

    static ReadingComfort *current();
    // The platform's own palette, as it was before any theme: what a window
    // that keeps the day look (the simulated test) sets on itself, with every
    // colour fixed so that a night application palette does not reach it.
    static QPalette dayPalette();

    // The theme of the live instance; the day theme when there is none.
    static PageTheme::Theme currentTheme();

    TextSize::Step textSize() const { return m_size; }
    PageTheme::Theme theme() const { return m_theme; }

    // Apply and remember; false when the setting could not be stored (the
    // look still changes for this run).
    bool setTextSize(TextSize::Step size);
    bool setTheme(PageTheme::Theme theme);

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void changed();

private:
    void applySize();
    void applyTheme();
    // Scales a widget whose font names its own size from its first size.
    void scaleOwnFont(QWidget *widget) const;

    QFont m_baseFont;
    TextSize::Step m_size = TextSize::standard;
    PageTheme::Theme m_theme = PageTheme::Theme::Day;
};
