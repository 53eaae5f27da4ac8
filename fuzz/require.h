#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep; breaking it is reported like a crash.
inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}
