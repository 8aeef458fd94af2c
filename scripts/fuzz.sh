#!/usr/bin/env bash
# Fuzzes the parsers of outside input with libFuzzer.
#
#   scripts/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]
#
# Uses the clang sanitizer build that scripts/test.sh makes (build-sanitize/, or
# FUZZ_BUILD_DIR), configuring it when needed; then
# runs each target (all of them by default; names as in tests/fuzz/corpus/) for the
# given time (60 s by default), seeded with the tree's corpus. New inputs go to a
# scratch corpus beside the build, never into the tree; an input that fails is kept
# in the findings folder printed for its target. Prints one line per target.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-sanitize}"
seconds="${1:-60}"
shift || true
if [[ ! "$seconds" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 [SECONDS-PER-TARGET] [TARGET...]" >&2
    exit 2
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for folder in "$root"/tests/fuzz/corpus/*/; do
        targets+=("$(basename "$folder")")
    done
fi
for i in "${!targets[@]}"; do
    targets[$i]="${targets[$i]#fuzz_}"
    if [ ! -d "$root/tests/fuzz/corpus/${targets[$i]}" ]; then
        echo "fuzz.sh: no target ${targets[$i]} (see tests/fuzz/corpus/)" >&2
        exit 2
    fi
done

if [ ! -f "$build/CMakeCache.txt" ]; then
    launcher=()
    command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DWD_SANITIZE=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" > /dev/null
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}" > "$build/fuzz-build.log" \
    || { tail -n 30 "$build/fuzz-build.log"; exit 1; }

work="$build/fuzz-work"
export LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
printf '%-12s %12s %9s %8s %9s  %s\n' target execs execs/s corpus findings "findings folder"
status=0
for target in "${targets[@]}"; do
    corpus="$work/$target/corpus"
    findings="$work/$target/findings"
    log="$work/$target/last-run.log"
    mkdir -p "$corpus" "$findings"
    # The target's working folder takes the files it writes (settings, deployment.ini).
    (cd "$work/$target" && "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$root/tests/fuzz/corpus/$target") \
        > "$log" 2>&1 || status=1
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    size=$(find "$corpus" "$root/tests/fuzz/corpus/$target" -type f | wc -l)
    found=$(find "$findings" -type f | wc -l)
    printf '%-12s %12s %9s %8s %9s  %s\n' "$target" "${execs:-?}" "${rate:-?}" "$size" "$found" "$findings"
done
exit $status
