#pragma once

#include <QString>

// Wraps every occurrence of keyword in the text of an HTML fragment in
// <font color="red">...</font>, ASCII letters in either case (as the search
// matches them), the text itself unchanged. Only character data is searched:
// tags (names and attributes), comments, character references such as "&nbsp;"
// and the content of raw-text elements (script, style, textarea, title, ...)
// are copied unchanged, so a keyword like "div", "img" or "nbsp" never breaks
// the markup and no literal font tag shows in an essay box.
QString highlightKeyword(const QString &html, const QString &keyword);
