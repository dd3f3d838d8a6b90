#!/usr/bin/env bash
# All tests: the format check, the Windows build under Wine (headless), the native build under ASan+UBSan
# and TSan, and a short run of every fuzz target.  ./test.sh fuzz SECONDS runs only the fuzz targets, longer.
# ./test.sh bench [CYCLES] runs only the benchmarks (tools/bench/): a table, and the figures in build/bench.json.
# ./test.sh soak runs only the soaks, at 1000 cycles each (PW_SOAK_CYCLES), and the fault matrix.
# Whether a stage passed is its runner's exit status; ctest's summary only feeds the count of tests.
set -uo pipefail
cd "$(dirname "$0")"
tools/deps.sh || exit 1
source tools/wine-env.sh

passed=0
failed=0
failures=()

fail() { # what
    failed=$((failed + 1))
    failures+=("$1")
}

check_format() {
    echo "== format"
    local files
    mapfile -d '' files < <(git ls-files -z -- '*.h' '*.cpp')
    if ((${#files[@]} == 0)); then
        fail "format: no tracked sources found"
    elif clang-format --dry-run --Werror -style=file "${files[@]}" >"$PW_BUILD/format.log" 2>&1; then
        passed=$((passed + 1))
        echo "${#files[@]} files formatted as .clang-format says"
    else
        fail "format: clang-format -i would change $(grep -c 'error:' "$PW_BUILD/format.log") places"
        grep 'error:' "$PW_BUILD/format.log" | cut -d: -f1 | sort -u
    fi
}

build() { # preset
    echo "== build $1"
    cmake --preset "$1" -B "$PW_BUILD/$1" >"$PW_BUILD/$1.configure.log" 2>&1 ||
        { cat "$PW_BUILD/$1.configure.log"; return 1; }
    cmake --build "$PW_BUILD/$1"
}

run_ctest() { # preset, extra ctest arguments...
    local preset=$1 log="$PW_BUILD/$1.test.log"
    shift
    echo "== test $preset"
    ctest --test-dir "$PW_BUILD/$preset" --output-on-failure --no-tests=error "$@" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]} ran ok
    ran=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: ' "$log")
    ok=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed ' "$log")
    passed=$((passed + ok))
    if ((status != 0)); then
        local bad=$((ran - ok))
        ((bad > 0)) || bad=1
        failed=$((failed + bad))
        failures+=("$preset: ctest exited with $status ($((ran - ok)) of $ran tests did not pass)")
    fi
}

run_fuzzers() { # seconds each
    local seconds=$1 dir="$PW_BUILD/fuzz" f
    local fuzzers=()
    [ -f "$dir/fuzzers.txt" ] && mapfile -t fuzzers <"$dir/fuzzers.txt"
    ((${#fuzzers[@]})) || { fail "fuzz: no targets listed"; return; }
    for f in "${fuzzers[@]}"; do
        [ -n "$f" ] || continue
        echo "== fuzz $f for ${seconds}s"
        mkdir -p "$dir/corpus/$f"
        local seeds=tests/fuzz/corpus/$f
        [ -d "$seeds" ] || seeds=
        if (cd "$dir" && "./tests/fuzz/$f" -max_total_time="$seconds" -print_final_stats=1 \
            "corpus/$f" ${seeds:+"$PW_ROOT/$seeds"}) >"$dir/$f.log" 2>&1; then
            passed=$((passed + 1))
            grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec)' "$dir/$f.log"
        else
            fail "fuzz $f"
            tail -n 40 "$dir/$f.log"
        fi
    done
}

run_bench() { # soak cycles
    trap pw_stop_all EXIT
    pw_wine_prefix && pw_start_display && pw_start_wineserver || exit 1
    build win || exit 1
    echo "== bench"
    wine "$PW_BUILD/win/tools/bench/pw_bench.exe" "$(winepath -w "$PW_BUILD/bench.json")" ${1:+"$1"}
}

mkdir -p "$PW_BUILD"
if [ "${1:-}" = fuzz ]; then
    build fuzz || exit 1
    run_fuzzers "${2:-60}"
elif [ "${1:-}" = bench ]; then
    run_bench "${2:-}"
    exit
elif [ "${1:-}" = soak ]; then
    trap pw_stop_all EXIT
    pw_wine_prefix && pw_start_display && pw_start_wineserver || exit 1
    build win || exit 1
    export PW_SOAK_CYCLES=${PW_SOAK_CYCLES:-1000}
    run_ctest win -L 'soak|faults' -V
    echo "== soak table (tolerance: growth over the first sample allowed in handles, GDI objects, MB)"
    echo "soak  | cycles | samples | handles      | GDI objects  | working set         | tolerance     | verdict"
    grep -h 'SOAK| ' "$PW_BUILD/win.test.log" | sed 's/^.*SOAK| //'
else
    check_format
    trap pw_stop_all EXIT
    pw_wine_prefix && pw_start_display && pw_start_wineserver || exit 1
    if build win; then run_ctest win; else fail "win build"; fi
    if build native-asan; then run_ctest native-asan; else fail "native-asan build"; fi
    if build native-tsan; then run_ctest native-tsan -L tsan; else fail "native-tsan build"; fi
    if build fuzz; then run_fuzzers "${PW_FUZZ_SECONDS:-5}"; else fail "fuzz build"; fi
fi

for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "tests: $passed passed, $failed failed"
((failed == 0))
