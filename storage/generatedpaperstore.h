#pragma once

#include "paperdrawer.h"
#include "writeoutcome.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

// Papers drawn by the program, stored as real papers: an exam_paper row (type
// "generated", a t_dic_data entry of the paper-type group, so that the book
// lists their wrong answers) with its exam_paper_static sections, and a
// generated_paper row that marks it as drawn.
class GeneratedPaperStore
{
public:
    struct Paper
    {
        QString subjectId;
        QVector<DrawnSection> sections;
        int examMinutes = 0;
        double passRatio = 0.6;
        quint32 seed = 0;
        QDate createdOn;
    };

    // Writes the paper in one transaction and returns its id ("gen-" and a
    // UUID); empty, with nothing written, on failure or without questions.
    static QString create(QSqlDatabase db, const Paper &paper);

    // Deletes a drawn paper with its sections and stored result, in one
    // transaction. Its wrong-question book rows (and kept rows of mastered
    // questions) move to a shipped paper of the subject that lists the
    // question; a question that no shipped paper lists keeps its row. A paper
    // that was not drawn is refused.
    static WriteOutcome remove(QSqlDatabase db, const QString &paperId);

    // How many drawn papers the subject has (every subject's for an empty id).
    static int count(QSqlDatabase db, const QString &subjectId);

    // The section caption, as the bank writes it: "单项选择题（共6题，每题2分，共12分）".
    static QString caption(const DrawnSection &section);
};
