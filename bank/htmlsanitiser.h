#pragma once

#include <QString>

// Makes the HTML an imported file brings safe to show in the program's pages.
// Formatting stays (paragraphs, emphasis, lists, tables, fonts and colours,
// the bank's own pictures); everything that could run, load or navigate goes:
// scripts, event handlers, links, frames, objects, forms, style sheets,
// pictures from elsewhere. Allowed elements and attributes are a table in the
// source. The input is read the way a browser reads it, in one pass, and the
// output is written in one plain form, so that a browser reads it back the
// same way: text outside tags as it was (entities too, and a "<" that opens
// nothing, as in "a < b"), comments dropped, an element that is not allowed
// dropped with its tags only (its text stays) or, for script-like ones, with
// everything in it. A tag or comment that the text never closes is kept as
// escaped text.
class HtmlSanitiser
{
public:
    static QString clean(const QString &html);
};
