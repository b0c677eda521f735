// Prints a question book's text to a PDF, one line of the text a line of the
// page, so that `pdftotext -layout` gives the text back: the PDF example of
// the book importer where LibreOffice is not there to print the .docx.
//   tessera_bookpdf BOOK.txt BOOK.pdf
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        QTextStream(stderr) << "usage: tessera_bookpdf BOOK.txt BOOK.pdf\n";
        return 2;
    }
    QFile source(arguments.at(1));
    if (!source.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << "cannot read " << arguments.at(1) << '\n';
        return 1;
    }
    const QStringList lines = QString::fromUtf8(source.readAll()).split(QLatin1Char('\n'));

    QPdfWriter pdf(arguments.at(2));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    pdf.setTitle(QStringLiteral("题库示例"));
    pdf.setCreator(QStringLiteral("tessera"));
    QPainter painter(&pdf);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSizeF(9.5);
    painter.setFont(font);
    const QFontMetrics metrics(font, &pdf);
    const int step = metrics.lineSpacing() * 3 / 2;
    const int bottom = pdf.height() - step;
    int y = metrics.ascent();
    for (const QString &line : lines) {
        if (y > bottom) {
            pdf.newPage();
            y = metrics.ascent();
        }
        // Character by character: a line drawn whole loses its Latin runs
        // between CJK ones to pdftotext.
        int x = 0;
        for (const QChar c : line) {
            painter.drawText(x, y, QString(c));
            x += metrics.horizontalAdvance(c);
        }
        y += step;
    }
    return painter.end() ? 0 : 1;
}
