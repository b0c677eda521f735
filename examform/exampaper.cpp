#include "exampaper.h"

ExamQuestion *ExamPaper::addQuestion(std::unique_ptr<ExamQuestion> question)
{
    questions.push_back(std::move(question));
    return questions.back().get();
}

PaperSection *ExamPaper::addSection(std::unique_ptr<PaperSection> section)
{
    sections.push_back(std::move(section));
    return sections.back().get();
}
