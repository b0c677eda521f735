#include "paperblueprint.h"

#include <algorithm>

namespace {

// Mock papers first, then sort order, then id: the first is the template.
bool comesFirst(const BlueprintSource &a, const BlueprintSource &b)
{
    if (a.mockPaper != b.mockPaper)
        return a.mockPaper;
    if (a.paperSortNo != b.paperSortNo)
        return a.paperSortNo < b.paperSortNo;
    return a.paperId < b.paperId;
}

} // namespace

PaperBlueprint PaperBlueprint::fromPapers(const QVector<BlueprintSource> &sources)
{
    PaperBlueprint blueprint;
    if (sources.isEmpty())
        return blueprint;
    const BlueprintSource &first = *std::min_element(sources.begin(), sources.end(), comesFirst);
    blueprint.sourcePaperId = first.paperId;
    blueprint.examMinutes = qMax(0, first.examMinutes);
    if (first.totalCent > 0 && first.passCent > 0 && first.passCent <= first.totalCent)
        blueprint.passRatio = first.passCent / first.totalCent;

    QVector<BlueprintSource> sections;
    for (const BlueprintSource &source : sources) {
        if (source.paperId == first.paperId && !source.optional && source.topLevelCount > 0)
            sections << source;
    }
    std::stable_sort(sections.begin(), sections.end(),
                     [](const BlueprintSource &a, const BlueprintSource &b) { return a.sequence < b.sequence; });
    for (const BlueprintSource &source : sections)
        blueprint.sections << BlueprintSection{source.categoryId, source.categoryName, source.questionType,
                                               source.topLevelCount};
    return blueprint;
}
