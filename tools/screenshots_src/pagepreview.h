#pragma once

#include <QString>

// Pages that show the style sheets' classes in all their states at once: one
// question of every type with chosen, marked and explained states, the answer
// card with every entry state, and the results popup. They are built with the
// program's own renderers and head fragments, so they look as the real pages
// do.
namespace PagePreview {

// The question page: a section caption and the first question of types 1 to 5.
QString questionPage();

// Script that puts the question page's controls into their states
// (chosen options, result marks, open explanations).
QString questionStatesScript();

// Script that opens the results popup over the question page.
QString resultsPopupScript();

// The answer card with entries in every state.
QString cardPage();

} // namespace PagePreview
