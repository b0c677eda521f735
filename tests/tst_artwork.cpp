// The pictures and style sheets the windows and pages name: every image a
// source refers to is in the resource bundle or beside the program, each has
// the size its place in the layout gives it, and every class the pages set has
// a look in the style sheets.

#include "testsupport.h"

#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QSet>

namespace {

struct ImageReference {
    QString source;   // file that names the image, relative to the source root
    int line = 0;
    QString path;     // as written: ":/image/...", "images/..." or a url() target
    bool styleUrl = false;
};

QString readSource(const QString &absolutePath)
{
    QFile file(absolutePath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString withoutCssComments(QString text)
{
    static const QRegularExpression comment(QStringLiteral("/\\*.*?\\*/"),
                                            QRegularExpression::DotMatchesEverythingOption);
    return text.replace(comment, QStringLiteral(" "));
}

// Image names in one source text: compiled-in images, images beside the
// program and, in style sheets, url() targets.
QList<ImageReference> imageReferencesIn(const QString &source, const QString &text)
{
    static const QRegularExpression resourceImage(
        QStringLiteral(R"((:/image/[A-Za-z0-9_./-]+\.(?:png|jpg|gif|svg)))"));
    static const QRegularExpression pageImage(
        QStringLiteral(R"((?<![A-Za-z0-9_./-])(images/[A-Za-z0-9_./-]+\.(?:png|jpg|gif|svg)))"));
    static const QRegularExpression styleUrl(QStringLiteral(R"(url\(\s*['"]?([^'")\s]+)['"]?\s*\))"));

    QList<ImageReference> found;
    const bool styleSheet = source.endsWith(QLatin1String(".css"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (styleSheet) {
            auto urls = styleUrl.globalMatch(line);
            while (urls.hasNext())
                found.append({source, i + 1, urls.next().captured(1), true});
            continue;
        }
        for (const QRegularExpression *pattern : {&resourceImage, &pageImage}) {
            auto matches = pattern->globalMatch(line);
            while (matches.hasNext())
                found.append({source, i + 1, matches.next().captured(1), false});
        }
    }
    return found;
}

QList<ImageReference> imageReferencesInProgram()
{
    const QDir root(QStringLiteral(TESSERA_SOURCE_DIR));
    const QStringList patterns = {"*.cpp", "*.h", "*.ui", "*.css", "*.js"};
    QList<ImageReference> all;
    for (const char *folder : {"app", "storage", "home", "examform", "resources", "assets"}) {
        QDirIterator it(root.filePath(QString::fromLatin1(folder)), patterns, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            all += imageReferencesIn(root.relativeFilePath(file), readSource(file));
        }
    }
    return all;
}

QString beside(const QString &relative)
{
    return QStringLiteral(TESSERA_BIN_DIR "/") + relative;
}

// Every class selector of a style sheet.
QSet<QString> classesStyledIn(const QString &relativeSheet)
{
    static const QRegularExpression selectorClass(QStringLiteral(R"(\.([A-Za-z_][A-Za-z0-9_-]*))"));
    QSet<QString> classes;
    const QString text = withoutCssComments(readSource(TestSupport::sourcePath(relativeSheet)));
    // Only selectors: the text before each "{".
    for (const QString &block : text.split(QLatin1Char('}'))) {
        const QString selectors = block.section(QLatin1Char('{'), 0, 0);
        auto matches = selectorClass.globalMatch(selectors);
        while (matches.hasNext())
            classes.insert(matches.next().captured(1));
    }
    return classes;
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void scannerFindsEveryKindOfReference();
    void referencedImageExists_data();
    void referencedImageExists();
    void imageHasLayoutSize_data();
    void imageHasLayoutSize();
    void statesOfAButtonMatchInSize_data();
    void statesOfAButtonMatchInSize();
    void bundleListsExactlyTheDrawnImages();
    void pageClassHasALook_data();
    void pageClassHasALook();
    void fontListFallsBackToNotoCjk_data();
    void fontListFallsBackToNotoCjk();
};

void TestArtwork::scannerFindsEveryKindOfReference()
{
    const QString code = QStringLiteral(
        "w->setStyleSheet(\"QPushButton{border-image: url(:/image/menu/close.png);}\");\n"
        "page += \"<img src='\" + base + \"images/index11.png' width='198' />\";\n"
        "page += \"images/\" + name + \".png\";\n"
        "QString other = \"myimages/x.png\";\n");
    const QList<ImageReference> inCode = imageReferencesIn(QStringLiteral("x.cpp"), code);
    QStringList paths;
    for (const ImageReference &r : inCode)
        paths << r.path;
    QCOMPARE(paths, QStringList({":/image/menu/close.png", "images/index11.png"}));
    QCOMPARE(inCode.at(1).line, 2);

    const QList<ImageReference> inSheet = imageReferencesIn(
        QStringLiteral("assets/css/a.css"),
        QStringLiteral(".a { background: url(../images/right.png) no-repeat; }\n.b { background: url( \"x/y.png\" ); }"));
    QCOMPARE(inSheet.size(), 2);
    QCOMPARE(inSheet.at(0).path, QStringLiteral("../images/right.png"));
    QCOMPARE(inSheet.at(1).path, QStringLiteral("x/y.png"));
    QVERIFY(inSheet.at(1).styleUrl);
}

void TestArtwork::referencedImageExists_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("styleUrl");
    QSet<QString> seen;
    for (const ImageReference &r : imageReferencesInProgram()) {
        const QString key = r.source + QLatin1Char('|') + r.path;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        QTest::addRow("%s:%d %s", qPrintable(r.source), r.line, qPrintable(r.path))
            << r.source << r.path << r.styleUrl;
    }
    // The style sheets beside the program use pictures; the scan must see them.
    QVERIFY2(seen.size() >= 5, "the source scan found almost no image names");
}

void TestArtwork::referencedImageExists()
{
    QFETCH(QString, source);
    QFETCH(QString, path);
    QFETCH(bool, styleUrl);

    if (path.startsWith(QLatin1String(":/")) || path.startsWith(QLatin1String("qrc:/"))) {
        const QString resource = path.startsWith(QLatin1String("qrc")) ? path.mid(3) : path;
        QVERIFY2(QFile::exists(resource), qPrintable(path + " is not in the resource bundle"));
        return;
    }
    if (path.startsWith(QLatin1String("data:")))
        return;
    if (!styleUrl) {
        QVERIFY2(QFile::exists(TestSupport::sourcePath("assets/" + path)),
                 qPrintable(path + " is not committed under assets/"));
        QVERIFY2(QFile::exists(beside(path)), qPrintable(path + " is not beside the program"));
        return;
    }
    // A style sheet written inline into a page has no base to resolve a relative url.
    QVERIFY2(source.startsWith(QLatin1String("assets/")),
             qPrintable(source + " is inlined into pages; url(" + path + ") cannot be resolved there"));
    const QString sheetFolder = QFileInfo(source).path().mid(int(qstrlen("assets/")));
    const QString target = QDir::cleanPath(sheetFolder + QLatin1Char('/') + path);
    QVERIFY2(QFile::exists(TestSupport::sourcePath("assets/" + target)),
             qPrintable(path + " named in " + source + " is not committed under assets/"));
    QVERIFY2(QFile::exists(beside(target)), qPrintable(target + " is not beside the program"));
}

void TestArtwork::imageHasLayoutSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const char *button : {"min", "max", "rest", "close"}) {
        const QString stem = QStringLiteral(":/image/menu/") + QString::fromLatin1(button);
        QTest::newRow(qPrintable(stem)) << stem + ".png" << QSize(26, 26);
        QTest::newRow(qPrintable(stem + "2")) << stem + "2.png" << QSize(26, 26);
    }
    const QList<QPair<QString, QSize>> twoState = {
        {":/image/other/dl", {83, 33}},    {":/image/other/zdkh", {139, 33}},
        {":/image/other/ys", {91, 33}},    {":/image/other/cxdl", {91, 33}},
        {":/image/other/ks", {91, 33}},    {":/image/exam/ok", {93, 35}},
        {":/image/exam/no", {93, 35}},     {":/image/exam/know", {93, 35}},
        {":/image/search/search", {82, 39}}, {":/image/sub", {150, 40}},
    };
    for (const auto &b : twoState)
        for (const char *state : {"1", "2"})
            QTest::newRow(qPrintable(b.first + state)) << b.first + state + ".png" << b.second;
    QTest::newRow("home button") << ":/image/home11.png" << QSize(110, 37);
    QTest::newRow("home button pressed") << ":/image/home22.png" << QSize(110, 37);
    QTest::newRow("login screen") << ":/image/login.png" << QSize(911, 613);
    QTest::newRow("candidate screen") << ":/image/info.png" << QSize(911, 613);
    QTest::newRow("logo banner") << ":/image/mlogo.png" << QSize(728, 130);
    for (const char *tile : {"11", "12", "21", "22", "31", "32", "41", "42"})
        QTest::addRow("home tile %s", tile) << QStringLiteral("images/index%1.png").arg(tile) << QSize(198, 177);
    QTest::newRow("start page picture") << "images/wechart.png" << QSize(140, 160);
}

void TestArtwork::imageHasLayoutSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image(path.startsWith(QLatin1Char(':')) ? path : beside(path));
    QVERIFY2(!image.isNull(), qPrintable(path + " cannot be read"));
    QCOMPARE(image.size(), size);
}

void TestArtwork::statesOfAButtonMatchInSize_data()
{
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("active");
    for (const char *stem : {"up", "down", "js", "sc1", "sc2", "help", "examj"}) {
        const QString base = QStringLiteral(":/image/exam/") + QString::fromLatin1(stem);
        QTest::newRow(stem) << base + "1.png" << base + "2.png";
    }
    QTest::newRow("button") << ":/image/button.png" << ":/image/button22.png";
    QTest::newRow("b01 b02") << ":/image/b01.png" << ":/image/b02.png";
    QTest::newRow("b01 b03") << ":/image/b01.png" << ":/image/b03.png";
}

void TestArtwork::statesOfAButtonMatchInSize()
{
    QFETCH(QString, normal);
    QFETCH(QString, active);
    const QImage first(normal), second(active);
    QVERIFY2(!first.isNull() && !second.isNull(), qPrintable(normal + " or " + active + " missing"));
    QCOMPARE(first.size(), second.size());
}

void TestArtwork::bundleListsExactlyTheDrawnImages()
{
    const QString qrc = readSource(TestSupport::sourcePath(QStringLiteral("resources/resources.qrc")));
    static const QRegularExpression entry(QStringLiteral(R"(<file[^>]*>(image/[^<]+)</file>)"));
    QSet<QString> listed;
    auto matches = entry.globalMatch(qrc);
    while (matches.hasNext())
        listed.insert(matches.next().captured(1));

    QSet<QString> drawn;
    const QDir resources(TestSupport::sourcePath(QStringLiteral("resources")));
    QDirIterator it(resources.filePath(QStringLiteral("image")), {"*.png"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        drawn.insert(resources.relativeFilePath(it.next()));

    QVERIFY(!drawn.isEmpty());
    const QSet<QString> unlisted = drawn - listed;
    const QSet<QString> missing = listed - drawn;
    QVERIFY2(unlisted.isEmpty(), qPrintable("not in resources.qrc: " + QStringList(unlisted.values()).join(", ")));
    QVERIFY2(missing.isEmpty(), qPrintable("listed but not drawn: " + QStringList(missing.values()).join(", ")));
}

void TestArtwork::pageClassHasALook_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("sheet");
    const QList<QPair<QString, QStringList>> fixedClasses = {
        {"assets/css/jijin.css", {"con", "con_box", "con_box2", "top_p", "s_p", "bt_li", "mc", "sl", "mc_h4"}},
        {"assets/css/welcss.css",
         {"title_01", "text_box", "content", "option", "button_01", "button_02", "button_03", "button_04",
          "right_bar", "right", "wrong", "keep_bar", "but_video", "but_showcang", "but_hidecang", "show_an",
          "answer_selected", "but_a", "but_a_x", "video", "box_01", "index_r_table", "sub_table", "title_02",
          "title_03", "table_title", "table_list", "sub_box_card", "button", "popup_dialog", "popup_title",
          "popup_content", "popup_close"}},
        {"assets/css/mc.css",
         {"s_menu", "s_menu1", "a_list", "wico", "yico", "zico", "xico", "button_select", "button_color",
          "button_right", "button_wrong", "button_no_select", "clear"}},
    };
    for (const auto &sheet : fixedClasses)
        for (const QString &name : sheet.second)
            QTest::addRow("%s in %s", qPrintable(name), qPrintable(sheet.first)) << name << sheet.first;

    // Classes the page script library sets: styled in the question page or the card.
    static const QRegularExpression setClass(
        QStringLiteral(R"re((?:addClass\(\s*|attr\(\s*"class",\s*)"([A-Za-z0-9_ ]+)")re"));
    const QString library = readSource(TestSupport::sourcePath(QStringLiteral("resources/js/mian.js")));
    QSet<QString> fromScript;
    auto matches = setClass.globalMatch(library);
    while (matches.hasNext())
        for (const QString &name : matches.next().captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            fromScript.insert(name);
    for (const QString &name : fromScript)
        QTest::addRow("%s set by mian.js", qPrintable(name)) << name << QString();
}

void TestArtwork::pageClassHasALook()
{
    QFETCH(QString, className);
    QFETCH(QString, sheet);
    const QStringList sheets = sheet.isEmpty()
        ? QStringList({"assets/css/welcss.css", "assets/css/mc.css"})
        : QStringList({sheet});
    bool styled = false;
    for (const QString &s : sheets)
        styled = styled || classesStyledIn(s).contains(className);
    QVERIFY2(styled, qPrintable("." + className + " has no rule in " + sheets.join(" or ")));
}

void TestArtwork::fontListFallsBackToNotoCjk_data()
{
    QTest::addColumn<QString>("declaration");
    static const QRegularExpression fontFamily(QStringLiteral(R"(font-family\s*:\s*([^;}]+))"));
    const QDir root(QStringLiteral(TESSERA_SOURCE_DIR));
    for (const char *folder : {"assets/css", "resources/css"}) {
        QDirIterator it(root.filePath(QString::fromLatin1(folder)), {"*.css"}, QDir::Files);
        while (it.hasNext()) {
            const QString file = it.next();
            auto matches = fontFamily.globalMatch(withoutCssComments(readSource(file)));
            int n = 0;
            while (matches.hasNext())
                QTest::addRow("%s #%d", qPrintable(root.relativeFilePath(file)), ++n)
                    << matches.next().captured(1).trimmed();
        }
    }
}

void TestArtwork::fontListFallsBackToNotoCjk()
{
    QFETCH(QString, declaration);
    const bool asksForWindowsFace = declaration.contains(QStringLiteral("宋体"))
        || declaration.contains(QStringLiteral("黑体"));
    if (!asksForWindowsFace)
        return;
    QVERIFY2(declaration.contains(QLatin1String("Noto Sans CJK SC"))
                 || declaration.contains(QLatin1String("Noto Serif CJK SC")),
             qPrintable(declaration + " has no Noto CJK fallback"));
}

TESSERA_TEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
