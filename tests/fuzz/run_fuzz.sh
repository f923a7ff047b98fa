#!/usr/bin/env bash
# Builds the fuzz targets (the "fuzz" preset: clang++, libFuzzer, ASan +
# UBSan; CXX_FUZZ names another clang++) and runs each
# for FUZZ_SECONDS seconds (default 60). Fails on any finding: a crash, a
# sanitizer report, a leak, a timeout or a broken property. The inputs found
# go to the build folder; the seeds under corpus/ are only read. Every file
# under regressions/<target>/ is replayed first.
#   FUZZ_SECONDS=600 FUZZ_TARGETS="kindle dkx" tests/fuzz/run_fuzz.sh
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-kindle dkx line_reader pipeline}

# The longest input each target is given (64 KB): long enough for lines and
# items that pass the line limits and block sizes the targets set; libFuzzer
# still starts short and grows its inputs.
max_len=65536

dictionary() {
    case $1 in
        kindle) echo "$here/kindle.dict" ;;
        dkx) echo "$here/dkx.dict" ;;
        line_reader) echo "$here/line_reader.dict" ;;
        pipeline) cat "$here/kindle.dict" "$here/dkx.dict" >"$build/pipeline.dict" && echo "$build/pipeline.dict" ;;
    esac
}

if [ ! -f "$build/CMakeCache.txt" ]; then
    (cd "$root" && cmake --preset fuzz -B "$build" ${CXX_FUZZ:+-DCMAKE_CXX_COMPILER="$CXX_FUZZ"} >/dev/null)
fi
names=()
for t in $targets; do names+=("${t}_fuzz"); done
cmake --build "$build" -j "${FUZZ_JOBS:-2}" --target "${names[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
for t in $targets; do
    bin="$build/bin/${t}_fuzz"
    work="$build/corpus/$t"
    artifacts="$build/artifacts/$t"
    log="$build/logs/$t.log"
    mkdir -p "$work" "$artifacts" "$(dirname "$log")"

    regressions=("$here/regressions/$t"/*)
    if [ -e "${regressions[0]}" ]; then
        echo "== $t: replaying ${#regressions[@]} regression input(s)"
        if ! "$bin" "${regressions[@]}" >"$log.replay" 2>&1; then
            echo "FAIL: $t: a regression input fails again; see $log.replay" >&2
            tail -n 40 "$log.replay" >&2
            failed+=("$t")
            continue
        fi
    fi

    dict=$(dictionary "$t")
    echo "== $t: fuzzing for ${seconds}s (log: $log)"
    if "$bin" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" ${dict:+-dict="$dict"} \
        "$work" "$here/corpus/$t" >"$log" 2>&1; then
        grep -E '^(stat::number_of_executed_units|Done )' "$log" | sed "s/^/   $t: /" || true
    else
        echo "FAIL: $t: finding saved under $artifacts/" >&2
        finding='^(==[0-9]+== ?ERROR|.*runtime error|.*property failed|terminate called|  what\(\))'
        grep -E -A 30 "$finding" "$log" | head -n 60 >&2 || tail -n 40 "$log" >&2
        failed+=("$t")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found problems in: ${failed[*]}" >&2
    exit 1
fi
echo "fuzzing clean: $targets (${seconds}s each)"
