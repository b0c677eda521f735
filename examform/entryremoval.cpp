#include "entryremoval.h"

#include "exampaper.h"

bool EntryRemoval::remove(ExamPaper &paper, int index)
{
    if (index < 0 || index >= static_cast<int>(paper.questions.size()))
        return false;

    // The section that holds the entry, by the sections' entry counts.
    int first = 0;
    for (const auto &section : paper.sections) {
        const int count = qMax(section->entryCount, 0);
        if (index < first + count) {
            const double cent = paper.questions[static_cast<size_t>(index)]->cent;
            section->entryCount -= 1;
            section->quantity = qMax(section->quantity - 1, 0);
            section->mark -= cent;
            paper.totalCent -= cent;
            break;
        }
        first += count;
    }
    paper.questions.erase(paper.questions.begin() + index);

    int number = 0;
    for (size_t i = 0; i < paper.questions.size(); ++i) {
        ExamQuestion &question = *paper.questions[i];
        question.seq = static_cast<int>(i) + 1;
        if (question.leafNo == 0)
            ++number;
        question.number = number;
    }
    int seq = 1;
    for (const auto &section : paper.sections) {
        section->firstSeq = seq;
        seq += qMax(section->entryCount, 0);
        section->lastSeq = seq - 1;
    }
    return true;
}
