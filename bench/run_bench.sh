#!/usr/bin/env bash
# bench/run_bench.sh BUILD
#
# End-to-end benchmark of quillery-cli (run by `make bench`). Generates the
# inputs once into BUILD/bench-data/, then for each input and option set runs
# quillery-cli and the I/O floor (BUILD/bin/io_floor, writing the sizes that
# run wrote) in turn, RUNS times each, and prints one table of medians.
#
# The runs write into fresh folders under BENCH_TMP (default /dev/shm, a
# tmpfs), each removed once measured. On a disk instead they are all removed
# only at the end: there creating files right after many were deleted is
# several times slower for minutes. Before each timed run the dirty pages of
# the previous one are flushed (untimed), so no run pays for another's writes.
#
# Environment: RUNS (default 5), RUNS_LARGE (runs for the largest file,
# default 5), QUILLERY_CLI (the program to measure, default
# BUILD/bin/quillery-cli), BENCH_TMP (where the runs write).

set -euo pipefail

BUILD=${1:?usage: bench/run_bench.sh BUILD}
BIN=$BUILD/bin
CLI=${QUILLERY_CLI:-$BIN/quillery-cli}
RUNS=${RUNS:-5}
RUNS_LARGE=${RUNS_LARGE:-5}
BENCH_TMP=${BENCH_TMP:-/dev/shm}
DATA=$BUILD/bench-data
SEED=20250303

for tool in make_clippings make_dkx io_floor; do
    [[ -x $BIN/$tool ]] || { echo "run_bench.sh: $BIN/$tool is missing; build first" >&2; exit 1; }
done
[[ -x $CLI ]] || { echo "run_bench.sh: $CLI is missing; build first" >&2; exit 1; }

echo "Machine: $(nproc) cores; load at start: $(uptime)"

# Peak memory comes from GNU time; installed only when missing.
if [[ ! -x /usr/bin/time ]]; then
    echo "Installing GNU time (for peak memory)..."
    SUDO=""; [[ $(id -u) = 0 ]] || SUDO=sudo
    $SUDO apt-get install -y -qq --no-install-recommends time >/dev/null
fi

# --- Inputs, made once. A file is kept while its recipe is unchanged. ---------

mkdir -p "$DATA"

# generate NAME RECIPE COMMAND...: runs COMMAND (which writes NAME.tmp) unless
# NAME exists and was made by the same RECIPE.
generate() {
    local name=$1 recipe=$2; shift 2
    if [[ -f $DATA/$name && -f $DATA/$name.recipe && $(<"$DATA/$name.recipe") == "$recipe" ]]; then
        return
    fi
    echo "Generating $DATA/$name ($recipe)"
    "$@" --out "$DATA/$name.tmp"
    mv "$DATA/$name.tmp" "$DATA/$name"
    echo "$recipe" >"$DATA/$name.recipe"
}

# name entries books: the Kindle inputs. The largest holds 999999 entries, not
# 1000000: a sorted run needs one free slot after the last entry, so with
# bookmarks kept a 1000000-entry file is refused ("too many entries to sort").
KINDLE_INPUTS=(
    "kindle-10k.txt 10000 100"
    "kindle-100k.txt 100000 1000"
    "kindle-1m.txt 999999 10000"
)
for input in "${KINDLE_INPUTS[@]}"; do
    read -r name entries books <<<"$input"
    generate "$name" "entries=$entries books=$books seed=$SEED" \
        "$BIN/make_clippings" --entries "$entries" --books "$books" --seed "$SEED"
done
generate dkx-100k.dkx "items=100000 seed=$SEED" "$BIN/make_dkx" --items 100000 --seed "$SEED"

# --- Runs ----------------------------------------------------------------------

WORK=$(mktemp -d "$BENCH_TMP/quillery-bench.XXXXXX")
ON_TMPFS=0
[[ $(stat -f -c %T "$WORK") != tmpfs ]] || ON_TMPFS=1
echo "Runs write into $WORK ($(stat -f -c %T "$WORK"))"

# Each unlink waits on the disk here (about 3 ms), so one rm of the 200000
# files the runs write takes over ten minutes; sixteen side by side, well
# under a minute.
remove_runs() {
    find "$WORK" -mindepth 1 -maxdepth 1 -print0 | xargs -0 -r -P 16 -n 1 rm -rf
    rm -rf "$WORK"
}
trap remove_runs EXIT
RUN=0

# done_with FOLDER: on tmpfs a measured run's folder goes at once (it holds
# memory); on a disk it waits for remove_runs.
done_with() {
    ((ON_TMPFS)) || return 0
    rm -rf "$1" "$1".*
}

now() { date +%s.%N; }

# median of the numbers given as arguments
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# cli_run FILE OPTIONS...: one timed run of the CLI into a fresh folder; sets
# WALL (seconds), RSS (KB) and OUT (the folder it created).
cli_run() {
    local file=$1; shift
    local dir=$WORK/run-$((++RUN))
    mkdir "$dir"
    sync
    local start end
    start=$(now)
    if ! /usr/bin/time -f %M -o "$dir.rss" "$CLI" -q "$@" -o "$dir" "$file" >"$dir.out" 2>"$dir.err"; then
        echo "run_bench.sh: $CLI $* -o $dir $file failed:" >&2
        cat "$dir.err" >&2
        exit 1
    fi
    end=$(now)
    WALL=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
    RSS=$(tail -n 1 "$dir.rss")
    OUT=$(head -n 1 "$dir.out")
    [[ -d $OUT ]] || { echo "run_bench.sh: $CLI printed '$OUT', which is no folder" >&2; exit 1; }
}

# floor_run FILE RUN_FOLDER: one run of the I/O floor into a fresh folder,
# writing files of the sizes the run wrote; sets FLOOR (seconds).
floor_run() {
    local dir=$WORK/floor-$((++RUN))
    sync
    FLOOR=$("$BIN/io_floor" --in "$1" --like "$2" --out "$dir")
    done_with "$dir"
}

ROWS=()
declare -A SEC_PER_MB RSS_RATIO FLOOR_RATIO

# measure NAME ENTRIES BOOKS RUNS LABEL OPTIONS...: one row of the table.
measure() {
    local name=$1 entries=$2 books=$3 runs=$4 label=$5; shift 5
    local file=$DATA/$name
    local bytes mb walls=() rsss=() floors=() i
    bytes=$(stat -c %s "$file")
    mb=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }')
    for ((i = 0; i < runs; i++)); do
        cli_run "$file" "$@"
        walls+=("$WALL")
        rsss+=("$RSS")
        local written
        written=$(find "$OUT" -type f | wc -l)
        if ((written != books + 1)); then
            echo "run_bench.sh: $OUT holds $written files, expected $((books + 1))" >&2
            exit 1
        fi
        # The floor writes files as large as the ones the run just wrote.
        floor_run "$file" "$OUT"
        floors+=("$FLOOR")
        done_with "$(dirname "$OUT")"
    done
    local wall rss floor
    wall=$(median "${walls[@]}")
    rss=$(median "${rsss[@]}")
    floor=$(median "${floors[@]}")
    ROWS+=("$(awk -v n="$name" -v l="$label" -v e="$entries" -v mb="$mb" -v w="$wall" -v r="$rss" -v f="$floor" \
        -v b="$bytes" -v k="$runs" 'BEGIN {
            printf "%-16s %-28s %8d %7.1f %5d %8.3f %8.1f %9.1f %6.2f %8.3f %6.2f",
                n, l, e, mb, k, w, mb / w, r / 1024, r * 1024 / b, f, w / f }')")
    SEC_PER_MB[$name/$label]=$(awk -v w="$wall" -v mb="$mb" 'BEGIN { print w / mb }')
    RSS_RATIO[$name/$label]=$(awk -v r="$rss" -v b="$bytes" 'BEGIN { printf "%.2f", r * 1024 / b }')
    FLOOR_RATIO[$name/$label]=$(awk -v w="$wall" -v f="$floor" 'BEGIN { printf "%.2f", w / f }')
    echo "  done: $name $label" >&2
}

echo "Measuring $CLI ($RUNS runs each, $RUNS_LARGE for the largest file)..." >&2

# The quillery-cli options of each row, one set a line, run on every Kindle
# input; an empty set is the defaults.
OPTION_SETS=(
    ""
    "--encoding windows-1252"
    "--bookmarks --keep-locations"
)
DEFAULTS="defaults"
label_of() { echo "${1:-$DEFAULTS}"; }

for input in "${KINDLE_INPUTS[@]}"; do
    read -r name entries books <<<"$input"
    runs=$RUNS
    ((entries < 999999)) || runs=$RUNS_LARGE
    for options in "${OPTION_SETS[@]}"; do
        # shellcheck disable=SC2086 # the options are meant to split
        measure "$name" "$entries" "$books" "$runs" "$(label_of "$options")" $options
    done
done
measure dkx-100k.dkx 100000 1 "$RUNS" "$DEFAULTS"

# The window's share: the largest file through Form1 (offscreen), alternating
# with quillery-cli on the same file, so that both see the same disk.
WINDOW_RATIO=""
if [[ -x $BIN/window_run ]]; then
    window_walls=() cli_walls=()
    for ((i = 0; i < RUNS_LARGE; i++)); do
        dir=$WORK/window-$((++RUN))
        mkdir "$dir"
        sync
        start=$(now)
        if ! QT_QPA_PLATFORM=offscreen "$BIN/window_run" "$DATA/kindle-1m.txt" "$dir" 2>"$dir.err"; then
            echo "run_bench.sh: window_run failed:" >&2
            cat "$dir.err" >&2
            exit 1
        fi
        end=$(now)
        window_walls+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')")
        done_with "$dir"
        cli_run "$DATA/kindle-1m.txt"
        cli_walls+=("$WALL")
        done_with "$(dirname "$OUT")"
    done
    window_wall=$(median "${window_walls[@]}")
    cli_wall=$(median "${cli_walls[@]}")
    WINDOW_RATIO=$(awk -v w="$window_wall" -v c="$cli_wall" 'BEGIN { printf "%.2f (window %.3f s, quillery-cli %.3f s)", w / c, w, c }')
    echo "  done: window" >&2
fi

echo
printf '%-16s %-28s %8s %7s %5s %8s %8s %9s %6s %8s %6s\n' \
    input options entries MB runs median_s MB/s peakRSS_MB RSS/in floor_s /floor
for row in "${ROWS[@]}"; do
    echo "$row"
done
echo
# verdict VALUE TARGET: "met" when VALUE is at most TARGET.
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "met" : "not met" }'; }
for options in "${OPTION_SETS[@]}"; do
    label=$(label_of "$options")
    ratio=$(awk -v a="${SEC_PER_MB[kindle-10k.txt/$label]}" -v b="${SEC_PER_MB[kindle-1m.txt/$label]}" \
        'BEGIN { printf "%.2f", b / a }')
    rss=${RSS_RATIO[kindle-1m.txt/$label]}
    floor=${FLOOR_RATIO[kindle-1m.txt/$label]}
    echo "$label:"
    echo "  Wall time / I/O floor, 999999 entries: $floor (target at most 1.5: $(verdict "$floor" 1.5))"
    echo "  Peak memory / input size, 999999 entries: $rss (target at most 1.15: $(verdict "$rss" 1.15))"
    echo "  Seconds per MB, 999999 vs 10000 entries: $ratio (target at most 1.2: $(verdict "$ratio" 1.2))"
done
if [[ -n $WINDOW_RATIO ]]; then
    echo "Window run / quillery-cli run, 999999 entries (defaults): $WINDOW_RATIO (target at most 1.2)"
fi
echo "Load at end: $(uptime)"
echo "Removing the run folders..."
