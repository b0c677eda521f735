#pragma once

#include "icons.h"

#include <QColor>
#include <QImage>
#include <QString>

// Pictures the pages show from the images/ folder beside the program.
namespace PagePainter {

// A 198 by 177 home tile; hover gives the filled picture shown under the mouse.
QImage homeTile(Icons::Glyph glyph, const QString &title, const QString &subtitle,
                const QColor &colour, bool hover);

// The 140 by 160 picture beside the start page's slogan.
QImage dailyPracticeCard();

// A 16 by 16 answer-card legend square.
QImage legendSquare(const QColor &fill, const QColor &outline);

// A round right or wrong mark shown beside a marked question.
QImage resultMark(bool right);

// A small labelled page button (favourite, video) with a glyph.
QImage pageButton(int width, int height, Icons::Glyph glyph, const QString &label,
                  const QColor &glyphColour, bool filled);

} // namespace PagePainter
