// Draws every picture of the program: the compiled-in window artwork under
// resources/image/, the page images under assets/images/ and the program's
// icon under packaging/icons/. Run it through
// tools/artwork; the output is committed.

#include "appiconpainter.h"
#include "buttonpainter.h"
#include "constants.h"
#include "pagepainter.h"
#include "palette.h"
#include "screenpainter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>
#include <functional>

namespace {

using ButtonPainter::State;
using ButtonPainter::Tone;
using Icons::Glyph;

struct Artwork {
    QString path; // relative to the source root
    std::function<QImage()> paint;
};

struct LabelledButton {
    QString stem;  // path without the state digit and ".png"
    QSize size;
    QString label;
    Tone tone;
    bool withGlyph;
    Glyph glyph;
};

// Buttons drawn as stem + "1.png" (normal) and stem + "2.png" (hover or pressed).
const QList<LabelledButton> twoStateButtons = {
    {"resources/image/exam/up", {100, 40}, "上一题", Tone::Standard, true, Glyph::ArrowLeft},
    {"resources/image/exam/down", {100, 40}, "下一题", Tone::Standard, true, Glyph::ArrowRight},
    {"resources/image/exam/js", {100, 40}, "计算器", Tone::Standard, true, Glyph::Calculator},
    {"resources/image/exam/sc1", {100, 40}, "收藏", Tone::Standard, true, Glyph::StarOutline},
    {"resources/image/exam/sc2", {100, 40}, "已收藏", Tone::Standard, true, Glyph::StarFilled},
    {"resources/image/exam/help", {100, 40}, "帮助", Tone::Standard, true, Glyph::Help},
    {"resources/image/exam/examj", {100, 40}, "交卷", Tone::Primary, true, Glyph::HandIn},
    {"resources/image/exam/ok", {93, 35}, "确定", Tone::Primary, false, Glyph::Check},
    {"resources/image/exam/no", {93, 35}, "取消", Tone::Standard, false, Glyph::Cross},
    {"resources/image/exam/know", {93, 35}, "我知道了", Tone::Primary, false, Glyph::Check},
    {"resources/image/other/dl", {83, 33}, "登录", Tone::Primary, false, Glyph::Check},
    {"resources/image/other/zdkh", {139, 33}, "自动填入考号", Tone::Standard, false, Glyph::Check},
    {"resources/image/other/ys", {91, 33}, "操作演示", Tone::Standard, false, Glyph::Check},
    {"resources/image/other/cxdl", {91, 33}, "重新登录", Tone::Standard, false, Glyph::Check},
    {"resources/image/other/ks", {91, 33}, "开始考试", Tone::Primary, false, Glyph::Check},
    {"resources/image/search/search", {82, 39}, "搜索", Tone::Standard, true, Glyph::Magnifier},
    {"resources/image/sub", {150, 40}, "确定", Tone::Primary, false, Glyph::Check},
};

QList<Artwork> catalogue()
{
    QList<Artwork> all;
    for (const LabelledButton &b : twoStateButtons) {
        for (State state : {State::Normal, State::Active}) {
            // The favourite buttons are named sc11/sc12 and sc21/sc22.
            const QString digit = state == State::Normal ? "1" : "2";
            all.append({b.stem + digit + ".png", [b, state] {
                            return ButtonPainter::labelled(b.size, b.label, b.tone, state, b.withGlyph, b.glyph);
                        }});
        }
    }
    const QList<QPair<QString, Glyph>> windowButtons = {
        {"min", Glyph::Minimise}, {"max", Glyph::Maximise}, {"rest", Glyph::Restore}, {"close", Glyph::Close}};
    for (const auto &w : windowButtons) {
        const Glyph glyph = w.second;
        all.append({"resources/image/menu/" + w.first + ".png",
                    [glyph] { return ButtonPainter::windowButton(glyph, State::Normal); }});
        all.append({"resources/image/menu/" + w.first + "2.png",
                    [glyph] { return ButtonPainter::windowButton(glyph, State::Active); }});
    }
    all.append({"resources/image/home11.png", [] {
                    return ButtonPainter::labelled({110, 37}, "返回首页", Tone::Standard, State::Normal, true, Glyph::House);
                }});
    all.append({"resources/image/home22.png", [] {
                    return ButtonPainter::labelled({110, 37}, "返回首页", Tone::Standard, State::Active, true, Glyph::House);
                }});
    all.append({"resources/image/button.png", [] { return ButtonPainter::plain({100, 36}, Tone::Standard, State::Normal); }});
    all.append({"resources/image/button22.png", [] { return ButtonPainter::plain({100, 36}, Tone::Standard, State::Active); }});
    all.append({"resources/image/b01.png", [] { return ButtonPainter::plain({200, 50}, Tone::Standard, State::Normal); }});
    all.append({"resources/image/b02.png", [] { return ButtonPainter::plain({200, 50}, Tone::Standard, State::Active); }});
    all.append({"resources/image/b03.png", [] { return ButtonPainter::plain({200, 50}, Tone::Primary, State::Normal); }});
    all.append({"resources/image/top.png", [] { return ScreenPainter::titleStrip(); }});
    all.append({"resources/image/mlogo.png", [] { return ScreenPainter::logoBanner(productTitle); }});
    all.append({"resources/image/login.png", [] { return ScreenPainter::loginScreen(productTitle); }});
    all.append({"resources/image/info.png", [] { return ScreenPainter::candidateScreen(productTitle); }});

    struct Tile {
        QString number;
        Glyph glyph;
        QString title, subtitle;
        QColor colour;
    };
    const QList<Tile> tiles = {
        {"1", Glyph::Papers, "考卷练习", "历年真题 · 模拟考试", Palette::deep()},
        {"2", Glyph::WrongBook, "错题练习", "错题重练 · 查漏补缺", QColor("#e0604a")},
        {"3", Glyph::StarFilled, "我的收藏", "收藏试题 · 分类练习", QColor("#e8950e")},
        {"4", Glyph::Magnifier, "试题搜索", "输入关键词查找试题", QColor("#3a8fd0")},
    };
    for (const Tile &t : tiles) {
        for (bool hover : {false, true})
            all.append({"assets/images/index" + t.number + (hover ? "2" : "1") + ".png",
                        [t, hover] { return PagePainter::homeTile(t.glyph, t.title, t.subtitle, t.colour, hover); }});
    }
    all.append({"assets/images/wechart.png", [] { return PagePainter::dailyPracticeCard(); }});
    // Card legend: answered, current, not answered (the colours of yico, zico, wico in mc.css).
    all.append({"assets/images/a1.png", [] { return PagePainter::legendSquare(Palette::accent(), Palette::deep()); }});
    all.append({"assets/images/a2.png", [] { return PagePainter::legendSquare(Palette::warm(), Palette::warmDeep()); }});
    all.append({"assets/images/a3.png", [] { return PagePainter::legendSquare(Qt::white, QColor("#9bb8c0")); }});
    all.append({"assets/images/right.png", [] { return PagePainter::resultMark(true); }});
    all.append({"assets/images/wrong.png", [] { return PagePainter::resultMark(false); }});
    all.append({"assets/images/shoucang1.png", [] {
                    return PagePainter::pageButton(92, 28, Glyph::StarOutline, "收藏", Palette::star(), false);
                }});
    all.append({"assets/images/shoucang2.png", [] {
                    return PagePainter::pageButton(92, 28, Glyph::StarFilled, "已收藏", Palette::star(), true);
                }});
    all.append({"assets/images/video.png", [] {
                    return PagePainter::pageButton(100, 28, Glyph::Play, "视频讲解", Palette::deep(), false);
                }});
    for (int side : {48, 128, 256})
        all.append({"packaging/icons/tessera-" + QString::number(side) + ".png", [side] { return AppIconPainter::png(side); }});
    return all;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: tessera_artwork SOURCE_ROOT\n";
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    int failures = 0;
    for (const Artwork &artwork : catalogue()) {
        const QString path = root.filePath(artwork.path);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (artwork.paint().save(path, "PNG")) {
            out << artwork.path << '\n';
        } else {
            err << "could not write " << path << '\n';
            ++failures;
        }
    }
    QFile svg(root.filePath(QStringLiteral("packaging/icons/tessera.svg")));
    if (svg.open(QIODevice::WriteOnly) && svg.write(AppIconPainter::svg()) > 0) {
        out << "packaging/icons/tessera.svg\n";
    } else {
        err << "could not write " << svg.fileName() << '\n';
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
