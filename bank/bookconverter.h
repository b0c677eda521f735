#pragma once

#include <QByteArray>
#include <QString>

// Turns documents tessera cannot read itself into ones it can, with the
// programs of the machine: .doc and .wps into .docx through LibreOffice
// (soffice), .pdf into text through pdftotext. Each runs in a temporary
// folder of its own and is stopped after a time limit; a missing program is
// named with the Debian package that brings it.
class BookConverter
{
public:
    struct Result
    {
        QByteArray bytes;      // the .docx, or the PDF's text in UTF-8
        QString error;         // "" when it worked
    };

    static Result wordToDocx(const QString &path, int timeoutMs = 120000);
    static Result pdfToText(const QString &path, int timeoutMs = 60000);

    // The LibreOffice and pdftotext programs of the machine, "" when missing.
    static QString office();
    static QString pdfText();
};
