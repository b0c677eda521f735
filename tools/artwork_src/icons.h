#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

// Line icons drawn into a square: the glyphs of the buttons, tiles and screens.
namespace Icons {

enum class Glyph {
    ArrowLeft, ArrowRight, Calculator, StarOutline, StarFilled, Help, HandIn,
    Check, Cross, House, Magnifier, Papers, WrongBook, Person, Screen, Play,
    Minimise, Maximise, Restore, Close
};

// Draws glyph inside box (its shorter side is used) in colour.
void draw(QPainter &painter, Glyph glyph, const QRectF &box, const QColor &colour);

} // namespace Icons
