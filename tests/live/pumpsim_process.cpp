#include "live/pumpsim_process.h"

#include "live/child_process.h"

PumpSimProcess::~PumpSimProcess() {
    stop();
}

bool PumpSimProcess::start(const QString& folder, const QStringList& options) {
    const QString program = qEnvironmentVariable("ZR_PUMPSIM");
    if (program.isEmpty()) {
        error_ = "ZR_PUMPSIM names no program";
        return false;
    }
    process_.start(program, QStringList{"--link", folder + "/COM1"} + options);
    QByteArray seen;
    const bool linked = WaitForOutput(process_, "linked as", seen);
    output_ = QString::fromLatin1(seen);
    if (!linked)
        error_ = program + " gave no link: " + process_.errorString() + " " + output_ +
                 process_.readAllStandardError();
    return linked;
}

QString PumpSimProcess::transcript() {
    process_.waitForReadyRead(50);
    output_ += QString::fromLatin1(process_.readAllStandardOutput());
    return output_;
}

void PumpSimProcess::stop() {
    EndChild(process_);
}
