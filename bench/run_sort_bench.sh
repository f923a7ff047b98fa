#!/usr/bin/env bash
# bench/run_sort_bench.sh BUILD
#
# The sort phase against its crafted worst cases. Writes, with
# BUILD/bin/make_sort_adversary, a Kindle file of 999999 entries (the most a
# sorted Kindle run takes) and a .dkx of 1000000 entries in each of the
# adversary's orders and the same locations in a random order, then times
# quillery-cli on each, with and without sorting (RUNS times, median), and
# prints the sort phase's share of each (sorted minus unsorted) and the ratio
# adversarial / random of the whole runs. Target: at most 2. Then, when it
# was built, the micro-benchmark that times the sort phase alone on the same
# orders.
#
# Environment: RUNS (default 3), QUILLERY_CLI (default BUILD/bin/quillery-cli).

set -euo pipefail

BUILD=${1:?usage: bench/run_sort_bench.sh BUILD}
BIN=$BUILD/bin
CLI=${QUILLERY_CLI:-$BIN/quillery-cli}
RUNS=${RUNS:-3}
DATA=$BUILD/bench-data
[[ -x $BIN/make_sort_adversary && -x $CLI ]] || { echo "run_sort_bench.sh: build make_sort_adversary and quillery-cli first" >&2; exit 1; }
mkdir -p "$DATA"
WORK=$(mktemp -d "$BUILD/sort-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# seconds FILE OPTION: median wall time of RUNS runs of the CLI.
seconds() {
    local times=() i dir start end
    for ((i = 0; i < RUNS; i++)); do
        dir=$(mktemp -d "$WORK/run.XXXXXX")
        start=$(date +%s.%N)
        "$CLI" -q "$2" -o "$dir" "$1" >/dev/null
        end=$(date +%s.%N)
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
        rm -rf "$dir"
    done
    median "${times[@]}"
}

printf '%-8s %-21s %9s %9s %9s\n' format order sorted unsorted sort
for input in "kindle txt 999999" "dkx dkx 1000000"; do
    read -r format ext entries <<<"$input"
    declare -A whole=()
    for order in random adversarial spent-then-random; do
        file=$DATA/sort-$order-$entries.$ext
        [[ -f $file ]] || "$BIN/make_sort_adversary" --entries "$entries" --format "$format" --order "$order" --seed 1 --out "$file"
        sorted=$(seconds "$file" --sort)
        unsorted=$(seconds "$file" --no-sort)
        whole[$order]=$sorted
        printf '%-8s %-21s %9.3f %9.3f %9.3f\n' "$format" "$order" "$sorted" "$unsorted" \
            "$(awk -v s="$sorted" -v u="$unsorted" 'BEGIN { print s - u }')"
    done
    for order in adversarial spent-then-random; do
        awk -v a="${whole[$order]}" -v r="${whole[random]}" -v f="$format" -v o="$order" \
            'BEGIN { printf "%s: %s / random = %.2f (target: at most 2)\n", f, o, a / r }'
    done
done

if [[ -x $BIN/quillery_bench ]]; then
    "$BIN/quillery_bench" --benchmark_filter=BM_SortPhaseAdversaryVsRandom
fi
