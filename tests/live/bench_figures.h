#pragma once

#include <sys/resource.h>

#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <vector>

// What the benchmarks of the built programs share.

// The median of the figures (the upper one of an even count).
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The processor time, user and system, of this process (RUSAGE_SELF) or of its children that
// have ended (RUSAGE_CHILDREN), in seconds.
inline double CpuSeconds(int who = RUSAGE_SELF) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The program the environment variable names, else the built one.
inline QString ProgramFrom(const char* variable, const char* built) {
    const QString set = qEnvironmentVariable(variable);
    return set.isEmpty() ? QString::fromUtf8(built) : set;
}
