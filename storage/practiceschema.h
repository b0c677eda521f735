#pragma once

#include <QSqlDatabase>

// The tables of spaced review and drawn papers, added to an existing data.db
// by one step of the schema migration. Additive only: new tables and indexes.
//
// review_card        one row per question ever marked: memory state, last
//                    review and due day (yyyy-MM-dd), reviews and lapses
// review_log         one row per review, for later refitting of the model
// mastered_question  the book row of a mastered question, kept so that the
//                    question returns to the book as it was at its next lapse
// generated_paper    marks an exam_paper row as drawn by the program
class PracticeSchema
{
public:
    static bool apply(QSqlDatabase db);
};
