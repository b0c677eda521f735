#pragma once

#include "schemamigration.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QWidget>

// The bar of the upgrade notice. It fills with the share of the migration
// done; while the running stage does not say how far it is (the backup, a
// step of one long statement), a band sweeps over the part still to do, so
// the bar moves for as long as the stage takes.
class MigrationProgressBar : public QWidget
{
public:
    explicit MigrationProgressBar(QWidget *parent = nullptr);

    void setProgress(const SchemaMigration::Progress &progress);

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    SchemaMigration::Progress m_progress;
    QBasicTimer m_sweep;
    QElapsedTimer m_sweepClock;
};
