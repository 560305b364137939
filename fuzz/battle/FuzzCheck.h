#ifndef FUZZ_BATTLE_FUZZ_CHECK_H
#define FUZZ_BATTLE_FUZZ_CHECK_H

// A broken property of a harness: libFuzzer keeps the input that aborts.

#include <cstdio>
#include <cstdlib>

inline void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

#endif
