#pragma once

#include "paperblueprint.h"

#include <QDate>
#include <QStringList>
#include <QVector>

// A top-level question of the bank that a drawn paper may take: a plain
// question or a case study with its parts.
struct DrawCandidate
{
    QString id;
    QString categoryId;
    QString chapterId;
    bool caseStudy = false;
    QStringList partIds;        // a case study's parts in order
    double marks = 0;           // full marks of the question, or of all its parts
    int lapses = 0;             // times answered wrong (most of any part)
    QDate lastSeen;             // last answered; null when never
};

struct DrawRequest
{
    QVector<BlueprintSection> sections;     // counts as chosen; 0 leaves a section out
    QStringList chapterIds;                 // empty: every chapter
    bool preferWeakAndNew = false;          // "优先错题和新题"
    quint32 seed = 0;
    QDate today;
};

// A category that holds fewer questions than asked for.
struct DrawShortage
{
    QString categoryId;
    QString categoryName;
    int wanted = 0;
    int available = 0;
};

struct DrawnSection
{
    BlueprintSection section;
    QVector<DrawCandidate> questions;
};

// Draws the questions of a new paper from the bank at random, no question
// twice, case studies always whole. The same seed gives the same paper.
//
// With the preference on, every question is drawn with a weight: 4 for a
// question never answered; otherwise (1 + lapses, at most 9) times a recency
// factor from 0.1 (answered today) rising evenly to 1 (30 days or more ago).
// Without it every question weighs the same.
class PaperDrawer
{
public:
    explicit PaperDrawer(const QVector<DrawCandidate> &bank);

    // Questions of a category that the chapter filter lets through.
    int available(const QString &categoryId, const QStringList &chapterIds) const;
    // The categories where the request asks for more than the bank holds.
    QVector<DrawShortage> shortages(const DrawRequest &request) const;
    // The drawn sections, in request order; a short category gives what it has
    // and an empty section is left out.
    QVector<DrawnSection> draw(const DrawRequest &request) const;

    static double weight(const DrawCandidate &candidate, const QDate &today);

private:
    QVector<DrawCandidate> eligible(const QString &categoryId, const QStringList &chapterIds) const;

    QVector<DrawCandidate> m_bank;
};
