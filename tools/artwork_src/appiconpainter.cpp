#include "appiconpainter.h"

#include "icons.h"
#include "paintkit.h"
#include "palette.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QSvgGenerator>

namespace AppIconPainter {
namespace {

const int designSide = 256;

// Draws on a designSide square; the caller scales.
void paint(QPainter &p)
{
    PaintKit::prepare(p);
    // The tile leaves a margin, as the icon themes' square icons do.
    const QRectF tile(16, 16, 224, 224);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(tile.translated(0, 4), 44, 44);
    QLinearGradient ground(tile.topLeft(), tile.bottomLeft());
    ground.setColorAt(0, Palette::accent());
    ground.setColorAt(1, Palette::deep());
    p.setBrush(ground);
    p.setPen(QPen(Palette::deeper(), 2));
    p.drawRoundedRect(tile, 44, 44);
    // A light band across the top half gives the tile some depth.
    QLinearGradient shine(tile.topLeft(), QPointF(tile.left(), tile.center().y()));
    shine.setColorAt(0, QColor(255, 255, 255, 70));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawRoundedRect(tile.adjusted(3, 3, -3, -tile.height() / 2), 41, 41);
    Icons::draw(p, Icons::Glyph::Screen, tile.adjusted(30, 28, -30, -32), Palette::paper());
}

} // namespace

QImage png(int side)
{
    QImage image = PaintKit::canvas(side, side);
    QPainter p(&image);
    p.scale(qreal(side) / designSide, qreal(side) / designSide);
    paint(p);
    return image;
}

QByteArray svg()
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&out);
    generator.setSize(QSize(designSide, designSide));
    generator.setViewBox(QRect(0, 0, designSide, designSide));
    generator.setTitle(QStringLiteral("tessera"));
    QPainter p(&generator);
    paint(p);
    p.end();
    return out.data();
}

} // namespace AppIconPainter
