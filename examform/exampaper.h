#pragma once

#include "examquestion.h"
#include "papersection.h"

#include <QString>
#include <QTime>
#include <memory>
#include <vector>

// The in-memory paper of one run: its sections in order and the flat list of
// its entries (a composite stem directly followed by its leaves). The paper
// owns both lists; deleting it deletes every section and question.
class ExamPaper
{
public:
    ExamPaper() = default;
    ExamPaper(const ExamPaper &) = delete;
    ExamPaper &operator=(const ExamPaper &) = delete;

    // Appends a record and returns it, the paper keeping ownership.
    ExamQuestion *addQuestion(std::unique_ptr<ExamQuestion> question);
    PaperSection *addSection(std::unique_ptr<PaperSection> section);

    // The time allowed in seconds, 0 for a paper without a usable time. The
    // bank's minutes may be anything, so the product is taken in 64 bits.
    qint64 allowedSeconds() const { return examTime > 0 ? qint64(examTime) * 60 : 0; }

    bool handedIn = false;
    QString id;
    QString name;
    QString asname;
    QString subjectId;
    double totalCent = 0;
    double passCent = 0;
    int allCount = 0;
    int wrongCount = 0;
    int rightCount = 0;
    int unansweredCount = 0;
    double score = 0;
    int examTime = 0;           // minutes
    QTime startTime;
    QTime endTime;
    int questionCount = 0;      // top-level questions, a composite counting once
    int askCount = 0;           // answerable items
    int answeredCount = 0;
    std::vector<std::unique_ptr<ExamQuestion>> questions;
    std::vector<std::unique_ptr<PaperSection>> sections;
    QString xzremark;
    int xzcount = 0;
    QString answerSheet;
};
