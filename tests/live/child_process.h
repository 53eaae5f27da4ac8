#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>

// What the helpers that run a program as a child process share.

// Ends the child: SIGTERM, and SIGKILL where that has not ended it within 3 s.
inline void EndChild(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

// Reads the child's output until `text` has come or the child ended, 5 s at most; what came is
// kept in `seen`.
inline bool WaitForOutput(QProcess& process, const QByteArray& text, QByteArray& seen) {
    const QDeadlineTimer deadline(5000);
    process.waitForStarted(5000);
    while (!seen.contains(text)) {
        if (process.state() != QProcess::Running || deadline.hasExpired()) return false;
        process.waitForReadyRead(int(deadline.remainingTime()));
        seen += process.readAll();
    }
    return true;
}
