#pragma once
// What a test needs from outside itself (a built plug-in or probe, a
// display) is there wherever the test runs: the binaries are build
// dependencies of their test programs, and the test command provides a
// display (cmake/with-display.sh). A missing one is therefore a broken build
// or test command, and the test fails. Only someone running a single test
// program by hand may set VORNHALT_ALLOW_MISSING_PREREQUISITES=1 (CI never
// does) to have such a test skipped instead.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace testsupport {

inline bool missingPrerequisitesAllowed() {
  const char* allowed = std::getenv("VORNHALT_ALLOW_MISSING_PREREQUISITES");
  return allowed != nullptr && std::strcmp(allowed, "1") == 0;
}

}  // namespace testsupport

// Ends the test (or its SetUp) when `present` is false: with a failure, or
// with a skip under the explicit opt-out. A macro because both end the
// calling function.
#define VORNHALT_REQUIRE_PREREQUISITE(present, what)                                            \
  do {                                                                                          \
    if (!(present)) {                                                                           \
      if (::testsupport::missingPrerequisitesAllowed()) GTEST_SKIP() << (what) << " is missing"; \
      FAIL() << (what) << " is missing (VORNHALT_ALLOW_MISSING_PREREQUISITES=1 skips instead)"; \
    }                                                                                           \
  } while (0)
