#include "live/pumpsim_process.h"

#include <QDeadlineTimer>

PumpSimProcess::~PumpSimProcess() {
    stop();
}

bool PumpSimProcess::start(const QString& folder, const QStringList& options) {
    const QString program = qEnvironmentVariable("ZR_PUMPSIM");
    if (program.isEmpty()) {
        error_ = "ZR_PUMPSIM names no program";
        return false;
    }
    output_.clear();
    process_.setProgram(program);
    process_.setArguments(QStringList{"--link", folder + "/COM1"} + options);
    process_.start();
    if (!process_.waitForStarted(5000)) {
        error_ = program + " did not start: " + process_.errorString();
        return false;
    }
    const QDeadlineTimer deadline(5000);
    while (!output_.contains("linked as") && !deadline.hasExpired()) {
        if (process_.state() != QProcess::Running ||
            !process_.waitForReadyRead(int(deadline.remainingTime()))) {
            error_ = program + " gave no link: " + output_ + process_.readAllStandardError();
            return false;
        }
        output_ += QString::fromLatin1(process_.readAllStandardOutput());
    }
    return output_.contains("linked as");
}

QString PumpSimProcess::transcript() {
    process_.waitForReadyRead(50);
    output_ += QString::fromLatin1(process_.readAllStandardOutput());
    return output_;
}

void PumpSimProcess::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}
