#pragma once

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

class SubjectScope;

// The figures behind the charts of the 学习统计 page, read from the
// hand-ins in exam_history of the subject in scope.
class StatisticsFigures
{
public:
    // One paper's scores in the order of its hand-ins, as percent of its
    // full marks.
    struct ScoreSeries
    {
        QString paperId;
        QString paperName;
        QVector<double> percents;
    };
    // Answers right out of all answers given to a kind of question.
    struct Accuracy
    {
        QString name;
        int right = 0;
        int total = 0;
        double percent() const { return total > 0 ? 100.0 * right / total : 0.0; }
    };
    // One hand-in's time used against the time allowed, in seconds.
    struct TimeUse
    {
        QDateTime handedInAt;
        QString paperName;
        int usedSecond = 0;
        int allowedSecond = 0;
    };
    // The size of the wrong-question book after a hand-in.
    struct BookSize
    {
        QDateTime at;
        int count = 0;
    };
    // Hand-ins of one day.
    struct Day
    {
        QDate date;
        int handIns = 0;
    };

    // Weeks shown by the calendar strip, ending with today's.
    static const int calendarWeeks = 12;
    // Hand-ins shown by the time chart, the latest.
    static const int timedHandIns = 20;

    int handIns = 0;
    QVector<ScoreSeries> scores;    // papers in the order of their first hand-in
    QVector<Accuracy> byType;       // weakest first
    QVector<Accuracy> byChapter;    // chapter, else category; weakest first
    QVector<TimeUse> times;         // timed hand-ins, oldest first
    QVector<BookSize> book;         // oldest first
    QVector<Day> days;              // every day of the strip, Monday first
    int daysPractised = 0;          // days with a hand-in, ever

    static StatisticsFigures compute(QSqlDatabase db, const SubjectScope &scope, const QDate &today);
};
