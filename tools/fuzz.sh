#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for a bounded time, starting
# from the seed corpus in fuzz/corpus/<target>. Exits non-zero on any finding.
#   bash tools/fuzz.sh [target...]
# VQ_FUZZ_SECONDS   seconds per target (default 60)
# VQ_FUZZ_BUILD_DIR build folder (default build-fuzz); what each run learns is
#                   kept there in corpus-<target>, findings in findings-<target>
# VQ_JOBS           parallel build jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${VQ_FUZZ_SECONDS:-60}"
build="${VQ_FUZZ_BUILD_DIR:-build-fuzz}"
jobs="${VQ_JOBS:-2}"
start=$(date +%s)

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ not found (Debian packages clang and libclang-rt-dev)" >&2
    exit 2
fi
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$jobs"

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_convert fuzz_numbers)

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

failed=0
summary=()
for t in "${targets[@]}"; do
    corpus="$build/corpus-$t"
    findings="$build/findings-$t"
    log="$build/$t.log"
    mkdir -p "$corpus"
    rm -rf "$findings" && mkdir -p "$findings"
    echo "== $t: ${seconds} s"
    status=0
    # New inputs go to the first folder only: the seed corpus stays as it is.
    "$build/$t" "$corpus" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 -artifact_prefix="$findings/" \
        >"$log" 2>&1 || status=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    found=$(find "$findings" -type f | wc -l)
    if [ "$status" -ne 0 ] && [ "$found" -eq 0 ]; then
        found=1 # died without leaving an input behind
    fi
    if [ "$found" -ne 0 ]; then
        failed=1
        grep -E -A4 '^(FINDING|==[0-9]+==ERROR|.*runtime error)' "$log" | head -40 || true
        for f in "$findings"/*; do
            [ -e "$f" ] && echo "   reproduce: $build/$t $f"
        done
        echo "   log: $log"
    fi
    summary+=("$(printf '%-14s executions %-10s findings %s' "$t" "${execs:-?}" "$found")")
done

echo "== fuzz summary (${seconds} s per target, $(($(date +%s) - start)) s in all)"
printf '%s\n' "${summary[@]}"
exit $failed
