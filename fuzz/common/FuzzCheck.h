#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant of a fuzz target. A failure names the condition and aborts, so libFuzzer keeps
// the input as a crash and the replay test fails. A macro, for the condition's text and line.
#define VANTRIX_FUZZ_CHECK(condition)                                                        \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)
