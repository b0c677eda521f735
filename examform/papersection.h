#pragma once

#include <QString>
#include <array>

// One section ("part") of a paper: the questions of one sub-type, with its
// caption, its place among the paper's questions and its marking tallies.
class PaperSection
{
public:
    // Chinese ordinals used by the section caption ("一" .. "八").
    static const std::array<QString, 8> ordinals;

    double score = 0;
    int wrongCount = 0;
    int rightCount = 0;
    int unansweredCount = 0;
    QString id;
    QString plainId;            // id without "-", usable in element ids
    QString captionName;
    QString questionTypeid;
    QString bname;              // name of the section's question category
    QString fuleixingid;
    QString questionIds;        // JSON array of {"qid", "leaf"} objects
    int questionTypeId = 0;
    int entryCount = 0;         // entries of the paper's question list in this section
    int quantity = 0;
    double mark = 0;            // full marks of the section
    int isselect = 0;           // > 0 for an optional section
    bool chosen = false;        // the user chose this optional section
    int sequence = 0;
    int row = 0;                // 0-based row of the section in its query
    int firstSeq = 0;           // 1-based positions of the first and last entry;
    int lastSeq = 0;            // an empty section has lastSeq == firstSeq - 1
};
