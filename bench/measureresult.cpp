#include "measureresult.h"

#include <algorithm>

namespace {

QString ms(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

MeasureResult::MeasureResult(const QString &name) : name(name) {}

void MeasureResult::collect(int runs, const std::function<double()> &ourRun,
                            const std::function<double()> &floorRun)
{
    const auto record = [this](QVector<double> &samples, double ms) {
        if (ms < 0)
            failed = true;
        else
            samples << ms;
    };
    QVector<double> warmUp;
    record(warmUp, ourRun());
    record(warmUp, floorRun());
    for (int run = 0; run < runs; ++run) {
        record(ours, ourRun());
        record(floor, floorRun());
    }
}

double MeasureResult::median(QVector<double> samples)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const int middle = samples.size() / 2;
    return samples.size() % 2 ? samples.at(middle) : (samples.at(middle - 1) + samples.at(middle)) / 2;
}

double MeasureResult::ratio() const
{
    const double floorMedian = median(floor);
    return floorMedian > 0 ? median(ours) / floorMedian : 0;
}

bool MeasureResult::met() const
{
    if (failed || ours.isEmpty())
        return false;
    if (targetMs > 0 && median(ours) >= targetMs)
        return false;
    return !(targetRatio > 0 && ratio() > targetRatio);
}

QString MeasureResult::line() const
{
    QString text = QStringLiteral("measure=") + name;
    if (failed || ours.isEmpty())
        return text + QStringLiteral(" status=failed");
    const double least = ours.isEmpty() ? 0 : *std::min_element(ours.cbegin(), ours.cend());
    text += QStringLiteral(" median_ms=") + ms(median(ours)) + QStringLiteral(" floor_ms=")
        + ms(median(floor)) + QStringLiteral(" ratio=") + QString::number(ratio(), 'f', 2)
        + QStringLiteral(" runs=") + QString::number(ours.size()) + QStringLiteral(" min_ms=")
        + ms(least);
    if (targetMs > 0)
        text += QStringLiteral(" target_ms=") + QString::number(targetMs);
    if (targetRatio > 0)
        text += QStringLiteral(" target_ratio=") + QString::number(targetRatio);
    if (targetMs > 0 || targetRatio > 0)
        text += met() ? QStringLiteral(" met=yes") : QStringLiteral(" met=no");
    for (const QString &extra : extras)
        text += QLatin1Char(' ') + extra;
    return text;
}
