#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan and runs
# the whole test suite there. An address error, a leak or undefined behaviour fails its test.
source "$(dirname "$0")/common.sh"
kiv_install_packages
KIV_BUILD="${KIV_ASAN_BUILD:-$KIV_ROOT/build-asan}"
# Debug keeps Qt's own index and state asserts on; -O1 keeps the instrumented build and the
# tests fast enough for CI, and -g1 (line tables, inlined frames included) is all a report's
# stack needs while it compiles a sixth faster than -g. The benchmarks measure speed, which
# means nothing here.
kiv_configure -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DKIV_SANITIZE=ON -DKIV_BUILD_BENCH=OFF
kiv_build

# halt_on_error, exitcode: the first report ends the test with a failure.
# detect_stack_use_after_return, check_initialization_order: the checks that are off by default.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:exitcode=23"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:exitcode=24"
# Leaks of system libraries that the test programs load; never our own code (see the file).
export LSAN_OPTIONS="suppressions=$KIV_ROOT/scripts/lsan.supp:print_suppressions=0:exitcode=23"
cd "$KIV_BUILD"
# The team-server tests that set up a whole PostgreSQL database (and load it from twenty
# connections, or import editions into it again and again) take minutes each here, most of it
# in the server and its driver, which are not instrumented; they run in the plain suite. The
# server's code paths that are our own are checked here by the other server tests (settings,
# connection problems, passwords) and the runtime's.
# The tests labelled "plain" run in the plain build: those that load a whole PostgreSQL database
# are too slow here, and the warmed heap's test needs the system's allocator.
ctest --output-on-failure -j2 -LE plain "$@"
