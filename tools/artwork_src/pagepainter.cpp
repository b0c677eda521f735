#include "pagepainter.h"

#include "paintkit.h"
#include "palette.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace PagePainter {

QImage homeTile(Icons::Glyph glyph, const QString &title, const QString &subtitle,
                const QColor &colour, bool hover)
{
    QImage image = PaintKit::canvas(198, 177);
    QPainter p(&image);
    PaintKit::prepare(p);
    const QRectF card(3, 2, 192, 170);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, hover ? 45 : 25));
    p.drawRoundedRect(card.translated(0, 3), 12, 12);
    if (hover)
        PaintKit::gradientBox(p, card, 12, colour.lighter(118), colour.darker(112), colour.darker(125));
    else
        PaintKit::gradientBox(p, card, 12, Qt::white, QColor("#f4fafc"), Palette::rule());

    const QRectF disc(card.center().x() - 36, 18, 72, 72);
    p.setPen(Qt::NoPen);
    p.setBrush(hover ? QColor(255, 255, 255, 235) : colour);
    p.drawEllipse(disc);
    Icons::draw(p, glyph, disc.adjusted(17, 17, -17, -17), hover ? colour : QColor(Qt::white));

    p.setFont(PaintKit::font(22, true));
    PaintKit::centredText(p, QRectF(card.left(), 100, card.width(), 34), title,
                          hover ? QColor(Qt::white) : colour.darker(115));
    p.setFont(PaintKit::font(13));
    PaintKit::centredText(p, QRectF(card.left(), 134, card.width(), 24), subtitle,
                          hover ? QColor(255, 255, 255, 230) : QColor("#6a8a92"));
    return image;
}

QImage dailyPracticeCard()
{
    QImage image = PaintKit::canvas(140, 160);
    QPainter p(&image);
    PaintKit::prepare(p);
    const QRectF card(1, 1, 138, 158);
    PaintKit::gradientBox(p, card, 10, Qt::white, Palette::wash(), Palette::rule());
    QPainterPath clip;
    clip.addRoundedRect(card, 10, 10);
    p.setClipPath(clip);
    QLinearGradient band(0, 0, 140, 0);
    band.setColorAt(0, Palette::deep());
    band.setColorAt(1, Palette::strip());
    p.fillRect(QRectF(0, 0, 140, 38), band);
    p.setClipping(false);
    p.setFont(PaintKit::font(17, true));
    PaintKit::centredText(p, QRectF(0, 0, 140, 38), QStringLiteral("每日一练"), Qt::white);
    Icons::draw(p, Icons::Glyph::Papers, QRectF(42, 46, 56, 56), Palette::deep());
    p.setFont(PaintKit::font(13, true));
    PaintKit::centredText(p, QRectF(0, 106, 140, 22), QStringLiteral("坚持练习"), Palette::ink());
    PaintKit::centredText(p, QRectF(0, 128, 140, 22), QStringLiteral("从容应考"), Palette::warmDeep());
    return image;
}

QImage legendSquare(const QColor &fill, const QColor &outline)
{
    QImage image = PaintKit::canvas(16, 16);
    QPainter p(&image);
    PaintKit::prepare(p);
    p.setPen(QPen(outline, 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2.5, 2.5);
    return image;
}

QImage resultMark(bool right)
{
    QImage image = PaintKit::canvas(22, 22);
    QPainter p(&image);
    PaintKit::prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(right ? Palette::right() : Palette::wrong());
    p.drawEllipse(QRectF(1, 1, 20, 20));
    Icons::draw(p, right ? Icons::Glyph::Check : Icons::Glyph::Cross, QRectF(3, 3, 16, 16), Qt::white);
    return image;
}

QImage pageButton(int width, int height, Icons::Glyph glyph, const QString &label,
                  const QColor &glyphColour, bool filled)
{
    QImage image = PaintKit::canvas(width, height);
    QPainter p(&image);
    PaintKit::prepare(p);
    const QRectF box(0.5, 0.5, width - 1, height - 1);
    if (filled)
        PaintKit::gradientBox(p, box, 4, QColor("#fff7e0"), QColor("#ffeab0"), QColor("#e9b949"));
    else
        PaintKit::gradientBox(p, box, 4, Qt::white, Palette::wash(), Palette::strip());
    p.setFont(PaintKit::font(13, true));
    const qreal glyphSide = height - 12;
    const qreal total = glyphSide + 4 + PaintKit::textWidth(p, label);
    const qreal left = (width - total) / 2;
    Icons::draw(p, glyph, QRectF(left, 6, glyphSide, glyphSide), glyphColour);
    PaintKit::leftText(p, QRectF(left + glyphSide + 4, 0, width, height - 1), label,
                       filled ? Palette::warmDeep() : Palette::deeper());
    return image;
}

} // namespace PagePainter
