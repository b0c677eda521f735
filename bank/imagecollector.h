#pragma once

#include "parsedbank.h"

#include <QHash>
#include <QString>

// Finds the pictures an HTML fragment of a file shows (data: URIs, files
// embedded in the file, files beside it), gives each a name made from its
// content and points the fragment at it the way the bank's pages expect:
// <img src="/NAME" ...>. Links to other files a file names but does not
// carry are taken out and reported. Nothing is written: the pictures are kept in the
// parsed bank until an import stores them.
class ImageCollector
{
public:
    ImageCollector(ParsedBank &bank, const QString &baseDir);

    // embedded maps the names a file uses for its own files (Moodle XML) to
    // their bytes.
    QString resolve(const QString &html, int line,
                    const QHash<QString, QByteArray> &embedded = QHash<QString, QByteArray>());

    // "imp-" and 20 hex digits of the content's SHA-1, then the suffix: the
    // same picture imported twice is stored once.
    static QString storedName(const QByteArray &bytes, const QString &suffix);

private:
    QString store(const QByteArray &bytes, const QString &suffix);
    // Links and players of files the import does not bring in
    // ("@@PLUGINFILE@@/bonjour.mp3") are taken out, each said in a note at
    // the line: a link keeps its text.
    QString dropDeadLinks(const QString &html, int line);

    ParsedBank &m_bank;
    QString m_baseDir;
};
