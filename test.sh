#!/usr/bin/env bash
# All tests: the Windows build under Wine (headless), the native build under ASan+UBSan and TSan,
# and a short run of every fuzz target.  ./test.sh fuzz SECONDS runs only the fuzz targets, longer.
set -uo pipefail
cd "$(dirname "$0")"
tools/deps.sh || exit 1
source tools/wine-env.sh

passed=0
failed=0
failures=()

note_ctest() { # stage, log file
    local line
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$2" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1)); failures+=("$1: no test ran"); return
    fi
    local total fail
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    fail=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - fail))
    failed=$((failed + fail))
    ((fail == 0)) || failures+=("$1: $fail failed")
}

build() { # preset
    echo "== build $1"
    cmake --preset "$1" -B "$PW_BUILD/$1" >"$PW_BUILD/$1.configure.log" 2>&1 ||
        { cat "$PW_BUILD/$1.configure.log"; return 1; }
    cmake --build "$PW_BUILD/$1"
}

run_ctest() { # preset, extra ctest arguments...
    local preset=$1; shift
    echo "== test $preset"
    ctest --test-dir "$PW_BUILD/$preset" --output-on-failure "$@" 2>&1 | tee "$PW_BUILD/$preset.test.log"
    note_ctest "$preset" "$PW_BUILD/$preset.test.log"
}

run_fuzzers() { # seconds each
    local seconds=$1 dir="$PW_BUILD/fuzz"
    for f in $(cat "$dir/fuzzers.txt" 2>/dev/null); do
        echo "== fuzz $f for ${seconds}s"
        mkdir -p "$dir/corpus/$f"
        local seeds=tests/fuzz/corpus/$f
        [ -d "$seeds" ] || seeds=
        if (cd "$dir" && "./tests/fuzz/$f" -max_total_time="$seconds" -print_final_stats=1 \
            "corpus/$f" ${seeds:+"$PW_ROOT/$seeds"}) >"$dir/$f.log" 2>&1; then
            passed=$((passed + 1))
            grep -E '^(stat::number_of_executed_units|Done)' "$dir/$f.log" | tail -n 1
        else
            failed=$((failed + 1)); failures+=("fuzz $f"); tail -n 40 "$dir/$f.log"
        fi
    done
}

mkdir -p "$PW_BUILD"
if [ "${1:-}" = fuzz ]; then
    build fuzz || exit 1
    run_fuzzers "${2:-60}"
else
    pw_wine_prefix && pw_start_display && pw_start_wineserver || exit 1
    trap pw_stop_all EXIT
    if build win; then run_ctest win; else failed=$((failed + 1)); failures+=("win build"); fi
    if build native-asan; then run_ctest native-asan; else failed=$((failed + 1)); failures+=("native-asan build"); fi
    if build native-tsan; then run_ctest native-tsan -L tsan; else failed=$((failed + 1)); failures+=("native-tsan build"); fi
    if build fuzz; then run_fuzzers "${PW_FUZZ_SECONDS:-5}"; else failed=$((failed + 1)); failures+=("fuzz build"); fi
fi

for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "tests: $passed passed, $failed failed"
((failed == 0))
