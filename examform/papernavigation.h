#pragma once

class ExamPaper;

// Where a move through the paper lands. Moves never stop on a composite stem:
// its leaves show the stem. A result of -1 means the move is refused.
class PaperNavigation
{
public:
    // Index of the entry before current, skipping composite stems; -1 before
    // the first entry.
    static int previous(const ExamPaper &paper, int current);
    // Index of the entry after current, skipping composite stems; -1 after
    // the last entry.
    static int next(const ExamPaper &paper, int current);
    // Index of the entry at the 1-based position sequence; -1 outside the paper.
    static int jump(const ExamPaper &paper, int sequence);
    // The section holding the entry at index, or fallback when none does.
    static int sectionOf(const ExamPaper &paper, int index, int fallback);
};
