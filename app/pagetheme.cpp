#include "pagetheme.h"

#include "pagetext.h"

namespace PageTheme {

Theme fromWindowColour(const QColor &window)
{
    return window.lightness() < 128 ? Theme::Night : Theme::Day;
}

QString storedName(Theme theme)
{
    return attributeValue(theme);
}

Theme fromStoredName(const QString &name, bool *ok)
{
    const bool night = name == QLatin1String("night");
    if (ok)
        *ok = night || name == QLatin1String("day");
    return night ? Theme::Night : Theme::Day;
}

QPalette palette(Theme theme, const QPalette &dayPalette)
{
    if (theme == Theme::Day)
        return dayPalette;
    // The same colours as the night page variables, so that a window's own
    // labels and its pages read as one surface.
    const QColor window(0x1d, 0x26, 0x2a);
    const QColor base(0x16, 0x1d, 0x20);
    const QColor text(0xdc, 0xe8, 0xeb);
    const QColor muted(0x8a, 0xa0, 0xa6);
    const QColor accent(0x4c, 0xb3, 0xc6);
    QPalette night(window);
    night.setColor(QPalette::WindowText, text);
    night.setColor(QPalette::Base, base);
    night.setColor(QPalette::AlternateBase, window.lighter(115));
    night.setColor(QPalette::Text, text);
    night.setColor(QPalette::Button, QColor(0x27, 0x33, 0x38));
    night.setColor(QPalette::ButtonText, text);
    night.setColor(QPalette::BrightText, QColor(0xff, 0x9c, 0x8f));
    night.setColor(QPalette::Highlight, accent);
    night.setColor(QPalette::HighlightedText, base);
    night.setColor(QPalette::Link, accent);
    night.setColor(QPalette::ToolTipBase, window);
    night.setColor(QPalette::ToolTipText, text);
    night.setColor(QPalette::PlaceholderText, muted);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        night.setColor(QPalette::Disabled, role, muted);
    return night;
}

QString windowGround(Theme theme)
{
    return theme == Theme::Night ? QStringLiteral("#24343a") : QStringLiteral("#addeec");
}

QString windowStrip(Theme theme)
{
    return theme == Theme::Night ? QStringLiteral("#2f5660") : QStringLiteral("#7ebfcc");
}

QString attributeValue(Theme theme)
{
    return theme == Theme::Night ? QStringLiteral("night") : QStringLiteral("day");
}

QString pageHead(Theme theme)
{
    static const QString variables = readTextFile(QStringLiteral(":/css/theme.css"));
    return QStringLiteral("<style type=\"text/css\">") + variables + QStringLiteral("</style>") + QStringLiteral("<script>")
        + switchScript(theme) + QStringLiteral("</script>");
}

QString switchScript(Theme theme)
{
    return QStringLiteral("document.documentElement.setAttribute('data-theme','%1');").arg(attributeValue(theme));
}

} // namespace PageTheme
