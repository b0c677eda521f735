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

    // Longest time a paper can be timed for: beyond a day no real exam runs,
    // and such a bank value means "untimed" like 0 or NULL.
    static constexpr int longestTimedMinutes = 24 * 60;

    // The paper runs against a countdown.
    bool timed() const { return examTime > 0 && examTime <= longestTimedMinutes; }
    // The time allowed in seconds, 0 for an untimed paper.
    int allowedSeconds() const { return timed() ? examTime * 60 : 0; }

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
