#include "icons.h"

#include <QPainterPath>
#include <QtMath>

namespace Icons {
namespace {

QPainterPath starPath(const QRectF &r)
{
    QPainterPath path;
    const QPointF c = r.center();
    const qreal outer = r.width() / 2, inner = outer * 0.45;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 ? inner : outer;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF p(c.x() + radius * qCos(angle), c.y() + radius * qSin(angle));
        i ? path.lineTo(p) : path.moveTo(p);
    }
    path.closeSubpath();
    return path;
}

void arrow(QPainter &p, const QRectF &r, bool left)
{
    QPainterPath path;
    const qreal y = r.center().y();
    const qreal tip = left ? r.left() + r.width() * 0.12 : r.right() - r.width() * 0.12;
    const qreal tail = left ? r.right() - r.width() * 0.12 : r.left() + r.width() * 0.12;
    const qreal head = r.width() * 0.38 * (left ? 1 : -1);
    path.moveTo(tail, y);
    path.lineTo(tip, y);
    path.moveTo(tip + head, y - r.height() * 0.32);
    path.lineTo(tip, y);
    path.lineTo(tip + head, y + r.height() * 0.32);
    p.drawPath(path);
}

} // namespace

void draw(QPainter &p, Glyph glyph, const QRectF &boxIn, const QColor &colour)
{
    const qreal side = qMin(boxIn.width(), boxIn.height());
    const QRectF r(boxIn.center().x() - side / 2, boxIn.center().y() - side / 2, side, side);
    const qreal w = qMax<qreal>(1.2, side / 11);
    p.save();
    p.setPen(QPen(colour, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal u = side / 10; // grid unit
    switch (glyph) {
    case Glyph::ArrowLeft: arrow(p, r, true); break;
    case Glyph::ArrowRight: arrow(p, r, false); break;
    case Glyph::Calculator: {
        const QRectF body = r.adjusted(u * 1.8, u * 0.6, -u * 1.8, -u * 0.6);
        p.drawRoundedRect(body, u * 0.8, u * 0.8);
        p.drawRect(QRectF(body.left() + u, body.top() + u, body.width() - 2 * u, u * 2));
        p.setBrush(colour);
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                p.drawEllipse(QPointF(body.left() + u * (1.6 + col * 1.9),
                                      body.top() + u * (4.6 + row * 1.7)), u * 0.55, u * 0.55);
        break;
    }
    case Glyph::StarOutline: p.drawPath(starPath(r.adjusted(u * 0.5, u * 0.5, -u * 0.5, -u * 0.5))); break;
    case Glyph::StarFilled:
        p.setBrush(colour);
        p.drawPath(starPath(r.adjusted(u * 0.5, u * 0.5, -u * 0.5, -u * 0.5)));
        break;
    case Glyph::Help: {
        p.drawEllipse(r.adjusted(u * 0.6, u * 0.6, -u * 0.6, -u * 0.6));
        QPainterPath q;
        q.moveTo(r.left() + u * 3.6, r.top() + u * 3.8);
        q.cubicTo(r.left() + u * 3.6, r.top() + u * 2.2, r.left() + u * 6.6, r.top() + u * 2.2,
                  r.left() + u * 6.4, r.top() + u * 4.0);
        q.cubicTo(r.left() + u * 6.2, r.top() + u * 5.2, r.left() + u * 5.0, r.top() + u * 5.2,
                  r.left() + u * 5.0, r.top() + u * 6.4);
        p.drawPath(q);
        p.setBrush(colour);
        p.drawEllipse(QPointF(r.left() + u * 5.0, r.top() + u * 7.8), w * 0.6, w * 0.6);
        break;
    }
    case Glyph::HandIn: {
        QPainterPath sheet;
        sheet.moveTo(r.left() + u * 2, r.top() + u * 0.6);
        sheet.lineTo(r.left() + u * 6.2, r.top() + u * 0.6);
        sheet.lineTo(r.left() + u * 8, r.top() + u * 2.4);
        sheet.lineTo(r.left() + u * 8, r.bottom() - u * 0.6);
        sheet.lineTo(r.left() + u * 2, r.bottom() - u * 0.6);
        sheet.closeSubpath();
        p.drawPath(sheet);
        QPainterPath tick;
        tick.moveTo(r.left() + u * 3.3, r.top() + u * 5.6);
        tick.lineTo(r.left() + u * 4.6, r.top() + u * 6.9);
        tick.lineTo(r.left() + u * 6.8, r.top() + u * 4.2);
        p.drawPath(tick);
        break;
    }
    case Glyph::Check: {
        QPainterPath tick;
        tick.moveTo(r.left() + u * 1.8, r.top() + u * 5.2);
        tick.lineTo(r.left() + u * 4.2, r.top() + u * 7.4);
        tick.lineTo(r.left() + u * 8.4, r.top() + u * 2.6);
        p.drawPath(tick);
        break;
    }
    case Glyph::Cross:
    case Glyph::Close: {
        const qreal in = glyph == Glyph::Close ? u * 3.1 : u * 2.2;
        p.drawLine(QPointF(r.left() + in, r.top() + in), QPointF(r.right() - in, r.bottom() - in));
        p.drawLine(QPointF(r.right() - in, r.top() + in), QPointF(r.left() + in, r.bottom() - in));
        break;
    }
    case Glyph::House: {
        QPainterPath roof;
        roof.moveTo(r.left() + u * 0.8, r.top() + u * 5);
        roof.lineTo(r.center().x(), r.top() + u * 1);
        roof.lineTo(r.right() - u * 0.8, r.top() + u * 5);
        p.drawPath(roof);
        QPainterPath walls;
        walls.moveTo(r.left() + u * 2.2, r.top() + u * 4);
        walls.lineTo(r.left() + u * 2.2, r.bottom() - u * 0.8);
        walls.lineTo(r.right() - u * 2.2, r.bottom() - u * 0.8);
        walls.lineTo(r.right() - u * 2.2, r.top() + u * 4);
        p.drawPath(walls);
        p.drawRect(QRectF(r.center().x() - u * 0.9, r.bottom() - u * 3.4, u * 1.8, u * 2.6));
        break;
    }
    case Glyph::Magnifier: {
        p.drawEllipse(QRectF(r.left() + u * 1, r.top() + u * 1, u * 5.6, u * 5.6));
        QPen thick = p.pen();
        thick.setWidthF(w * 1.5);
        p.setPen(thick);
        p.drawLine(QPointF(r.left() + u * 5.9, r.top() + u * 5.9), QPointF(r.right() - u * 1, r.bottom() - u * 1));
        break;
    }
    case Glyph::Papers: {
        p.drawRoundedRect(QRectF(r.left() + u * 2.6, r.top() + u * 0.6, u * 6, u * 7.6), u * 0.5, u * 0.5);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(r.left() + u * 1.2, r.top() + u * 1.8, u * 6, u * 7.6), u * 0.5, u * 0.5);
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(r.left() + u * 2.4, r.top() + u * (4 + i * 1.6)),
                       QPointF(r.left() + u * (i == 2 ? 4.6 : 6), r.top() + u * (4 + i * 1.6)));
        break;
    }
    case Glyph::WrongBook: {
        p.drawRoundedRect(QRectF(r.left() + u * 1.4, r.top() + u * 0.8, u * 7.2, u * 8.4), u * 0.6, u * 0.6);
        p.drawLine(QPointF(r.left() + u * 3, r.top() + u * 0.8), QPointF(r.left() + u * 3, r.bottom() - u * 0.8));
        p.drawLine(QPointF(r.left() + u * 4.4, r.top() + u * 3.2), QPointF(r.left() + u * 7, r.top() + u * 5.8));
        p.drawLine(QPointF(r.left() + u * 7, r.top() + u * 3.2), QPointF(r.left() + u * 4.4, r.top() + u * 5.8));
        break;
    }
    case Glyph::Person: {
        p.setBrush(colour);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(r.center().x() - u * 1.9, r.top() + u * 1.2, u * 3.8, u * 3.8));
        QPainterPath shoulders;
        shoulders.moveTo(r.left() + u * 1.4, r.bottom() - u * 0.4);
        shoulders.cubicTo(r.left() + u * 1.4, r.top() + u * 5, r.right() - u * 1.4, r.top() + u * 5,
                          r.right() - u * 1.4, r.bottom() - u * 0.4);
        shoulders.closeSubpath();
        p.drawPath(shoulders);
        break;
    }
    case Glyph::Screen: {
        p.drawRoundedRect(QRectF(r.left() + u * 0.6, r.top() + u * 1.2, u * 8.8, u * 5.8), u * 0.6, u * 0.6);
        p.drawLine(QPointF(r.center().x(), r.top() + u * 7), QPointF(r.center().x(), r.top() + u * 8.4));
        p.drawLine(QPointF(r.left() + u * 3, r.top() + u * 8.6), QPointF(r.right() - u * 3, r.top() + u * 8.6));
        QPainterPath tick;
        tick.moveTo(r.left() + u * 3.2, r.top() + u * 4.1);
        tick.lineTo(r.left() + u * 4.5, r.top() + u * 5.3);
        tick.lineTo(r.left() + u * 6.9, r.top() + u * 2.8);
        p.drawPath(tick);
        break;
    }
    case Glyph::Play: {
        p.drawEllipse(r.adjusted(u * 0.6, u * 0.6, -u * 0.6, -u * 0.6));
        QPainterPath tri;
        tri.moveTo(r.left() + u * 4, r.top() + u * 3);
        tri.lineTo(r.left() + u * 7.2, r.center().y());
        tri.lineTo(r.left() + u * 4, r.bottom() - u * 3);
        tri.closeSubpath();
        p.setBrush(colour);
        p.drawPath(tri);
        break;
    }
    case Glyph::Minimise:
        p.drawLine(QPointF(r.left() + u * 3, r.top() + u * 6.6), QPointF(r.right() - u * 3, r.top() + u * 6.6));
        break;
    case Glyph::Maximise:
        p.drawRect(QRectF(r.left() + u * 3, r.top() + u * 3, u * 4, u * 4));
        break;
    case Glyph::Restore:
        p.drawRect(QRectF(r.left() + u * 2.6, r.top() + u * 4, u * 3.6, u * 3.6));
        p.drawPolyline(QPolygonF({QPointF(r.left() + u * 4, r.top() + u * 4),
                                  QPointF(r.left() + u * 4, r.top() + u * 2.6),
                                  QPointF(r.left() + u * 7.4, r.top() + u * 2.6),
                                  QPointF(r.left() + u * 7.4, r.top() + u * 6.2),
                                  QPointF(r.left() + u * 6.2, r.top() + u * 6.2)}));
        break;
    }
    p.restore();
}

} // namespace Icons
