#include <cstdio>

int main() {
    std::fprintf(stderr, "pumpsim: not built yet\n");
    return 1;
}
