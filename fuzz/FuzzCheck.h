#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test: printed and turned into a crash, which libFuzzer
// reports with the input that caused it.
#define FUZZ_CHECK(...)                                                                     \
    do {                                                                                    \
        if (!(__VA_ARGS__)) {                                                                 \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #__VA_ARGS__); \
            std::abort();                                                                   \
        }                                                                                   \
    } while (false)
