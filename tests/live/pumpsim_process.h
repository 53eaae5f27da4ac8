#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The simulated pump bus (the program named by ZR_PUMPSIM) running as a child process, with
// its pseudo-terminal linked as COM1 in a folder of the caller's choosing.
class PumpSimProcess {
public:
    ~PumpSimProcess();

    // Starts it and waits until the link exists; false with error() telling why otherwise.
    bool start(const QString& folder, const QStringList& options);
    void stop();
    // 0 when it is not running; a test may kill it outright, as a pump that loses power.
    qint64 processId() const { return process_.processId(); }
    QString error() const { return error_; }
    // Everything it printed so far (one rx/tx line per frame).
    QString transcript();

private:
    QProcess process_;
    QString output_;
    QString error_;
};
