#pragma once

#include "parsedbank.h"
#include "richline.h"

#include <QByteArray>
#include <QVector>

// A Word document as lines of a question book: the paragraphs of
// word/document.xml in reading order (table cells one after another, line
// breaks as new lines), automatic list numbers written out as the reader sees
// them, bold, italic, sub- and superscript as HTML, equations as their text
// and pictures as the bank's images at their place.
struct BookDocument
{
    QVector<RichLine> lines;
    QVector<BankImage> images;
    QVector<BankProblem> problems;
};

class DocxReader
{
public:
    static BookDocument read(const QByteArray &bytes);
    // A part of the document larger than this when expanded is refused.
    static constexpr qint64 largestPart = 64ll * 1024 * 1024;
};
