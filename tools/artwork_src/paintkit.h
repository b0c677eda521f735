#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

// Small drawing helpers shared by every painter of the artwork: fonts with the
// CJK face, gradient boxes and centred text.
namespace PaintKit {

// A transparent canvas of the given size.
QImage canvas(int width, int height);

// A painter with antialiasing for text and shapes.
void prepare(QPainter &painter);

// Noto Sans CJK SC (or Noto Serif CJK SC when serif) at a pixel size.
QFont font(int pixelSize, bool bold = false, bool serif = false);

// A rounded box filled with a vertical gradient and outlined.
void gradientBox(QPainter &painter, const QRectF &rect, qreal radius,
                 const QColor &top, const QColor &bottom, const QColor &outline);

// Text centred in rect, with a one-pixel shadow when shadow is valid.
void centredText(QPainter &painter, const QRectF &rect, const QString &text,
                 const QColor &colour, const QColor &shadow = QColor());

// Text drawn from the left edge of rect, vertically centred.
void leftText(QPainter &painter, const QRectF &rect, const QString &text, const QColor &colour);

// Width in pixels of text in the painter's current font.
qreal textWidth(const QPainter &painter, const QString &text);

} // namespace PaintKit
