#include "paintkit.h"

#include <QFontMetricsF>
#include <QLinearGradient>

namespace PaintKit {

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QFont font(int pixelSize, bool bold, bool serif)
{
    QFont f(serif ? QStringLiteral("Noto Serif CJK SC") : QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void gradientBox(QPainter &painter, const QRectF &rect, qreal radius,
                 const QColor &top, const QColor &bottom, const QColor &outline)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.save();
    painter.setBrush(gradient);
    painter.setPen(outline.isValid() ? QPen(outline, 1) : QPen(Qt::NoPen));
    painter.drawRoundedRect(rect, radius, radius);
    painter.restore();
}

void centredText(QPainter &painter, const QRectF &rect, const QString &text,
                 const QColor &colour, const QColor &shadow)
{
    painter.save();
    if (shadow.isValid()) {
        painter.setPen(shadow);
        painter.drawText(rect.translated(0, 1), Qt::AlignCenter, text);
    }
    painter.setPen(colour);
    painter.drawText(rect, Qt::AlignCenter, text);
    painter.restore();
}

void leftText(QPainter &painter, const QRectF &rect, const QString &text, const QColor &colour)
{
    painter.save();
    painter.setPen(colour);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.restore();
}

qreal textWidth(const QPainter &painter, const QString &text)
{
    return QFontMetricsF(painter.font()).horizontalAdvance(text);
}

} // namespace PaintKit
