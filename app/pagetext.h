#pragma once

#include <QString>

// Small text helpers shared by every page builder.

// The whole text of a file or compiled-in resource; empty when it cannot be read.
// A byte-order mark selects the encoding, otherwise the text is UTF-8.
QString readTextFile(const QString &path);

// "file:" URL prefix of a directory, ending in "/". Paths that start with "/"
// get "file://" so that the URL never shows four slashes; other paths (C:/...)
// get "file:///". Characters are not percent-encoded.
QString fileUrlBase(const QString &directory);

// fileUrlBase of the folder of the page files (AppPaths::pageDir).
QString appFileUrlBase();

// Escapes a text for use inside a single-quoted script string literal.
QString jsEscape(const QString &text);

// Escapes a text for a single-quoted script string that itself sits inside a
// double-quoted HTML attribute (onclick="f('...')").
QString jsEscapeInAttribute(const QString &text);
