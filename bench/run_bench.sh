#!/usr/bin/env bash
# bench/run_bench.sh BUILD
#
# End-to-end benchmark of quillery-cli (run by `make bench`). Generates the
# inputs once into BUILD/bench-data/, then for each input and row (an output
# format or an option set) runs quillery-cli and the I/O floor
# (BUILD/bin/io_floor, writing the sizes that run wrote) in turn, RUNS times
# each, then the floor alone RUNS times back to back, and prints one table of
# medians.
#
# The runs write into fresh folders under BENCH_TMP (default /dev/shm, a
# tmpfs), each removed once measured, before the floor that follows it starts:
# the floor then finds the memory as the run found it, and as it finds it run
# alone. On a disk instead they are all removed only at the end: there
# creating files right after many were deleted is several times slower for
# minutes. Before each timed run the dirty pages of the previous one are
# flushed (untimed), so no run pays for another's writes.
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

# name entries books: the Kindle inputs, smallest first and largest last (the
# targets compare those two). The largest holds 999999 entries, not 1000000:
# a sorted run needs one free slot after the last entry, so with bookmarks
# kept a 1000000-entry file is refused ("too many entries to sort").
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
# name items: the Duokan inputs, one book each, smallest first.
DKX_INPUTS=(
    "dkx-10k.dkx 10000"
    "dkx-1m.dkx 1000000"
)
for input in "${DKX_INPUTS[@]}"; do
    read -r name items <<<"$input"
    generate "$name" "items=$items seed=$SEED" "$BIN/make_dkx" --items "$items" --seed "$SEED"
done

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
    rm -rf "$1"
}

now() { date +%s.%N; }

# median of the numbers given as arguments
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# cli_try FILE OPTIONS...: one timed run of the CLI into a fresh folder; sets
# STATUS, WALL (seconds), RSS (KB), DIR (the fresh folder) and OUT (the
# folder the CLI printed).
cli_try() {
    local file=$1; shift
    DIR=$WORK/run-$((++RUN))
    mkdir "$DIR"
    sync
    local start end
    start=$(now)
    STATUS=0
    /usr/bin/time -f %M -o "$DIR.rss" "$CLI" -q "$@" -o "$DIR" "$file" >"$DIR.out" 2>"$DIR.err" || STATUS=$?
    end=$(now)
    WALL=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
    RSS=$(tail -n 1 "$DIR.rss")
    OUT=$(head -n 1 "$DIR.out")
}

# cli_run FILE OPTIONS...: cli_try, which must succeed.
cli_run() {
    cli_try "$@"
    if ((STATUS != 0)); then
        echo "run_bench.sh: $CLI $* -o $DIR (exit $STATUS) failed:" >&2
        cat "$DIR.err" >&2
        exit 1
    fi
    [[ -d $OUT ]] || { echo "run_bench.sh: $CLI printed '$OUT', which is no folder" >&2; exit 1; }
}

# forget_run: removes the last run's folder and the files beside it.
forget_run() {
    rm -f "$DIR".rss "$DIR".out "$DIR".err
    done_with "$DIR"
}

# floor_run FILE SIZES: one run of the I/O floor into a fresh folder, writing
# files of the sizes listed in SIZES; sets FLOOR (seconds).
floor_run() {
    local dir=$WORK/floor-$((++RUN))
    sync
    FLOOR=$("$BIN/io_floor" --in "$1" --sizes "$2" --out "$dir")
    done_with "$dir"
}

# row_format OPTIONS...: the format those options ask for.
row_format() {
    local format=classic
    while (($# > 0)); do
        [[ $1 != --format ]] || format=$2
        shift
    done
    echo "$format"
}

# expected_files FORMAT BOOKS: how many files a run in FORMAT writes for BOOKS
# books, or nothing when that format's count is not known here.
expected_files() {
    case $1 in
    classic) echo $(($2 + 1)) ;; # a file per book and all.htm
    json) echo 1 ;;              # clippings.json
    esac
}

ROWS=()
declare -A SEC_PER_MB RSS_RATIO FLOOR_RATIO ALONE_RATIO

# measure NAME ENTRIES BOOKS RUNS LABEL OPTIONS...: one row of the table. The
# run and the floor take turns; /floor is the median of each run over the
# floor that followed it. Then the floor runs alone, back to back, as a check
# that the turns do not slow it.
measure() {
    local name=$1 entries=$2 books=$3 runs=$4 label=$5; shift 5
    local file=$DATA/$name
    local bytes mb walls=() rsss=() floors=() ratios=() alone=() i expected
    bytes=$(stat -c %s "$file")
    mb=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }')
    expected=$(expected_files "$(row_format "$@")" "$books")
    local sizes=$WORK/sizes-$name
    for ((i = 0; i < runs; i++)); do
        cli_run "$file" "$@"
        walls+=("$WALL")
        rsss+=("$RSS")
        find "$OUT" -type f -printf '%s\n' >"$sizes"
        local written
        written=$(wc -l <"$sizes")
        if ((written == 0)) || [[ -n $expected && $written != "$expected" ]]; then
            echo "run_bench.sh: $OUT holds $written files, expected ${expected:-some}" >&2
            exit 1
        fi
        forget_run
        # The floor writes files as large as the ones the run just wrote.
        floor_run "$file" "$sizes"
        floors+=("$FLOOR")
        ratios+=("$(awk -v w="$WALL" -v f="$FLOOR" 'BEGIN { print w / f }')")
    done
    for ((i = 0; i < runs; i++)); do
        floor_run "$file" "$sizes"
        alone+=("$FLOOR")
    done
    rm -f "$sizes"
    local wall rss floor ratio floor_alone
    wall=$(median "${walls[@]}")
    rss=$(median "${rsss[@]}")
    floor=$(median "${floors[@]}")
    ratio=$(median "${ratios[@]}")
    floor_alone=$(median "${alone[@]}")
    ROWS+=("$(awk -v n="$name" -v l="$label" -v e="$entries" -v mb="$mb" -v w="$wall" -v r="$rss" -v f="$floor" \
        -v b="$bytes" -v k="$runs" -v q="$ratio" -v a="$floor_alone" 'BEGIN {
            printf "%-16s %-28s %8d %7.1f %5d %8.3f %8.1f %9.1f %6.2f %8.3f %8.3f %6.2f %6.2f",
                n, l, e, mb, k, w, mb / w, r / 1024, r * 1024 / b, f, a, f / a, q }')")
    SEC_PER_MB[$name/$label]=$(awk -v w="$wall" -v mb="$mb" 'BEGIN { print w / mb }')
    RSS_RATIO[$name/$label]=$(awk -v r="$rss" -v b="$bytes" 'BEGIN { printf "%.2f", r * 1024 / b }')
    FLOOR_RATIO[$name/$label]=$(awk -v q="$ratio" 'BEGIN { printf "%.2f", q }')
    ALONE_RATIO[$name/$label]=$(awk -v f="$floor" -v a="$floor_alone" 'BEGIN { printf "%.2f", f / a }')
    echo "  done: $name $label" >&2
}

# The rows of every Kindle input: the classic files under each option set,
# one set a line (empty: the defaults), then each format of FORMATS with its
# defaults. A further row is one word or line more.
CLASSIC_OPTION_SETS=(
    ""
    "--encoding windows-1252"
    "--bookmarks --keep-locations"
    "--clean"
)
FORMATS=(json markdown html csv)
DEFAULTS="defaults"
label_of() { echo "${1:-$DEFAULTS}"; }

# A format the binary cannot write yet says so ("... cannot be written",
# exit 1 or 2) and gets no row.
ROW_OPTION_SETS=("${CLASSIC_OPTION_SETS[@]}")
for format in "${FORMATS[@]}"; do
    cli_try "$DATA/kindle-10k.txt" --format "$format"
    if ((STATUS == 1 || STATUS == 2)) && grep -q "cannot be written" "$DIR.err"; then
        echo "Skipping --format $format: $(head -n 1 "$DIR.err")"
    elif ((STATUS != 0)); then
        echo "run_bench.sh: $CLI --format $format (exit $STATUS) failed:" >&2
        cat "$DIR.err" >&2
        exit 1
    else
        ROW_OPTION_SETS+=("--format $format")
    fi
    forget_run
done

echo "Measuring $CLI ($RUNS runs each, $RUNS_LARGE for the largest files)..." >&2

for input in "${KINDLE_INPUTS[@]}"; do
    read -r name entries books <<<"$input"
    runs=$RUNS
    ((entries < 999999)) || runs=$RUNS_LARGE
    for options in "${ROW_OPTION_SETS[@]}"; do
        # shellcheck disable=SC2086 # the options are meant to split
        measure "$name" "$entries" "$books" "$runs" "$(label_of "$options")" $options
    done
done
for input in "${DKX_INPUTS[@]}"; do
    read -r name items <<<"$input"
    runs=$RUNS
    ((items < 1000000)) || runs=$RUNS_LARGE
    measure "$name" "$items" 1 "$runs" "$DEFAULTS"
done

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
        rm -f "$dir.err"
        done_with "$dir"
        cli_run "$DATA/kindle-1m.txt"
        cli_walls+=("$WALL")
        forget_run
    done
    window_wall=$(median "${window_walls[@]}")
    cli_wall=$(median "${cli_walls[@]}")
    WINDOW_RATIO=$(awk -v w="$window_wall" -v c="$cli_wall" 'BEGIN { printf "%.2f (window %.3f s, quillery-cli %.3f s)", w / c, w, c }')
    echo "  done: window" >&2
fi

echo
printf '%-16s %-28s %8s %7s %5s %8s %8s %9s %6s %8s %8s %6s %6s\n' \
    input options entries MB runs median_s MB/s peakRSS_MB RSS/in floor_s alone_s f/alone /floor
for row in "${ROWS[@]}"; do
    echo "$row"
done
echo
# verdict VALUE TARGET: "met" when VALUE is at most TARGET.
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "met" : "not met" }'; }
# targets SMALL SMALL_COUNT LARGE COUNT LABEL: the targets of one row at the
# largest input.
targets() {
    local small=$1 small_count=$2 large=$3 count=$4 label=$5
    local linear rss floor alone
    linear=$(awk -v a="${SEC_PER_MB[$small/$label]}" -v b="${SEC_PER_MB[$large/$label]}" \
        'BEGIN { printf "%.2f", b / a }')
    rss=${RSS_RATIO[$large/$label]}
    floor=${FLOOR_RATIO[$large/$label]}
    alone=${ALONE_RATIO[$large/$label]}
    echo "$large $label:"
    echo "  Wall time / I/O floor, $count: $floor (target at most 1.5: $(verdict "$floor" 1.5))"
    echo "  Peak memory / input size, $count: $rss (target at most 1.15: $(verdict "$rss" 1.15))"
    echo "  Seconds per MB, $count vs $small_count: $linear (target at most 1.2: $(verdict "$linear" 1.2))"
    echo "  Floor between runs / floor alone: $alone (target 0.85 to 1.15:" \
        "$(awk -v a="$alone" 'BEGIN { print (a >= 0.85 && a <= 1.15) ? "met" : "not met" }'))"
}
for options in "${ROW_OPTION_SETS[@]}"; do
    targets kindle-10k.txt 10000 kindle-1m.txt "999999 entries" "$(label_of "$options")"
done
targets dkx-10k.dkx 10000 dkx-1m.dkx "1000000 items" "$DEFAULTS"
if [[ -n $WINDOW_RATIO ]]; then
    echo "Window run / quillery-cli run, 999999 entries (defaults): $WINDOW_RATIO (target at most 1.2)"
fi
echo "Load at end: $(uptime)"
echo "Removing the run folders..."
