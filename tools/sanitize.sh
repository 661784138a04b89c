#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in
# its own folder and runs the whole test suite there. Any sanitizer report
# makes the test that produced it fail, and so this script.
#   bash tools/sanitize.sh [ctest arguments...]
# VQ_ASAN_BUILD_DIR overrides the build folder (default build-asan),
# VQ_JOBS the parallel build and test jobs (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${VQ_ASAN_BUILD_DIR:-build-asan}"
jobs="${VQ_JOBS:-2}"
start=$(date +%s)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVQ_SANITIZE=ON >/dev/null
cmake --build "$build" -j "$jobs"
built=$(date +%s)

export QT_QPA_PLATFORM=offscreen
# Every report aborts the process so the test fails rather than logging it;
# leaks of the tool's own code are reported, those inside Qt and the system
# libraries below it are not (see lsan.supp). No strict_string_checks: it
# takes libxkbcommon's bounded strndup of an unterminated X reply for an
# overflow, and the tool then cannot start on X at all.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

status=0
ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@" || status=$?
end=$(date +%s)
echo "sanitize: build $((built - start)) s, tests $((end - built)) s, exit $status"
exit $status
