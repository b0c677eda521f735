#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// The timings of one measure: our code and its floor, run the same number of
// times, with the targets the measure is held to.
class MeasureResult
{
public:
    explicit MeasureResult(const QString &name);

    QString name;
    QVector<double> ours;       // milliseconds per run
    QVector<double> floor;
    double targetMs = 0;        // 0: no time target
    double targetRatio = 0;     // 0: no ratio target
    bool failed = false;        // a run did not do its work (its time is worthless)
    QStringList extras;         // further "key=value" pairs for the line

    // Runs one untimed warm-up of each, then runs pairs of ours and floor; each
    // function does its own set-up and returns the milliseconds of its timed part.
    void collect(int runs, const std::function<double()> &ourRun, const std::function<double()> &floorRun);

    static double median(QVector<double> samples);
    double ratio() const;
    bool met() const;
    // One line of key=value pairs separated by single spaces, e.g.
    // "measure=paper_load median_ms=41.20 floor_ms=9.80 ratio=4.20 runs=15 ...".
    QString line() const;
};
