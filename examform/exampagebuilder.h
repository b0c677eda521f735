#pragma once

#include <QString>

class ExamPaper;

// Assembles the two pages of the exam window from the paper's stored HTML:
// the question page (one entry with its section caption) and the answer card.
// The shared page head is read from the resources once per builder.
class ExamPageBuilder
{
public:
    // mode is the practice status; appDirSlash the folder of the page files
    // followed by "/", from which the pages load their style sheets, scripts
    // and images.
    ExamPageBuilder(int mode, const QString &appDirSlash);

    // The page of the entry at index, captioned by the section at
    // sectionIndex (no caption when there is no such section).
    QString questionPage(const ExamPaper &paper, int index, int sectionIndex) const;

    // The answer card: one link per answerable entry, grouped by section.
    QString cardPage(const ExamPaper &paper) const;

    // Whether the pages carry the questions' notes: not in a formal paper
    // before its hand-in.
    void showNotes(bool shown) { m_notesShown = shown; }

    // The introduction shown when the user enters the section.
    QString sectionIntroduction(const ExamPaper &paper, int sectionIndex) const;

private:
    QString head(const QString &styleSheets) const;
    QString styleSheetLink(const QString &file) const;

    int m_mode;
    bool m_notesShown;
    QString m_assetBase;   // a double quote, then the file: URL of the application directory
    QString m_baseCss;
    QString m_pageScript;
    QString m_questionHead;
    QString m_cardHead;
};
