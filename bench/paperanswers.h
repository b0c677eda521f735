#pragma once

class ExamPaper;

// Gives every answerable entry of a loaded paper an answer, as a candidate who
// finished the paper would: two in three right, the others wrong.
class PaperAnswers
{
public:
    static void answerAll(ExamPaper &paper);
};
