#pragma once

#include "icons.h"

#include <QImage>
#include <QSize>
#include <QString>

// Image buttons: every push button of the program is a border image in a
// normal and an active (hover or pressed) state.
namespace ButtonPainter {

enum class Tone { Standard, Primary };
enum class State { Normal, Active };

// A rounded button with a label and, when withGlyph, an icon before it.
QImage labelled(QSize size, const QString &label, Tone tone, State state,
                bool withGlyph = false, Icons::Glyph glyph = Icons::Glyph::Check);

// A button face without a label (the generic push-button images).
QImage plain(QSize size, Tone tone, State state);

// A 26 by 26 title-bar button (minimise, maximise, restore, close).
QImage windowButton(Icons::Glyph glyph, State state);

} // namespace ButtonPainter
