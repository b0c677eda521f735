#include "screenpainter.h"

#include "icons.h"
#include "paintkit.h"
#include "palette.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace ScreenPainter {
namespace {

const int screenWidth = 911;
const int screenHeight = 613;
const QString roomLine = QStringLiteral("当前试室：第一试室      当前场次：第01场      考试机号：01");

void emblem(QPainter &p, const QRectF &box)
{
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    p.setBrush(Qt::white);
    p.drawEllipse(box);
    Icons::draw(p, Icons::Glyph::Screen, box.adjusted(box.width() * 0.2, box.height() * 0.2,
                                                      -box.width() * 0.2, -box.height() * 0.2),
                Palette::deep());
    p.restore();
}

// Header band, exam-room line and footer shared by both screens.
void frame(QPainter &p, const QString &productName)
{
    QLinearGradient ground(0, 0, 0, screenHeight);
    ground.setColorAt(0, Palette::wash());
    ground.setColorAt(1, QColor("#d4eef5"));
    p.fillRect(QRect(0, 0, screenWidth, screenHeight), ground);

    QLinearGradient band(0, 0, screenWidth, 0);
    band.setColorAt(0, Palette::deep());
    band.setColorAt(1, Palette::strip());
    p.fillRect(QRect(0, 0, screenWidth, 84), band);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawEllipse(QPointF(820, 10), 120, 120);
    p.drawEllipse(QPointF(700, 90), 70, 70);

    emblem(p, QRectF(28, 14, 56, 56));
    p.setFont(PaintKit::font(28, true));
    PaintKit::leftText(p, QRectF(100, 10, 700, 40), productName, Qt::white);
    p.setFont(PaintKit::font(14));
    PaintKit::leftText(p, QRectF(101, 48, 700, 24),
                       QStringLiteral("专业技术资格考试 · 计算机化考试（模拟）"), QColor("#e6f7fb"));

    p.fillRect(QRect(0, 84, screenWidth, 28), Palette::body());
    p.fillRect(QRect(0, 111, screenWidth, 1), Palette::strip());
    p.setFont(PaintKit::font(14, true));
    PaintKit::leftText(p, QRectF(30, 84, 700, 28), roomLine, Palette::ink());

    p.fillRect(QRect(0, screenHeight - 36, screenWidth, 36), Palette::deep());
    p.setFont(PaintKit::font(12));
    PaintKit::centredText(p, QRectF(0, screenHeight - 36, screenWidth, 36),
                          productName + QStringLiteral("  ·  模拟考试环境，仅供练习使用"), QColor("#d8f1f6"));
}

// A white panel with a coloured caption bar; returns the panel's body.
QRectF panel(QPainter &p, const QRectF &box, const QString &caption)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 22));
    p.drawRoundedRect(box.translated(0, 3), 8, 8);
    p.setBrush(Qt::white);
    p.setPen(QPen(Palette::rule(), 1));
    p.drawRoundedRect(box, 8, 8);
    const QRectF bar(box.left(), box.top(), box.width(), 34);
    QPainterPath clip;
    clip.addRoundedRect(box, 8, 8);
    p.setClipPath(clip);
    QLinearGradient g(bar.topLeft(), bar.bottomLeft());
    g.setColorAt(0, QColor("#52b3c5"));
    g.setColorAt(1, Palette::deep());
    p.fillRect(bar, g);
    p.setClipping(false);
    p.setFont(PaintKit::font(16, true));
    PaintKit::leftText(p, bar.adjusted(18, 0, 0, 0), caption, Qt::white);
    p.restore();
    return box.adjusted(0, 34, 0, 0);
}

void numberedNotes(QPainter &p, const QRectF &box, const QStringList &notes)
{
    p.setFont(PaintKit::font(14));
    for (int i = 0; i < notes.size(); ++i)
        PaintKit::leftText(p, QRectF(box.left(), box.top() + i * 30, box.width(), 30),
                           QString::number(i + 1) + QStringLiteral("．") + notes.at(i), Palette::ink());
}

} // namespace

QImage titleStrip()
{
    QImage image(1170, 160, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    PaintKit::prepare(p);
    QLinearGradient g(0, 0, image.width(), image.height());
    g.setColorAt(0, Palette::strip());
    g.setColorAt(1, Palette::body());
    p.fillRect(image.rect(), g);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        QRadialGradient glow(QPointF(760 + i * 80, 40 + (i % 2) * 70), 90);
        glow.setColorAt(0, QColor(255, 255, 255, 60));
        glow.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(glow);
        p.drawEllipse(QPointF(760 + i * 80, 40 + (i % 2) * 70), 90, 90);
    }
    p.fillRect(QRect(0, image.height() - 3, image.width(), 3), Palette::deep());
    return image;
}

QImage logoBanner(const QString &productName)
{
    QImage image = PaintKit::canvas(728, 130);
    QPainter p(&image);
    PaintKit::prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 30));
    p.drawEllipse(QRectF(14, 28, 84, 84));
    emblem(p, QRectF(12, 24, 84, 84));
    p.setFont(PaintKit::font(36, true));
    PaintKit::leftText(p, QRectF(118, 26, 610, 52), productName, QColor(255, 255, 255, 120));
    PaintKit::leftText(p, QRectF(116, 24, 610, 52), productName, Palette::deeper());
    p.setFont(PaintKit::font(16));
    PaintKit::leftText(p, QRectF(118, 78, 610, 30),
                       QStringLiteral("真实模拟上机考试环境  ·  真题练习  ·  错题重练  ·  收藏  ·  搜索"),
                       Palette::deep());
    return image;
}

QImage loginScreen(const QString &productName)
{
    QImage image(screenWidth, screenHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    PaintKit::prepare(p);
    frame(p, productName);

    // The number box (360,170 301x31) and the buttons (393/549,218) lie in this panel.
    const QRectF body = panel(p, QRectF(200, 124, 511, 178), QStringLiteral("考生登录"));
    p.setFont(PaintKit::font(16, true));
    PaintKit::leftText(p, QRectF(258, 170, 100, 31), QStringLiteral("准考证号："), Palette::ink());
    p.setPen(QPen(Palette::strip(), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(358, 168, 305, 35), 3, 3);
    p.setFont(PaintKit::font(12));
    PaintKit::centredText(p, QRectF(body.left(), 262, body.width(), 30),
                          QStringLiteral("请输入准考证号，核对无误后点击“登录”。"), QColor("#6a8a92"));

    const QRectF notes = panel(p, QRectF(200, 322, 511, 230), QStringLiteral("考生须知"));
    numberedNotes(p, notes.adjusted(22, 10, -10, 0), {
        QStringLiteral("考生凭准考证号登录，登录后请核对屏幕上的个人信息。"),
        QStringLiteral("考试开始后系统自动计时，时间用完时系统将提示交卷。"),
        QStringLiteral("可用鼠标答题，也可按字母键选择答案，← → 键切换试题。"),
        QStringLiteral("考试过程中请勿关闭或重启计算机，如有问题请举手示意。"),
        QStringLiteral("本系统为模拟练习环境，可直接使用默认准考证号 1001。"),
    });
    return image;
}

QImage candidateScreen(const QString &productName)
{
    QImage image(screenWidth, screenHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    PaintKit::prepare(p);
    frame(p, productName);

    const QRectF body = panel(p, QRectF(60, 124, 791, 340), QStringLiteral("考生信息确认"));

    const QRectF photo(body.left() + 40, body.top() + 28, 130, 170);
    p.setPen(QPen(Palette::rule(), 1));
    p.setBrush(Palette::wash());
    p.drawRect(photo);
    Icons::draw(p, Icons::Glyph::Person, photo.adjusted(25, 20, -25, -50), QColor("#9fc9d3"));
    p.setFont(PaintKit::font(13));
    PaintKit::centredText(p, QRectF(photo.left(), photo.bottom() - 34, photo.width(), 28),
                          QStringLiteral("考生照片"), QColor("#6a8a92"));

    const QList<QPair<QString, QString>> rows = {
        {QStringLiteral("姓　　名"), QStringLiteral("测试考生")},
        {QStringLiteral("性　　别"), QStringLiteral("女")},
        // The screen writes the number typed at login into this cell.
        {QStringLiteral("准考证号"), QString()},
        {QStringLiteral("证件号码"), QStringLiteral("110101********0012")},
        {QStringLiteral("考试名称"), QStringLiteral("专业技术资格考试（模拟）")},
        {QStringLiteral("考　　场"), QStringLiteral("第一试室　　第01场")},
        {QStringLiteral("座 位 号"), QStringLiteral("1")},
        {QStringLiteral("考试方式"), QStringLiteral("计算机化考试")},
    };
    const qreal left = photo.right() + 40, keyWidth = 130, rowHeight = 34;
    const qreal width = body.right() - 40 - left;
    for (int i = 0; i < rows.size(); ++i) {
        const QRectF row(left, body.top() + 22 + i * rowHeight, width, rowHeight);
        p.fillRect(QRectF(row.left(), row.top(), keyWidth, rowHeight), Palette::wash());
        p.setPen(QPen(Palette::rule(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(row);
        p.drawLine(QPointF(row.left() + keyWidth, row.top()), QPointF(row.left() + keyWidth, row.bottom()));
        p.setFont(PaintKit::font(15, true));
        PaintKit::centredText(p, QRectF(row.left(), row.top(), keyWidth, rowHeight), rows[i].first, Palette::deep());
        p.setFont(PaintKit::font(15));
        PaintKit::leftText(p, row.adjusted(keyWidth + 16, 0, 0, 0), rows[i].second, Palette::ink());
    }

    // The three buttons sit at y 480, from x 500 to 822; the hint takes the left.
    p.setFont(PaintKit::font(14));
    PaintKit::leftText(p, QRectF(64, 480, 420, 33),
                       QStringLiteral("请核对以上信息，确认无误后点击“开始考试”。"), Palette::ink());
    return image;
}

} // namespace ScreenPainter
