#pragma once

class ExamPaper;

// Takes one entry out of a loaded paper (a question deleted from the
// wrong-question book during its practice) and renumbers the rest, so that the
// positions the card and the keyboard use name the remaining entries.
class EntryRemoval
{
public:
    // Removes the entry at index from its section and the paper's list, takes
    // its marks off the section's and the paper's full marks, and gives every
    // remaining entry its new position (seq) and displayed number, and every
    // section its new first and last position. The entries' HTML carries the
    // old positions until they are rendered again. False for an index outside
    // the list.
    static bool remove(ExamPaper &paper, int index);
};
