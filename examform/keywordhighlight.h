#pragma once

#include <QString>

// Wraps every case-sensitive occurrence of keyword in the text of an HTML
// fragment in <font color="red">...</font>. Only character data is searched:
// tags (names and attributes), comments, character references such as "&nbsp;"
// and the content of script and style elements are copied unchanged, so a
// keyword like "div", "img" or "nbsp" never breaks the markup.
QString highlightKeyword(const QString &html, const QString &keyword);
