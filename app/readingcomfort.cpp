#include "readingcomfort.h"

#include "pageview.h"
#include "settingsstore.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

const QString sizeKey = QStringLiteral("textSize");
const QString themeKey = QStringLiteral("theme");
// The size a widget's own font had before any scaling.
const char baseFontProperty[] = "tesseraBaseFont";

ReadingComfort *live = nullptr;

QPalette &platformPalette()
{
    static QPalette palette = QApplication::palette();
    return palette;
}

// Every colour set explicitly, so that the palette is not merged with a parent's.
QPalette fixed(const QPalette &source)
{
    QPalette out;
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            out.setBrush(g, r, source.brush(g, r));
        }
    return out;
}

QFont scaled(const QFont &base, qreal factor)
{
    QFont font = base;
    if (base.pointSizeF() > 0)
        font.setPointSizeF(base.pointSizeF() * factor);
    else if (base.pixelSize() > 0)
        font.setPixelSize(qRound(base.pixelSize() * factor));
    return font;
}

} // namespace

ReadingComfort::ReadingComfort(QObject *parent)
    : QObject(parent)
    , m_baseFont(QApplication::font())
{
    platformPalette();
    live = this;
    m_size = TextSize::fromStoredName(SettingsStore::value(sizeKey));
    bool chosen = false;
    m_theme = PageTheme::fromStoredName(SettingsStore::value(themeKey), &chosen);
    if (!chosen)
        m_theme = PageTheme::fromWindowColour(platformPalette().color(QPalette::Window));
    qApp->installEventFilter(this);
    applySize();
    applyTheme();
}

ReadingComfort::~ReadingComfort()
{
    if (live == this)
        live = nullptr;
}

ReadingComfort *ReadingComfort::current()
{
    return live;
}

PageTheme::Theme ReadingComfort::currentTheme()
{
    return live ? live->theme() : PageTheme::Theme::Day;
}

QPalette ReadingComfort::dayPalette()
{
    return fixed(platformPalette());
}

bool ReadingComfort::setTextSize(TextSize::Step size)
{
    if (size != m_size) {
        m_size = size;
        applySize();
        emit changed();
    }
    return SettingsStore::setValue(sizeKey, TextSize::storedName(size));
}

bool ReadingComfort::setTheme(PageTheme::Theme theme)
{
    if (theme != m_theme) {
        m_theme = theme;
        applyTheme();
        emit changed();
    }
    return SettingsStore::setValue(themeKey, PageTheme::storedName(theme));
}

bool ReadingComfort::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Polish && watched->isWidgetType()) {
        scaleOwnFont(static_cast<QWidget *>(watched));
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const TextSize::KeyCommand command = TextSize::keyCommand(key->key(), key->modifiers());
        if (command != TextSize::KeyCommand::None) {
            setTextSize(TextSize::applied(m_size, command));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ReadingComfort::applySize()
{
    const qreal factor = TextSize::factor(m_size);
    QApplication::setFont(scaled(m_baseFont, factor));
    for (QWidget *widget : QApplication::allWidgets())
        scaleOwnFont(widget);
    PageView::setReaderLook(factor, m_theme);
}

void ReadingComfort::applyTheme()
{
    QApplication::setPalette(PageTheme::palette(m_theme, platformPalette()));
    PageView::setReaderLook(TextSize::factor(m_size), m_theme);
}

void ReadingComfort::scaleOwnFont(QWidget *widget) const
{
    QVariant base = widget->property(baseFontProperty);
    if (!base.isValid()) {
        // A font of the same size as its surroundings follows them when they
        // are scaled; only a size of its own is scaled here.
        const QFont around = widget->parentWidget() ? widget->parentWidget()->font() : QApplication::font(widget);
        if (!widget->testAttribute(Qt::WA_SetFont)
            || (widget->font().pointSizeF() == around.pointSizeF() && widget->font().pixelSize() == around.pixelSize()))
            return;
        base = widget->font();
        widget->setProperty(baseFontProperty, base);
    }
    const QFont font = scaled(base.value<QFont>(), TextSize::factor(m_size));
    if (widget->font() != font)
        widget->setFont(font);
}
