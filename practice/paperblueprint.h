#pragma once

#include <QString>
#include <QVector>

// One section of a paper to draw: which category of question, of which type,
// and how many top-level questions (a case study counts once, with all its
// parts).
struct BlueprintSection
{
    QString categoryId;
    QString categoryName;
    int questionType = 0;
    int count = 0;
};

// One section of a paper of the bank, as the blueprint is taken from it.
struct BlueprintSource
{
    QString paperId;
    int paperSortNo = 0;
    bool mockPaper = false;
    int examMinutes = 0;
    double totalCent = 0;
    double passCent = 0;
    int sequence = 0;
    QString categoryId;
    QString categoryName;
    int questionType = 0;
    int topLevelCount = 0;
    bool optional = false;
};

// The sections, counts, time and pass ratio of a drawn paper by default: those
// of the subject's first mock paper in sort order, or of its first paper when
// it has no mock paper. Optional sections are left out (they count only when
// chosen, which a drawn paper does not ask for).
class PaperBlueprint
{
public:
    QString sourcePaperId;              // empty: the bank has no paper to copy
    int examMinutes = 0;
    double passRatio = 0.6;             // pass mark over full marks
    QVector<BlueprintSection> sections;

    static PaperBlueprint fromPapers(const QVector<BlueprintSource> &sources);
};
