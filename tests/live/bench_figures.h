#pragma once

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

// The program the environment variable names, else the built one.
inline QString ProgramFrom(const char* variable, const char* built) {
    const QString set = qEnvironmentVariable(variable);
    return set.isEmpty() ? QString::fromUtf8(built) : set;
}
