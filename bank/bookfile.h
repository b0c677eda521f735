#pragma once

#include "parsedbank.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Question books in the document kinds people keep them in: "book" (text,
// pasted or .txt, UTF-8 or GB18030), "docx" (Word), "doc" and "wps" (through
// LibreOffice) and "pdf" (through pdftotext), all read by the book recogniser.
namespace BookFile {

QStringList formats();
// The book format the bytes are, "" for none of them; text is left to the caller.
QString detectFormat(const QByteArray &bytes, const QString &fileName);
ParsedBank parse(const QByteArray &bytes, const QString &format);
// A pasted text.
ParsedBank parseText(const QString &text);

} // namespace BookFile
