#include "buttonpainter.h"

#include "paintkit.h"
#include "palette.h"

namespace ButtonPainter {
namespace {

struct Face {
    QColor top, bottom, outline, text;
};

Face faceOf(Tone tone, State state)
{
    if (tone == Tone::Primary)
        return state == State::Normal
            ? Face{QColor("#f8b84a"), QColor("#e58a12"), QColor("#c9730a"), Qt::white}
            : Face{QColor("#e58a12"), QColor("#c25e00"), QColor("#9c4a00"), QColor("#fff6d8")};
    return state == State::Normal
        ? Face{QColor("#52b3c5"), Palette::deep(), QColor("#23707f"), Qt::white}
        : Face{Palette::deep(), QColor("#1a5a68"), QColor("#144a56"), QColor("#fff3c4")};
}

void drawFace(QPainter &p, QSize size, const Face &face)
{
    const QRectF box(0.5, 0.5, size.width() - 1, size.height() - 1);
    const qreal radius = qMin<qreal>(6, size.height() / 5.0);
    PaintKit::gradientBox(p, box, radius, face.top, face.bottom, face.outline);
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawLine(QPointF(radius, 1.5), QPointF(size.width() - radius, 1.5));
    p.restore();
}

} // namespace

QImage labelled(QSize size, const QString &label, Tone tone, State state, bool withGlyph, Icons::Glyph glyph)
{
    QImage image = PaintKit::canvas(size.width(), size.height());
    QPainter p(&image);
    PaintKit::prepare(p);
    const Face face = faceOf(tone, state);
    drawFace(p, size, face);

    const int pixel = qBound(12, int(size.height() * 0.45), 18);
    p.setFont(PaintKit::font(pixel, true));
    const qreal glyphSide = withGlyph ? size.height() * 0.5 : 0;
    const qreal gap = withGlyph ? 5 : 0;
    const qreal total = glyphSide + gap + PaintKit::textWidth(p, label);
    const qreal left = (size.width() - total) / 2;
    const QColor shadow(0, 0, 0, 70);
    if (withGlyph) {
        const QRectF glyphBox(left, (size.height() - glyphSide) / 2, glyphSide, glyphSide);
        Icons::draw(p, glyph, glyphBox.translated(0, 1), shadow);
        Icons::draw(p, glyph, glyphBox, face.text);
    }
    const QRectF textBox(left + glyphSide + gap, 0, total - glyphSide - gap + 2, size.height() - 1);
    PaintKit::centredText(p, textBox, label, face.text, shadow);
    return image;
}

QImage plain(QSize size, Tone tone, State state)
{
    QImage image = PaintKit::canvas(size.width(), size.height());
    QPainter p(&image);
    PaintKit::prepare(p);
    drawFace(p, size, faceOf(tone, state));
    return image;
}

QImage windowButton(Icons::Glyph glyph, State state)
{
    QImage image = PaintKit::canvas(26, 26);
    QPainter p(&image);
    PaintKit::prepare(p);
    const QRectF box(1, 1, 24, 24);
    QColor glyphColour = Palette::deeper();
    if (state == State::Active) {
        const bool close = glyph == Icons::Glyph::Close;
        p.setPen(Qt::NoPen);
        p.setBrush(close ? Palette::wrong() : QColor(255, 255, 255, 150));
        p.drawRoundedRect(box, 4, 4);
        glyphColour = close ? Qt::white : Palette::deeper();
    }
    Icons::draw(p, glyph, QRectF(0, 0, 26, 26), glyphColour);
    return image;
}

} // namespace ButtonPainter
