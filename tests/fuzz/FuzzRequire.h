#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzz target on a broken rule, naming it, so libFuzzer saves the input that broke it.
#define FUZZ_REQUIRE(condition)                                                                    \
    ((condition) ? void()                                                                          \
                 : (std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition),   \
                    std::abort()))
