#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang in build-fuzz and runs each for a bounded time,
# starting from its seed corpus in fuzz/corpus/<target>/. A crash, a hang, a leak, a sanitizer
# report or a failed check fails the script; the input that caused it is kept in
# build-fuzz/artifacts/. Usage: fuzz.sh [seconds per target, default 60] [target ...]
source "$(dirname "$0")/common.sh"
kiv_install_packages
KIV_BUILD="${KIV_FUZZ_BUILD:-$KIV_ROOT/build-fuzz}"
seconds="${1:-60}"
shift || true
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(fuzz_find_expression fuzz_profile_strings fuzz_help_text)

# -O1 -g1 as in the sanitizer build: fast to build; reports still name functions and lines.
kiv_configure -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DKIV_FUZZ=ON -DKIV_BUILD_TESTS=OFF -DKIV_BUILD_BENCH=OFF
kiv_build --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$KIV_ROOT/scripts/lsan.supp:print_suppressions=0"
# The targets' temporary files: the profile writer syncs every save to the disk, which on a
# memory file system costs nothing (six times the inputs per second); removed afterwards.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  TMPDIR="$(mktemp -d /dev/shm/kivfuzz.XXXXXX)"
else
  TMPDIR="$(mktemp -d "$KIV_BUILD/tmp.XXXXXX")"
fi
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
mkdir -p "$KIV_BUILD/artifacts"

# The targets run side by side, each for the full time: one minute of wall time for all three
# on two cores instead of three.
pids=()
for target in "${targets[@]}"; do
  # New inputs go to the build folder's corpus; the seeds in the repository are only read.
  work="$KIV_BUILD/corpus/$target"
  mkdir -p "$work"
  # The words of the input's format, so that mutations make whole tokens.
  dict=()
  [ -f "$KIV_ROOT/fuzz/$target.dict" ] && dict=(-dict="$KIV_ROOT/fuzz/$target.dict")
  echo "== $target: ${seconds}s"
  # -timeout: one input running longer is a hang; -rss_limit_mb: a memory blow-up is a failure.
  "$KIV_BUILD/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$KIV_BUILD/artifacts/$target-" "${dict[@]}" \
    "$work" "$KIV_ROOT/fuzz/corpus/$target" >"$KIV_BUILD/$target.log" 2>&1 &
  pids+=("$!")
done

failed=()
for i in "${!targets[@]}"; do
  target="${targets[$i]}"
  if wait "${pids[$i]}"; then
    echo "== $target passed"
    grep -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$KIV_BUILD/$target.log" || true
  else
    echo "== $target FAILED"
    tail -n 60 "$KIV_BUILD/$target.log"
    failed+=("$target")
  fi
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "Fuzzing failed: ${failed[*]} (inputs in $KIV_BUILD/artifacts/)" >&2
  exit 1
fi
echo "Fuzzing passed: ${targets[*]}"
