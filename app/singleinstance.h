#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running program per data folder: a second start hands over to the
// running one, which brings its window forward, instead of writing the same
// records. The running program listens on a local socket named after the user
// and the data folder, so programs on other data folders run side by side.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &dataDir, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one to run: no other runs on the data folder
    // (a socket left by a crashed run is cleared). False when a running program
    // took the hand-over; this process should then end.
    bool claim();

    // Name of the local socket (QLocalServer naming).
    QString serverName() const { return m_serverName; }

signals:
    // A later start asked the running program to come forward.
    void activationRequested();

private:
    bool handOver() const;
    void answer();

    QString m_serverName;
    QLocalServer *m_server = nullptr;
};
