#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

// The two looks of the program: the day theme (dark text on light pages) and
// the night theme (夜间模式: light text on dark pages). Pages take their
// colours from the variables of one style sheet (css/theme.css), switched by
// an attribute on the page's root element; widgets take the matching palette.
namespace PageTheme {

enum class Theme { Day, Night };

// The theme a first start follows: night when the desktop's window colour is
// dark (Qt 5 tells no dark preference of its own).
Theme fromWindowColour(const QColor &window);
// The name stored in the settings ("day", "night"), and back; ok tells
// whether name was one of them.
QString storedName(Theme theme);
Theme fromStoredName(const QString &name, bool *ok = nullptr);

// The widgets' palette of a theme; the day palette is the given platform one.
QPalette palette(Theme theme, const QPalette &dayPalette);

// The light blue ground of the program's windows and dialogs, and the
// darker strip at their top, in the theme's colours (style sheet values).
QString windowGround(Theme theme);
QString windowStrip(Theme theme);

// The value of the page root's data-theme attribute ("day", "night").
QString attributeValue(Theme theme);
// What goes in every page's head: the colour variables and the script that
// sets the attribute before the body is laid out.
QString pageHead(Theme theme);
// The script that switches a shown page to theme.
QString switchScript(Theme theme);

} // namespace PageTheme
