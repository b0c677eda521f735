#include "migrationprogressbar.h"

#include <QPainter>
#include <QTimerEvent>
#include <cmath>

namespace {

// One sweep there and back, and the frame interval that keeps it smooth.
const int sweepPeriodMs = 1600;
const int frameMs = 40;

} // namespace

MigrationProgressBar::MigrationProgressBar(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MigrationProgressBar::setProgress(const SchemaMigration::Progress &progress)
{
    m_progress = progress;
    const bool unknown = !progress.finished() && progress.stageFraction < 0;
    if (unknown && !m_sweep.isActive()) {
        m_sweepClock.start();
        m_sweep.start(frameMs, this);
    } else if (!unknown) {
        m_sweep.stop();
    }
    update();
}

void MigrationProgressBar::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_sweep.timerId())
        update();
    else
        QWidget::timerEvent(event);
}

void MigrationProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.fillRect(rect(), QColor(QStringLiteral("#f4fbfd")));
    const double done = m_progress.overall();
    const QRectF filled(track.left(), track.top(), track.width() * done, track.height());
    painter.fillRect(filled, QColor(QStringLiteral("#2f7f8f")));
    if (m_sweep.isActive()) {
        // A band a fifth of the rest wide, there and back over the running
        // stage's part and what follows it.
        const QRectF rest(filled.right(), track.top(), track.right() - filled.right(), track.height());
        const double width = qMax(8.0, rest.width() / 5);
        const double phase = double(m_sweepClock.elapsed() % sweepPeriodMs) / sweepPeriodMs;
        const double there = 1 - std::abs(2 * phase - 1);
        const QRectF band(rest.left() + (rest.width() - width) * there, rest.top(), width, rest.height());
        painter.fillRect(band, QColor(QStringLiteral("#8cc7d3")));
    }
    painter.setPen(QColor(QStringLiteral("#2f7f8f")));
    painter.drawRect(track);
}
