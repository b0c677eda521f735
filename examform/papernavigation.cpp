#include "papernavigation.h"

#include "exampaper.h"

namespace {

bool isStem(const ExamPaper &paper, int index)
{
    return paper.questions.at(static_cast<size_t>(index))->type == 6;
}

int entryCount(const ExamPaper &paper)
{
    return static_cast<int>(paper.questions.size());
}

} // namespace

int PaperNavigation::previous(const ExamPaper &paper, int current)
{
    int index = current - 1;
    while (index >= 0 && index < entryCount(paper) && isStem(paper, index))
        --index;
    return index >= 0 && index < entryCount(paper) ? index : -1;
}

int PaperNavigation::next(const ExamPaper &paper, int current)
{
    int index = current + 1;
    while (index >= 0 && index < entryCount(paper) && isStem(paper, index))
        ++index;
    return index >= 0 && index < entryCount(paper) ? index : -1;
}

int PaperNavigation::jump(const ExamPaper &paper, int sequence)
{
    return sequence >= 1 && sequence <= entryCount(paper) ? sequence - 1 : -1;
}

int PaperNavigation::sectionOf(const ExamPaper &paper, int index, int fallback)
{
    const int position = index + 1;
    for (size_t k = 0; k < paper.sections.size(); ++k) {
        const PaperSection &section = *paper.sections[k];
        if (section.firstSeq <= position && index < section.lastSeq)
            return static_cast<int>(k);
    }
    return fallback;
}
